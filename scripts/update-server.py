#!/usr/bin/env python3
"""A small HTTP server for the update tests: serves a folder laid out as the
maker's update server ("Updates.ini", "/Updates/...") on 127.0.0.1 and a free
port, which it writes to a file. Besides plain files it can misbehave, by a
query on any path:
  ?nosize       no Content-Length
  ?slow=MS      a pause of MS milliseconds before each 4 KB block
  ?drip=MS      one byte of the body every MS milliseconds
  ?stall=MS     a pause of MS milliseconds before the answer
  ?break=N      the connection closed after N bytes of the body
  ?status=CODE  that status (404, 500, ...) and a short body
The same behaviours as a first path segment ("/stall=3000/Updates.ini") reach
the program through its "UpdateServer" value ("127.0.0.1:PORT/stall=3000"),
which names the host of every request it makes.
Usage: update-server.py FOLDER PORTFILE"""
import http.server, os, sys, time, urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        first, _, rest = url.path.lstrip('/').partition('/')
        if rest and ('=' in first or first == 'nosize'):
            query.update(urllib.parse.parse_qs(first, keep_blank_values=True))
            url = url._replace(path='/' + rest)
        if 'stall' in query:
            time.sleep(int(query['stall'][0]) / 1000.0)
        if 'status' in query:
            body = b'Fehler'
            self.send_response(int(query['status'][0]))
            self.send_header('Content-Length', str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        path = os.path.normpath(os.path.join(self.server.root, urllib.parse.unquote(url.path).lstrip('/')))
        if not path.startswith(self.server.root) or not os.path.isfile(path):
            self.send_response(404)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        with open(path, 'rb') as f:
            body = f.read()
        self.send_response(200)
        self.send_header('Content-Type', 'application/octet-stream')
        if 'nosize' in query:
            self.send_header('Connection', 'close')
            self.close_connection = True
        else:
            self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        limit = int(query['break'][0]) if 'break' in query else len(body)
        pause = int(query['slow'][0]) / 1000.0 if 'slow' in query else 0
        step = 4096
        if 'drip' in query:
            pause, step = int(query['drip'][0]) / 1000.0, 1
        sent = 0
        while sent < min(limit, len(body)):
            if pause:
                time.sleep(pause)
            block = body[sent:min(sent + step, limit)]
            self.wfile.write(block)
            self.wfile.flush()
            sent += len(block)
        if limit < len(body):
            self.close_connection = True
            self.connection.shutdown(2)


def main():
    root, portfile = os.path.abspath(sys.argv[1]), sys.argv[2]
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    server.root = root
    with open(portfile + '.tmp', 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(portfile + '.tmp', portfile)
    server.serve_forever()


if __name__ == '__main__':
    main()

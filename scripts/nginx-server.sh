#!/usr/bin/env bash
# Starts and stops an nginx of the tests' own around a test run, the way a
# release is published: "start DIR" serves DIR/site on 127.0.0.1 and a free
# port, which it leaves in DIR/port; "stop DIR" ends it. Its configuration,
# logs, pid file and temporary files stay in DIR. Besides the site as it
# stands, "/umgeleitet/" serves the same site with the update folder
# answered by a redirect (302) to a mirror path, "/spiegel/".
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
dir=$(mkdir -p "$2" && cd "$2" && pwd)

stop() {
  if [ -f "$dir/nginx.pid" ]; then
    local pid
    pid=$(cat "$dir/nginx.pid")
    kill -QUIT "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null || true
    rm -f "$dir/nginx.pid"
  fi
}

case "$1" in
  start)
    stop
    rm -f "$dir/port"
    mkdir -p "$dir/site/Updates" "$dir/temp"
    # A port that was free a moment ago may be taken before nginx binds it.
    for _ in 1 2 3 4 5; do
      port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
      cat > "$dir/nginx.conf" <<EOF
daemon on;
pid $dir/nginx.pid;
error_log $dir/error.log;
worker_processes 1;
events { worker_connections 64; }
http {
  access_log $dir/access.log;
  client_body_temp_path $dir/temp/body;
  proxy_temp_path $dir/temp/proxy;
  fastcgi_temp_path $dir/temp/fastcgi;
  uwsgi_temp_path $dir/temp/uwsgi;
  scgi_temp_path $dir/temp/scgi;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $dir/site;
    location = /umgeleitet/Updates.ini { alias $dir/site/Updates.ini; }
    location /umgeleitet/Updates/ { rewrite ^/umgeleitet/Updates/(.*)\$ /spiegel/\$1 redirect; }
    location /spiegel/ { alias $dir/site/Updates/; }
  }
}
EOF
      if nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" </dev/null >/dev/null 2>&1; then
        for _ in $(seq 100); do
          if [ -s "$dir/nginx.pid" ] && (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port" > "$dir/port"
            exit 0
          fi
          sleep 0.05
        done
        stop
      fi
    done
    echo "nginx did not start (see $dir/error.log)" >&2
    exit 1
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Starts and stops the update tests' HTTP server (scripts/update-server.py)
# around a test run: "start DIR" serves DIR/site and leaves its port in
# DIR/port, "stop DIR" ends it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "$1" in
  start)
    mkdir -p "$2/site"
    "$0" stop "$2" || true
    rm -f "$2/port"
    python3 "$here/update-server.py" "$2/site" "$2/port" >/dev/null 2>&1 </dev/null &
    echo $! > "$2/pid"
    for _ in $(seq 100); do [ -s "$2/port" ] && exit 0; sleep 0.05; done
    echo "update server did not start" >&2
    exit 1
    ;;
  stop)
    if [ -f "$2/pid" ]; then kill "$(cat "$2/pid")" 2>/dev/null || true; rm -f "$2/pid"; fi
    ;;
esac

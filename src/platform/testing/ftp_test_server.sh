#!/bin/sh
# Starts or stops the tests' FTP server (ftp_test_server.py) in DIR, for a test program that
# cannot start it itself (the Windows tests under Wine). "start" returns once the server
# listens, leaving DIR/port, DIR/root/, DIR/commands.log and DIR/pid; "stop" ends it.
# Usage: ftp_test_server.sh start|stop DIR
set -eu
action=$1
dir=$2
here=$(cd "$(dirname "$0")" && pwd)

case "$action" in
  start)
    [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    rm -rf "$dir"
    mkdir -p "$dir/root"
    : > "$dir/commands.log"
    /usr/bin/python3 "$here/ftp_test_server.py" --root "$dir/root" --ready "$dir/port" \
      --log "$dir/commands.log" </dev/null >"$dir/server.out" 2>&1 &
    echo $! > "$dir/pid"
    n=0
    while [ ! -s "$dir/port" ]; do
      n=$((n + 1))
      if [ $n -gt 150 ] || ! kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
        echo "the FTP test server did not start:" >&2
        cat "$dir/server.out" >&2
        exit 1
      fi
      sleep 0.1
    done
    echo "FTP test server on 127.0.0.1:$(cat "$dir/port")"
    ;;
  stop)
    [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    rm -f "$dir/pid"
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac

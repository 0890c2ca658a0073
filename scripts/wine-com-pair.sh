#!/usr/bin/env bash
# Runs a command (the Windows tests under Wine) with COM5 and COM6 of the Wine prefix linked to
# each other through a pair of pseudo-terminals, and VALICO_TEST_COM_PAIR=5:6 set, so that the
# Windows serial backend is tested with real bytes: what Valico writes to COM5 the tests read
# from COM6. Without socat the command runs as it is, and the serial tests say they were skipped.
set -euo pipefail
prefix=${WINEPREFIX:-$HOME/.wine}
if ! command -v socat >/dev/null; then
  echo "wine-com-pair: socat is missing; serial tests under Wine will be skipped" >&2
  exec "$@"
fi
# The prefix must exist before its device links are made, or Wine would not create it.
[[ -e "$prefix/system.reg" ]] || WINEDEBUG=-all wineboot -i >/dev/null 2>&1 || true
dir=$(mktemp -d)
socat "pty,raw,echo=0,link=$dir/a" "pty,raw,echo=0,link=$dir/b" &
socat_pid=$!
cleanup() {
  kill "$socat_pid" 2>/dev/null || true
  for n in 5 6; do
    [[ "$(readlink "$prefix/dosdevices/com$n" 2>/dev/null)" == "$dir/"* ]] && rm -f "$prefix/dosdevices/com$n"
  done
  rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 50); do
  [[ -e "$dir/a" && -e "$dir/b" ]] && break
  sleep 0.1
done
mkdir -p "$prefix/dosdevices"
ln -sfn "$dir/a" "$prefix/dosdevices/com5"
ln -sfn "$dir/b" "$prefix/dosdevices/com6"
VALICO_TEST_COM_PAIR=5:6 "$@"

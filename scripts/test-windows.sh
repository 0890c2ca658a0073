#!/usr/bin/env bash
# The Windows leg of the tests: cross-builds valico.exe and the tests with MinGW-w64
# (build/windows) and runs the whole CTest suite under Wine, in a throwaway Wine prefix inside
# the build folder. Needs no display. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

start=$(date +%s)
cmake --preset windows
cmake --build --preset windows

# A fresh prefix every run, so nothing of a previous run (or of the user's own Wine) leaks in.
export WINEPREFIX="$PWD/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
unset DISPLAY WAYLAND_DISPLAY            # console programs only: no window, no X server
wineserver --kill >/dev/null 2>&1 || true  # a server left over from an earlier run
rm -rf "$WINEPREFIX"
# The prefix's wineserver goes when this script ends, however it ends.
trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1

# COM5 and COM6 linked through a pseudo-terminal pair: the serial tests send real bytes.
scripts/wine-com-pair.sh ctest --preset windows
echo "test-windows: configure, build and tests took $(($(date +%s) - start)) s"

#!/usr/bin/env bash
# The Windows leg of the tests: cross-builds valico.exe and the tests with MinGW-w64
# (build/windows) and runs the whole CTest suite under Wine, in a throwaway Wine prefix inside
# the build folder. Needs no display, but for the tray program's tests, which run last on a
# virtual X display of their own (xvfb-run). Exits non-zero when anything fails.
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

# The tray program: the real window and tray icon, driven by window messages, on a virtual X
# display. The console-only server goes first, so Wine starts afresh on the display, and the
# display's server goes before the display does.
wineserver --kill >/dev/null 2>&1 || true
xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" bash -c \
  'wine build/windows/valico_gui_tests.exe; status=$?; wineserver --kill; exit $status' ||
  { echo "test-windows: the tray program's tests failed"; exit 1; }
echo "test-windows: configure, build and tests took $(($(date +%s) - start)) s"

#!/usr/bin/env bash
# Installs what is missing, builds Valico and runs every test: natively (Debug, ASan+UBSan),
# then cross-built for Windows and run under Wine. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

# The tree's floors (CONTRIBUTING.md, "Layout") and its format, before the long build.
scripts/check-layers.sh
find src bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format-14 --dry-run --Werror
cmake --preset dev
cmake --build --preset dev
ctest --preset dev
scripts/test-fuzz.sh
scripts/test-package-deb.sh

if [[ -x scripts/test-windows.sh ]]; then
  scripts/test-windows.sh
fi
scripts/test-package-windows.sh

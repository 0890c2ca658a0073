#!/usr/bin/env bash
# Line and branch coverage of src/ (tests and their testing/ helpers left out) by the Linux
# test suite: a Debug build with gcov's counters in build/coverage, the whole CTest suite,
# then gcovr's two figures. Prints "lines: N%" and "branches: N%" last.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check >/dev/null || scripts/install-deps.sh

cmake -S . -B build/coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVALICO_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage" -DCMAKE_C_FLAGS="--coverage" \
  -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
cmake --build build/coverage
find build/coverage -name '*.gcda' -delete
# A test that fails still counts what it ran; the figures are what matters here.
(cd build/coverage && ctest -j2 --output-on-failure >ctest.log 2>&1) ||
  echo "coverage: some tests failed (build/coverage/ctest.log); the figures count them as run"

# Only build/coverage is searched for counters: a Wine prefix's z: drive in another build
# folder leads to the whole file system, and to other checkouts' counters.
gcovr --root . --object-directory build/coverage --filter 'src/' \
  --exclude '.*_test\.cpp$' --exclude '.*/testing/.*' --exclude-unreachable-branches \
  --exclude-throw-branches --print-summary --txt build/coverage/coverage.txt -j 2 \
  build/coverage |
  grep -E '^(lines|branches):'

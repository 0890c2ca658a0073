#!/usr/bin/env bash
# Builds every libFuzzer target of fuzz/ with clang (build/fuzz) and runs each for a few
# seconds on its checked-in corpus (fuzz/corpus/<target>/), so that a target that no longer
# compiles, or an input that crashes a reader, fails the tests. New inputs a run finds go to a
# throwaway folder; a crashing input is kept as build/fuzz/crash-<target>-*.
# FUZZ_SECONDS sets the time per target (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-5}
targets=()
for source in fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done

CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DVALICO_FUZZ=ON -DVALICO_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz --target "${targets[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in "${targets[@]}"; do
  corpus=fuzz/corpus/$target
  [[ -d $corpus ]] || { echo "test-fuzz: $target has no corpus in $corpus"; exit 1; }
  mkdir -p "$scratch/$target"
  if ! build/fuzz/"$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build/fuzz/crash-$target-" "$scratch/$target" "$corpus" \
      >"$scratch/$target.log" 2>&1; then
    tail -n 40 "$scratch/$target.log"
    echo "test-fuzz: $target failed; the input is in build/fuzz/crash-$target-*"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
  echo "test-fuzz: $target: $runs runs in $seconds s, no finding"
done

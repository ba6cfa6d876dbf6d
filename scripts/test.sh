#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole
# test suite; then builds the benchmarks and the Debian package, and the fuzz targets with clang,
# replaying their corpora.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAMSU_SANITIZE=ON -DTAMSU_TESTS=ON
cmake --build build/test -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build/test && ctest --output-on-failure -j "$jobs" --timeout 600)

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMSU_TESTS=OFF -DTAMSU_BENCH=ON
cmake --build build/bench -j "$jobs"
# The Debian package from that release build: built, inspected, installed into a throwaway root.
scripts/test_deb.sh build/bench

if command -v clang++ >/dev/null 2>&1; then
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DTAMSU_TESTS=OFF -DTAMSU_FUZZ=ON
  cmake --build build/fuzz -j "$jobs"
  # Every fuzz target replays its corpus (crashes found earlier join it), then runs briefly.
  for f in build/fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus=fuzz/corpus/${name#fuzz_}
    mkdir -p "$corpus"
    work=$(mktemp -d)
    "$f" -runs=20000 -max_total_time=30 "$work" "$corpus" >"$work.log" 2>&1 \
      || { cat "$work.log"; echo "$name failed"; exit 1; }
    rm -rf "$work" "$work.log"
    echo "$name: corpus replayed, 30 s run clean"
  done
fi

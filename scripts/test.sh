#!/usr/bin/env bash
# The whole test suite, warnings as errors:
#   1. g++ with AddressSanitizer and UndefinedBehaviorSanitizer: every test, the fuzz corpora
#      replayed by plain replay programs;
#   2. clang with the same sanitizers and libFuzzer: every test again, the corpora replayed by the
#      libFuzzer targets, then each target fuzzed briefly (crash files go to $TMPDIR);
#   3. ThreadSanitizer: the test program whose code runs threads;
#   4. the release build with the benchmarks, and the Debian package built from it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
start=$SECONDS
step() { echo "== $* ($(((SECONDS - start) / 60)) min)"; }
configure() { cmake -S . -B "$@" -G Ninja -DTAMSU_WERROR=ON >/dev/null; }

step "g++, AddressSanitizer and UndefinedBehaviorSanitizer"
configure build/test -DCMAKE_BUILD_TYPE=Debug -DTAMSU_SANITIZE=ON -DTAMSU_TESTS=ON
cmake --build build/test -j "$jobs"
(cd build/test && ctest --output-on-failure -j "$jobs" --timeout 600)

step "clang and libFuzzer"
configure build/clang -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DTAMSU_TESTS=ON \
  -DTAMSU_FUZZ=ON
cmake --build build/clang -j "$jobs"
(cd build/clang && ctest --output-on-failure -j "$jobs" --timeout 600)
crashes=${TMPDIR:-/tmp}/tamsu-fuzz-crashes
mkdir -p "$crashes"
for f in build/clang/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  work=$(mktemp -d)
  # New inputs go to a scratch folder; a crash is written outside the repository and then
  # belongs in fuzz/corpus/<name> once it is fixed.
  "$f" -runs=20000 -max_total_time=30 -artifact_prefix="$crashes/$name-" "$work" \
    "fuzz/corpus/${name#fuzz_}" >"$work.log" 2>&1 \
    || { cat "$work.log"; echo "$name failed; the input is in $crashes"; exit 1; }
  rm -rf "$work" "$work.log"
  echo "$name: 30 s of fuzzing clean"
done

# The threads of the program meet in the terminal console (keys posted from another thread),
# whose tests are in test_platform; the tests of shared tables run other processes, which
# ThreadSanitizer does not watch (and test_db under it alone takes longer than this whole script
# may).
step "ThreadSanitizer"
configure build/tsan -DCMAKE_BUILD_TYPE=Debug -DTAMSU_TSAN=ON -DTAMSU_TESTS=ON
cmake --build build/tsan -j "$jobs" --target test_platform
(cd build/tsan/tests && ./test_platform --gtest_brief=1)

step "release, benchmarks and the Debian package"
configure build/bench -DCMAKE_BUILD_TYPE=Release -DTAMSU_TESTS=OFF -DTAMSU_BENCH=ON
cmake --build build/bench -j "$jobs"
scripts/test_deb.sh build/bench
step "done"

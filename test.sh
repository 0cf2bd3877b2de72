#!/usr/bin/env bash
# Builds the release configuration (what run.sh starts), then builds with AddressSanitizer +
# UndefinedBehaviorSanitizer and runs every test, then builds the Qt-free threaded parts with
# ThreadSanitizer and runs their tests.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps
jobs=${JOBS:-2}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
# The release build that ./run.sh starts must build as well: the optimiser warns where the
# debug builds do not.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DRADIO_TESTS=OFF >/dev/null
cmake --build build/release -j"$jobs"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DRADIO_ASAN=ON -DRADIO_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DRADIO_TSAN=ON -DRADIO_BENCH=OFF >/dev/null
cmake --build build/tsan -j"$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j"$jobs" -L tsan

#!/usr/bin/env bash
# Builds the release configuration (what run.sh starts and a packager builds) with the tests
# and runs them; builds with AddressSanitizer + UndefinedBehaviorSanitizer and runs every
# test; builds the Qt-free threaded parts with ThreadSanitizer and runs their tests; checks the
# .deb; cross-builds radio-cli.exe and the Qt-free suites for Windows and runs them under Wine.
# Warnings are errors here; a user's plain build only shows them.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps windows
jobs=${JOBS:-2}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
# Most tests wait on a line or a timer rather than compute: three a core keeps them moving.
tests=$((jobs * 3))
# Each stage says when it ends, counted from the start, for the record of the suite's speed.
stage() { echo "== $1 done at $SECONDS s"; }
# The sanitizer builds use Clang where it has its sanitizer libraries (they compile in two
# thirds of GCC's time, and the suite then passes under both compilers); GCC otherwise.
sanitizing=()
if echo 'int main() {}' | clang++ -x c++ -fsanitize=address,undefined -o /dev/null - 2>/dev/null &&
   echo 'int main() {}' | clang++ -x c++ -fsanitize=thread -o /dev/null - 2>/dev/null; then
  sanitizing=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi

# The release build that ./run.sh starts, with the tests: the optimiser warns where the
# debug builds do not, and the suite must pass on what users run.
scripts/configure build/release -DCMAKE_BUILD_TYPE=Release -DRADIO_WERROR=ON
cmake --build build/release -j"$jobs"
stage "release build"
ctest --test-dir build/release --output-on-failure -j"$tests"
stage "release tests"
# The stages run one after the other: a build beside a suite makes its radio tests miss their
# answers (the virtual radios answer late on a machine that busy).
scripts/configure build/asan "${sanitizing[@]}" -DCMAKE_BUILD_TYPE=Debug -DRADIO_ASAN=ON -DRADIO_BENCH=OFF -DRADIO_WERROR=ON
cmake --build build/asan -j"$jobs"
stage "asan build"
# The locale runs are the release stage's: they look at numbers, not at memory; so is the
# screen reader's walk, which checks what the accessibility bus is told (the bus's libraries
# keep memory to the end that the leak check would count).
ctest --test-dir build/asan --output-on-failure -j"$tests" -LE 'locale|a11y'
stage "asan tests"
scripts/configure build/tsan "${sanitizing[@]}" -DCMAKE_BUILD_TYPE=Debug -DRADIO_TSAN=ON -DRADIO_BENCH=OFF -DRADIO_WERROR=ON
# Only the tests of the threaded parts run here (label tsan): only they are built.
cmake --build build/tsan -j"$jobs" --target serial_tests sim_tests link_tests fleet_tests
stage "tsan build"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -j"$tests" -L tsan
stage "tsan tests"
scripts/check-package build/release
stage "package"
# Windows: radio-cli.exe and the Qt-free suites cross-built with MinGW-w64 and run under Wine,
# against the release build's virtual radio on a port of a throwaway Wine prefix.
scripts/windows/test build/release
stage "windows"

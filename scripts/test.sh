#!/usr/bin/env bash
# Fresh machine to test results: installs the packages, configures, builds everything and the
# reference documentation (which fails on any warning), and runs every test headless (no X
# display is used even when one exists).
#   bash scripts/test.sh [CMake options]    (build folder: $OIVWINTAV_BUILD_DIR, default build)
# For instance `OIVWINTAV_BUILD_DIR=build-asan bash scripts/test.sh -DOIVWINTAV_SANITIZE=ON`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --docs
unset DISPLAY
# Only read by a sanitizer build: leaks are reported (and fail the test), undefined behaviour
# stops the program with its stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
build=${OIVWINTAV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$build" -j2
cmake --build "$build" --target doc
# Every test has its own time limit (300 s unless the test sets one); ctest ends with its summary.
ctest --test-dir "$build" --output-on-failure --no-tests=error -j2 --timeout 300

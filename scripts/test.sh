#!/usr/bin/env bash
# Fresh machine to test results: installs the packages, configures, builds and runs every test
# headless (no X display is used even when one exists).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
unset DISPLAY
build=${OIVWINTAV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

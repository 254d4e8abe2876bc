#!/usr/bin/env bash
# Fresh machine to the demo: installs the packages, configures, builds only the demo and runs it.
# On a desktop (DISPLAY set) it opens the demo's window with the canvas toolbar, the test dialog
# and a curve canvas beside it, until the window is closed; headless (no DISPLAY, or OIVWINTAV_HEADLESS set) it writes what a canvas
# shows to a PNG file and names it.
#   bash scripts/demo.sh [picture.png]     (default: oivwintav-demo.png in the current folder)
set -euo pipefail
picture=$(realpath -m "${1:-oivwintav-demo.png}")
mkdir -p "$(dirname "$picture")" # the pictures go beside each other in that folder
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${OIVWINTAV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target oivwintav-demo
"$build/examples/oivwintav-demo" "$picture"

#!/usr/bin/env bash
# Takes the README's screenshot of the demo on screen: starts a private Xvfb, runs the demo in
# its window mode (canvas, toolbar, test dialog and curve canvas), waits until its windows are
# drawn and writes the part of the screen that holds them to a PNG file.
#   bash scripts/screenshot.sh [picture.png]    (default: docs/demo-window.png)
# Needs xvfb (installed by install-deps.sh), and x11-utils and imagemagick for the capture.
set -euo pipefail
picture=$(realpath -m "${1:-docs/demo-window.png}")
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for tool in xwininfo:x11-utils import:imagemagick; do
    if ! command -v "${tool%%:*}" >/dev/null; then
        echo "screenshot.sh: needs ${tool%%:*} (apt-get install ${tool##*:})" >&2
        exit 1
    fi
done
build=${OIVWINTAV_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target oivwintav-demo

work=$(mktemp -d)
cleanup() {
    kill "${demo:-}" "${server:-}" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
exec 3<> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp &
server=$!
for _ in $(seq 50); do
    number=$(cat "$work/display")
    [ -n "$number" ] && break
    sleep 0.1
done
export DISPLAY=":$number"
unset OIVWINTAV_HEADLESS
"$build/examples/oivwintav-demo" &
demo=$!

# The upper-left corner and size of a window, by its title, once it is mapped.
geometry() {
    xwininfo -name "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} /Map State: IsViewable/ {v = 1}
        END {if (v) print x, y, w, h}'
}
# Every window the demo opens on a desktop.
windows=("OivWinTav demo" "3D Controls" "Controls" "OivWinTav demo: curve canvas")
for _ in $(seq 100); do
    boxes=()
    for title in "${windows[@]}"; do
        box=$(geometry "$title" || true)
        [ -n "$box" ] || break
        boxes+=("$box")
    done
    [ ${#boxes[@]} -eq ${#windows[@]} ] && break
    sleep 0.1
done
if [ ${#boxes[@]} -ne ${#windows[@]} ]; then
    echo "screenshot.sh: the demo did not open its windows" >&2
    exit 1
fi
sleep 1 # the first frames
# The rectangle that holds them all, with a margin, within the screen.
read -r left top right bottom <<< "$(printf '%s\n' "${boxes[@]}" | awk -v margin=8 '
    NR == 1 {l = $1; t = $2; r = $1 + $3; b = $2 + $4}
    {l = $1 < l ? $1 : l; t = $2 < t ? $2 : t}
    {r = $1 + $3 > r ? $1 + $3 : r; b = $2 + $4 > b ? $2 + $4 : b}
    END {l -= margin; t -= margin; print (l < 0 ? 0 : l), (t < 0 ? 0 : t), r + margin, b + margin}')"
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$picture"
echo "screenshot.sh: wrote $picture"

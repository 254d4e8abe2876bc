#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
#   bash scripts/install-deps.sh [--docs]     (--docs: also Doxygen, for the reference)
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libcoin-dev libsimage-dev
    libegl-dev libgl-dev libegl-mesa0 libgl1-mesa-dri
    libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libx11-dev libimgui-dev libstb-dev
    xvfb libxtst-dev
    # the desktop tests: a real window manager, and Qt for the example of a canvas in a Qt window
    openbox qtbase5-dev
    # the font of the dialogs and menus
    fonts-dejavu-core
)
# The reference documentation is built by the test command, not by the demo.
if [ "${1:-}" = "--docs" ]; then
    packages+=(doxygen)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

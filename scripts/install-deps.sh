#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tovra Mouse needs.
# Quick when everything is present: only missing packages are fetched. Packages named as
# arguments are installed too (scripts/test.sh --clang asks for clang).
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5x11extras5-dev
    libopencv-dev opencv-data
    libdlib-dev libdlib-data
    libx11-dev libxtst-dev libxfixes-dev libxrandr-dev libxcursor-dev libxext-dev
    libxi-dev libxcb1-dev libx11-xcb-dev libxkbcommon-dev
    libcairo2-dev
    libasound2-dev libsndfile1-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth xdotool x11-utils x11-xserver-utils openbox xcompmgr
    fonts-dejavu-core
    "$@"
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Sets up a Debian machine for Brunilla, builds it into build/, then plays
# the game (`play`) or runs every test (`test`).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-play}
packages=(cmake g++ qt6-base-dev qt6-svg-dev qt6-multimedia-dev fonts-liberation2)
if [ "$mode" = test ]; then
    packages+=(xvfb openbox xdotool imagemagick dbus at-spi2-core python3-pyatspi)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

case "$mode" in
    play) exec build/brunilla ;;
    test) cd build && exec ctest --output-on-failure ;;
    *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac

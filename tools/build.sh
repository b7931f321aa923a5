#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up a Debian machine for Brunilla, builds it into build/, then plays
# the game (`play`) or runs every test (`test`): the tests of the normal
# build, the fuzz targets built with clang (in build/fuzz), then its unit
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build/sanitize), where any report fails.
# `package` builds the Debian package instead and leaves it in build/;
# `qa`, as root, puts the committed HEAD through Debian's gates.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-play}
# Before a release: Debian's gates, each in a root of its own (tools/qa.sh).
[ "$mode" != qa ] || exec bash tools/qa.sh
# What each mode needs is listed, with reasons, in tools/packages.
case "$mode" in
    play) wanted='$1 == "build"' ;;
    package) wanted='$1 == "build" || $1 == "package"' ;;
    test) wanted='$1 == "build" || $1 == "package" || $1 == "test"' ;;
    *) echo "usage: $0 play|test|package|qa" >&2; exit 2 ;;
esac
mapfile -t packages < <(awk "$wanted"' { print $2 }' tools/packages)

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

if [ "$mode" = package ]; then
    # dpkg-buildpackage leaves its results beside the source tree.
    version=$(dpkg-parsechangelog -S Version)
    dpkg-buildpackage -b -us -uc -J"$(nproc)"
    mkdir -p build
    mv ../brunilla*_"${version}"_* build/
    exit
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

case "$mode" in
    play)
        exec build/brunilla ;;
    test)
        (cd build && ctest --output-on-failure)
        # The record's code under libFuzzer, 20 s a target (tests/fuzz).
        bash tests/fuzz/run.sh build/fuzz
        cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUNILLA_SANITIZE=ON
        cmake --build build/sanitize -j "$(nproc)"
        cd build/sanitize
        export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
        # Not the package's tests, nor the screen reader's: slowed down by the
        # sanitizers, the game misses Orca's replies to its key events.
        exec ctest --output-on-failure -E 'package|clang_tidy|e2e' ;;
esac

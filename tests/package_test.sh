#!/usr/bin/env bash
# Makes the .deb, unpacks it into a temporary root, validates its menu
# entry and metainfo, and starts the game from there as far as the name box.
# Usage (on a private desktop): package_test.sh <build-dir>
set -euo pipefail
build=$1
cd "$build"
cpack -G DEB >/dev/null
deb=$(ls -t brunilla_*.deb | head -n 1)
root=$(mktemp -d)
data=$(mktemp -d)
game=
trap '[ -n "$game" ] && kill "$game" 2>/dev/null; rm -rf "$root" "$data"' EXIT
dpkg-deb -x "$deb" "$root"

desktop-file-validate "$root/usr/share/applications/it.brunilla.Brunilla.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/it.brunilla.Brunilla.metainfo.xml"
for size in 16 22 24 32 48 64 128 256; do
    test -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/brunilla.png"
done
test -s "$root/usr/share/icons/hicolor/scalable/apps/brunilla.svg"
test -s "$root/usr/lib/brunilla/suoni/Esatto.wav"
test -s "$root/usr/lib/brunilla/suoni/no.wav"
test -s "$root/usr/lib/brunilla/brunilla_sound.so"
test -L "$root/usr/bin/brunilla"

echo "package: $deb, $(stat -c %s "$deb") bytes; installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "depends: $(dpkg-deb -f "$deb" Depends)"

XDG_DATA_HOME="$data" "$root/usr/bin/brunilla" &
game=$!
for _ in $(seq 150); do
    if xdotool search --onlyvisible --name '^Brunilla$' >/dev/null 2>&1; then
        # Started through the launcher, running from the unpacked tree.
        [ "$(readlink -f /proc/$game/exe)" = "$root/usr/lib/brunilla/brunilla" ]
        echo "the name box is on screen"
        exit 0
    fi
    sleep 0.1
done
echo "the name box never appeared" >&2
exit 1

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as a packager does (tools/build.sh package),
# checks it with Debian's own tools, unpacks it into a temporary root and
# starts the game from there as far as the name box.
# Usage (on a private desktop): package_test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
DEB_BUILD_OPTIONS=nocheck bash tools/build.sh package >/dev/null
deb=$(ls -t build/brunilla_*.deb | head -n 1)
echo "package: $deb, $(stat -c %s "$deb") bytes; installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "depends: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error,warning "$deb" && echo "lintian: no error, no warning"

# The package builds from the list tools/build.sh installs from, less what
# every Debian build machine has (build-essential).
wanted=$(awk '$1 == "build" && !/build-essential/ { print $2 }' tools/packages | sort | tr '\n' ' ')
declared=$(awk 'on && /^[^ ]/ { on = 0 } /^Build-Depends:/ { on = 1; sub(/^Build-Depends:/, "") } on' debian/control \
           | tr ',' '\n' | sed 's/(.*)//; s/ //g' | grep -v -e '^$' -e '^debhelper-compat$' | sort | tr '\n' ' ')
[ "$wanted" = "$declared" ] || { echo "Build-Depends ($declared) differ from tools/packages ($wanted)"; exit 1; }

root=$(mktemp -d)
trap 'kill %1 2>/dev/null; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/it.brunilla.Brunilla.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/it.brunilla.Brunilla.metainfo.xml"
for file in share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/brunilla.png \
            share/icons/hicolor/scalable/apps/brunilla.svg share/games/brunilla/suoni/{Esatto,no}.wav \
            lib/games/brunilla/{brunilla_sound.so,brunilla-record,brunilla-record-setup} share/man/man6/brunilla.6.gz; do
    test -s "$root/usr/$file" || { echo "missing: $file"; exit 1; }
done
XDG_DATA_HOME="$root/data" "$root/usr/games/brunilla" &
for _ in $(seq 150); do
    xdotool search --onlyvisible --name '^Brunilla$' >/dev/null 2>&1 && { echo "the name box is on screen"; exit 0; }
    sleep 0.1
done
echo "the name box never appeared" >&2
exit 1

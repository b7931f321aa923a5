#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built as a packager builds it (tools/build.sh package)
# and checked with Debian's own checker; it builds from what tools/build.sh
# installs, less what every Debian build machine has (build-essential).
set -euo pipefail
cd "$(dirname "$0")/.."
DEB_BUILD_OPTIONS=nocheck bash tools/build.sh package >/dev/null
lintian --fail-on error,warning "$(ls -t build/brunilla_*.deb | head -n 1)"
wanted=$(awk '$1 == "build" && !/build-essential/ { print $2 }' tools/packages | sort | xargs)
declared=$(sed -n '/^Build-Depends:/,/^[^ B]/p' debian/control | tr ',' '\n' \
           | sed 's/^Build-Depends://; s/(.*)//; s/ //g' | grep -v -e '^$' -e ':' -e debhelper \
           | sort | xargs)
[ "$wanted" = "$declared" ] || { echo "Build-Depends $declared, tools/packages $wanted"; exit 1; }
echo "lintian clean; Build-Depends as listed"

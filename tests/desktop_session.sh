#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private desktop: an X server of its own, a window
# manager (so windows get activated, as on a real desktop) and an
# accessibility bus, all ended with the command.
set -euo pipefail
if [ -z "${BRUNILLA_DESKTOP:-}" ]; then
    export BRUNILLA_DESKTOP=1
    exec dbus-run-session -- "$0" "$@"
fi

number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>/dev/null &
xvfb=$!
trap 'kill $(jobs -p) 2>/dev/null; rm -f "$number"' EXIT
for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$number")"
openbox >/dev/null 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
kill -0 $xvfb
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The gates of Debian's archive for the committed HEAD, to pass before a
# release; as root, on Debian 12 or 13, for that release:
#   build         dpkg-buildpackage -us -uc (source and binaries, tests on) by
#                 an ordinary account, in a clean root that holds
#                 build-essential and the Build-Depends alone;
#   piuparts      install, remove and purge in a minimal root, and an upgrade
#                 from an older build (the package itself, repacked as
#                 VERSION~old) and from the release whose .deb $UPGRADE names;
#   autopkgtest   debian/tests against the package, in a throw-away root;
#   reproducible  reprotest: a second build, varied in its path, time,
#                 locale, umask, host name, CPUs and more, bit for bit the same;
#   lint          blhc on the build's log, lintian --pedantic on what it made.
# Each gate is bounded in time; the last lines say how each went. Its logs
# and the build are kept in $QA_DIR (/var/tmp/brunilla-qa). It installs the
# tools it needs, and gives root a range in /etc/subuid and /etc/subgid when
# it has none (autopkgtest's throw-away root needs one).
set -uo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" = 0 ] || { echo "tools/qa.sh: run it as root"; exit 2; }
work=${QA_DIR:-/var/tmp/brunilla-qa}
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}
minbase=$work/$suite-minbase.tar.gz
out=$work/out
rm -rf "$out" && mkdir -p "$out"
results=()

# gate NAME SECONDS FUNCTION: one gate, its output in $out/NAME.log.
gate() {
    local name=$1 limit=$2 run=$3 start=$SECONDS verdict=ok
    echo "== $name (at most $limit s; $out/$name.log)"
    timeout "$limit" bash -c "$run" > "$out/$name.log" 2>&1 || verdict=FAIL
    [ $verdict = ok ] || tail -5 "$out/$name.log"
    results+=("$name=$verdict ($((SECONDS - start)) s)")
}

setup() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends mmdebstrap piuparts \
        autopkgtest uidmap reprotest diffoscope disorderfs faketime locales sudo blhc lintian dpkg-dev \
        fakeroot
    for ids in /etc/subuid /etc/subgid; do
        grep -q '^root:' "$ids" 2>/dev/null || echo 'root:100000:65536' >> "$ids"
    done
    locale -a | grep -qi '^et_EE.utf-\?8$' || localedef -i et_EE -f UTF-8 et_EE.UTF-8
    [ -s "$minbase" ] || mmdebstrap --variant=minbase "$suite" "$minbase" "deb $mirror $suite main"
    git clone -q . "$out/src"
}

build() {
    local hook='chroot "$1" runuser -u builder -- env -i HOME=/home/builder PATH=/usr/bin:/bin'
    mmdebstrap --variant=buildd --include=fakeroot "$suite" /dev/null "deb $mirror $suite main" \
        --customize-hook="copy-in $out/src /build" \
        --customize-hook='chroot "$1" sh -c "cd /build/src && apt-get build-dep -y ./"' \
        --customize-hook='chroot "$1" useradd --create-home builder' \
        --customize-hook='chroot "$1" chown -R builder /build' \
        --customize-hook="$hook LANG=C.UTF-8 sh -c 'cd /build/src && dpkg-buildpackage -us -uc' \
            > $out/build-package.log 2>&1" \
        --customize-hook="sync-out /build $out/built"
}

# upgrade_from DEB OLD: piuparts installs OLD from a local repository, then
# upgrades it to DEB.
upgrade_from() {
    local repo
    repo=$(mktemp -d)
    chmod 755 "$repo" # apt reads it as _apt
    cp "$2" "$repo/"
    (cd "$repo" && dpkg-scanpackages . /dev/null > Packages)
    piuparts "${common[@]}" --no-install-purge-test --bindmount="$repo" \
        --extra-repo="deb [trusted=yes] file://$repo ./" "$1"
}

piuparts_gate() {
    local deb tree
    deb=$(ls "$out"/built/brunilla_*.deb)
    local common=(--basetgz="$minbase" -d "$suite" -m "$mirror main" --scriptsdir=/etc/piuparts/scripts)
    piuparts "${common[@]}" --no-upgrade-test "$deb" || return 1
    # From an older build of this version: the package itself, as VERSION~old.
    tree=$(mktemp -d)
    dpkg-deb -R "$deb" "$tree/pkg"
    sed -i 's/^Version: .*/&~old/' "$tree/pkg/DEBIAN/control"
    dpkg-deb -b "$tree/pkg" "$tree/old.deb"
    upgrade_from "$deb" "$tree/old.deb" || return 1
    # From the release before, when $UPGRADE names its .deb.
    [ -z "${UPGRADE:-}" ] || upgrade_from "$deb" "$UPGRADE"
}

autopkgtest_gate() {
    autopkgtest -U -o "$out/autopkgtest" "$out/src/" "$out"/built/brunilla_*.deb -- unshare -t "$minbase"
}

reproducible() {
    # reprotest's host name variation calls "sudo -h localhost", which sudo
    # 1.9 refuses: the same call, without it.
    mkdir -p "$out/bin"
    printf '#!/bin/sh\n[ "$1" = -h ] && shift 2\nexec /usr/bin/sudo "$@"\n' > "$out/bin/sudo"
    chmod +x "$out/bin/sudo"
    DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -q "$out/src/"
    cd "$out/src" && PATH="$out/bin:$PATH" reprotest --vary=-user_group --vary=domain_host.use_sudo=1 \
        --auto-preset-expr '_.str_replace.build_command("dpkg-buildpackage", "DEB_BUILD_OPTIONS=nocheck dpkg-buildpackage -Pnocheck")' \
        --store-dir="$out/reprotest" . '../*.deb' -- null
}

lint() {
    blhc --all --debian --line-numbers "$out/build-package.log" || return 1
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp lintian --pedantic -I -E \
        --fail-on error,warning "$(ls "$out"/built/brunilla_*_amd64.changes)"
}

export out suite mirror minbase
export -f setup build upgrade_from piuparts_gate autopkgtest_gate reproducible lint
mkdir -p "$out/built"
gate setup 1800 setup
gate build 2400 build
gate piuparts 2400 piuparts_gate
gate autopkgtest 2400 autopkgtest_gate
gate reproducible 2400 reproducible
gate lint 900 lint
printf '%s\n' "${results[@]}"
[[ "${results[*]}" != *FAIL* ]]

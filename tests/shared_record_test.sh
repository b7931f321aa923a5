#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The record every account shares, as the Debian package installs it: the
# .deb unpacked into a temporary root, set-group-id helper and all, its
# maintainer scripts run, and three accounts (user ids that exist nowhere
# else) playing against it. The record directory is made in a mount
# namespace of the test's own, over a throw-away layer on top of the real
# one, so the machine is left as it was.
# Usage: shared_record_test.sh <build-dir> <record_player> <record-dir>
set -euo pipefail
build=$1 player=$2 records=$3

if [ "$(id -u)" != 0 ]; then
    echo "SKIP: needs root, to give the helper its group and to play under three accounts"
    exit 77
fi
if [ "$records" != /var/games/brunilla ]; then
    echo "SKIP: the package keeps the record in /var/games/brunilla, this build in $records"
    exit 77
fi

if [ -z "${BRUNILLA_NAMESPACE:-}" ]; then
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    chmod 755 "$root"
    deb=$(ls -t "$(dirname "$0")"/../build/brunilla_*.deb | head -n 1)
    dpkg-deb -x "$deb" "$root/tree"
    dpkg-deb -e "$deb" "$root/control"
    install -m 755 "$player" "$root/record_player"
    # In a chroot the root is no mount point and cannot be made private; a
    # mount there stays private only if the mount under it is not shared.
    private=(--propagation private)
    if ! unshare --mount true 2>/dev/null; then
        if grep -E "^([^ ]+ ){4}/ .*shared:" /proc/self/mountinfo >/dev/null; then
            echo "SKIP: no private mount namespace here"
            exit 77
        fi
        private=(--propagation unchanged)
    fi
    BRUNILLA_NAMESPACE=$root unshare --mount "${private[@]}" "$0" "$@"
    exit
fi

root=$BRUNILLA_NAMESPACE
mkdir "$root/upper" "$root/work"
mount -t overlay overlay -o "lowerdir=/var,upperdir=$root/upper,workdir=$root/work" /var
"$root/control/postinst" configure

failed=0
check() { # what, condition...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failed=1; fi
}
fails() { ! "$@"; }
same() { [ "$1" = "$2" ] || { printf 'got:    %q\nwanted: %q\n' "$1" "$2"; false; }; }
holds() { same "$(od -An -c "$records/$1")" "$(printf "$2" | od -An -c)"; }
as() { # uid command...
    local uid=$1
    shift
    mkdir -p "$root/home/$uid"
    chown -R "$uid:$uid" "$root/home/$uid"
    setpriv --reuid="$uid" --regid="$uid" --clear-groups \
        env -i HOME="$root/home/$uid" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
play() { as "$1" "$root/record_player" "$root/tree/usr/games" "${@:2}" 2>/dev/null; }
helper=$root/tree/usr/lib/games/brunilla/brunilla-record
store() { printf "$2" | as "$1" "$helper" 2>"$root/said"; }
saved='end: Ok! Ho registrato il tuo record, C A M P I O N E'

check "the helper is set-group-id games" same "$(stat -c %a:%U:%G "$helper")" 2755:root:games
check "the directory and files are the group's" \
    same "$(stat -c %a:%U:%G "$records" "$records/tavrec8.txt" "$records/ntavrec8.txt" | tr '\n' ' ')" \
    "2775:root:games 664:root:games 664:root:games "

check "the first account stores a record" same "$(play 20001 Anna 2)" $'record: |\n'"$saved"
check "the second sees it at start-up and beats it" same "$(play 20002 Luca 3)" $'record: 2|Anna\n'"$saved"
check "the first then sees the second's" same "$(play 20001 Anna 1)" $'record: 3|Luca\nend: -'

for attempt in "echo 99 > tavrec8.txt" "rm -f ntavrec8.txt" "mv tavrec8.txt x" "touch nuovo" \
               "chmod 666 tavrec8.txt" "ln -s /tmp tavrec8.txt.nuovo"; do
    check "the third account cannot: $attempt" fails as 20003 sh -c "cd $records && { $attempt; } 2>/dev/null"
done
check "the record stands" holds tavrec8.txt '3\r\n'
check "its holder stands" holds ntavrec8.txt 'Luca\r\n'

check "a score that is no number is refused" fails store 20003 'x12\nEva\n'
check "with a clear message" grep -q "input refused: the score" "$root/said"
check "an oversized name is refused" fails store 20003 "9\n$(printf 'a%.0s' {1..1001})\n"
store 20003 '2\nEva\n' || status=$?
check "a lower score is not stored" same "${status:-0}" 1
check "nor is anything else" holds ntavrec8.txt 'Luca\r\n'

echo untouched > "$root/target"
ln -s "$root/target" "$records/tavrec8.txt.nuovo"
check "a link planted where the helper writes is not followed" store 20003 '7\nEva\n'
check "what it led to is untouched" same "$(cat "$root/target")" untouched
check "the new record is stored whole" holds tavrec8.txt '7\r\n'
check "with its holder" holds ntavrec8.txt 'Eva\r\n'
check "as a plain file of the helper's making" same "$(stat -c %F:%G "$records/tavrec8.txt")" "regular file:games"

own=$root/home/20004/.local/share/brunilla
mkdir -p "$own"
printf '9\r\n' > "$own/tavrec8.txt"
printf 'Zoe\r\n' > "$own/ntavrec8.txt"
check "a record 1.0.0 kept in the player's folder joins the shared one" same "$(play 20004 Zoe 0)" $'record: 9|Zoe\nend: -'
check "once" same "$(ls "$own")" $'ntavrec8.txt.offerto\ntavrec8.txt.offerto'

"$root/control/postrm" purge
check "purging removes the record" test ! -e "$records"
exit $failed

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The record every account shares, as the Debian package installs it: the
# .deb unpacked into a temporary root, set-group-id helper and all, its
# maintainer scripts run, and three accounts (user ids that exist nowhere
# else) playing against it. The record directory is made in a mount
# namespace of the test's own, over a throw-away layer on top of /var, so
# the machine is left as it was.
# Usage: shared_record_test.sh <record_player> <record-dir>
set -euo pipefail
player=$1 records=$2
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root, to give the helper its group and to play under three accounts"; exit 77; }
[ "$records" = /var/games/brunilla ] || { echo "SKIP: the package keeps the record in /var/games/brunilla, not $records"; exit 77; }

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
    private=private
    if ! unshare --mount true 2>/dev/null; then
        grep -qE "^([^ ]+ ){4}/ .*shared:" /proc/self/mountinfo && { echo "SKIP: no private mount namespace"; exit 77; }
        private=unchanged
    fi
    BRUNILLA_NAMESPACE=$root unshare --mount --propagation "$private" "$0" "$@"
    exit
fi

root=$BRUNILLA_NAMESPACE
mkdir "$root/upper" "$root/work"
mount -t overlay overlay -o "lowerdir=/var,upperdir=$root/upper,workdir=$root/work" /var
"$root/control/postinst" configure
failed=0
check() { if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi; }
same() { [ "$1" = "$2" ] || { printf 'got:    %q\nwanted: %q\n' "$1" "$2"; false; }; }
pair() { same "$(cat "$records/tavrec8.txt" "$records/ntavrec8.txt" | od -An -c)" "$(printf "$1" | od -An -c)"; }
as() { # uid command...
    mkdir -p "$root/home/$1" && chown -R "$1:$1" "$root/home/$1"
    setpriv --reuid="$1" --regid="$1" --clear-groups env -i HOME="$root/home/$1" PATH=/usr/bin:/bin LANG=C.UTF-8 "${@:2}"
}
play() { as "$1" "$root/record_player" "$root/tree/usr/games" "${@:2}" 2>/dev/null; }
helper=$root/tree/usr/lib/games/brunilla/brunilla-record
stored() { printf "$2" | as "$1" "$helper" 2>/dev/null; echo $?; }
saved='end: Ok! Ho registrato il tuo record, C A M P I O N E'

check "the helper is set-group-id games; the directory and files are the group's" \
    same "$(stat -c %a:%U:%G "$helper" "$records" "$records"/*.txt | tr '\n' ' ')" \
    "2755:root:games 2775:root:games 664:root:games 664:root:games "
check "the first account stores a record" same "$(play 20001 Anna 2)" $'record: |\n'"$saved"
check "the second sees it at start-up and beats it" same "$(play 20002 Luca 3)" $'record: 2|Anna\n'"$saved"
check "the first then sees the second's" same "$(play 20001 Anna 1)" $'record: 3|Luca\nend: -'
for attempt in "echo 99 > tavrec8.txt" "rm -f ntavrec8.txt" "mv tavrec8.txt x" "touch nuovo" \
               "chmod 666 tavrec8.txt" "ln -s /tmp tavrec8.txt.nuovo"; do
    check "the third account cannot: $attempt" eval "! as 20003 sh -c 'cd $records && { $attempt; } 2>/dev/null'"
done
check "a score that is no number is refused" same "$(stored 20003 'x12\nEva\n')" 2
check "an oversized name is refused" same "$(stored 20003 "9\n$(printf 'a%.0s' {1..1001})\n")" 2
check "a lower score is not stored" same "$(stored 20003 '2\nEva\n')" 1
check "the record stands" pair '3\r\nLuca\r\n'
echo untouched > "$root/target"
ln -s "$root/target" "$records/tavrec8.txt.nuovo"
check "a link planted where the helper writes is not followed" same "$(stored 20003 '7\nEva\n')$(cat "$root/target")" 0untouched
check "the new record is stored whole, in plain files of the helper's making" \
    same "$(pair '7\r\nEva\r\n' && stat -c %F:%G "$records/tavrec8.txt")" "regular file:games"
own=$root/home/20004/.local/share/brunilla
mkdir -p "$own" && printf '9\r\n' > "$own/tavrec8.txt" && printf 'Zoe\r\n' > "$own/ntavrec8.txt"
check "a record 1.0.0 kept in the player's folder joins the shared one" same "$(play 20004 Zoe 0)" $'record: 9|Zoe\nend: -'
check "once" same "$(ls "$own")" $'ntavrec8.txt.offerto\ntavrec8.txt.offerto'
"$root/control/postrm" purge
check "purging removes the record" test ! -e "$records"
exit $failed

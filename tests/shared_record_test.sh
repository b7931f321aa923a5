#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The record every account shares, as the Debian package installs it, and
# what the other accounts at the same computer can do against it: the
# .deb's files put in place, set-group-id helper and all, its maintainer
# scripts run, and accounts (user ids that exist nowhere else) playing,
# attacking and planting. /usr and /var are throw-away layers in a mount
# namespace of the test's own, so the machine is left as it was.
# Usage: shared_record_test.sh <record_player> <record-dir>
set -euo pipefail
player=$1 records=$2
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root, to give the helper its group and to play under several accounts"; exit 77; }
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
for layer in usr var; do
    mkdir "$root/$layer-upper" "$root/$layer-work"
    mount -t overlay overlay -o "lowerdir=/$layer,upperdir=$root/$layer-upper,workdir=$root/$layer-work" "/$layer"
done
cp -a "$root/tree/usr/." /usr/ # as dpkg unpacks the package
cp -a "$root/tree/var/." /var/
"$root/control/postinst" configure
failed=0
check() { if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi; }
same() { [ "$1" = "$2" ] || { printf 'got:    %q\nwanted: %q\n' "$1" "$2"; false; }; }
pair() { same "$(cat "$records/tavrec8.txt" "$records/ntavrec8.txt" | od -An -c)" "$(printf "$1" | od -An -c)"; }
owners() { stat -c %U:%G:%a "$records"/* | sort | uniq -c | awk '{ printf "%s %s ", $1, $2 }'; }
rooted='1 root:games:640 4 root:games:664 '
as() { # uid command...
    mkdir -p "$root/home/$1" && chown -R "$1:$1" "$root/home/$1"
    setpriv --reuid="$1" --regid="$1" --clear-groups env -i HOME="$root/home/$1" PATH=/usr/bin:/bin LANG=C.UTF-8 "${@:2}"
}
play() { as "$1" "$root/record_player" /usr/games "${@:2}" 2>/dev/null; }
helper=/usr/lib/games/brunilla/brunilla-record
stored() { printf "$2" | as "$1" "$helper" 2>/dev/null; echo $?; }
cannot() { ! as "$1" sh -c "cd $records && { $2; } 2>/dev/null"; }
saved='end: Ok! Ho registrato il tuo record, C A M P I O N E'
sorry='end: Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!'

check "the helper is set-group-id games, the directory the group's" \
    same "$(stat -c %a:%U:%G "$helper" "$records" | tr '\n' ' ')" "2755:root:games 2775:root:games "
check "every file of the record is root's and the group's" same "$(owners)" "$rooted"
check "the first account stores a record" same "$(play 20001 Anna 2)" $'record: |\n'"$saved"
check "the files are still root's, not the account's" same "$(owners)" "$rooted"
check "the second sees it at start-up and beats it" same "$(play 20002 Luca 3)" $'record: 2|Anna\n'"$saved"
check "the first then sees the second's" same "$(play 20001 Anna 1)" $'record: 3|Luca\nend: -'
attempts=("echo 32000 > tavrec8.txt" "truncate -s 0 ntavrec8.txt" "chmod 600 tavrec8.txt" "rm -f ntavrec8.txt"
          "mv tavrec8.txt x" "touch nuovo" "ln -s /tmp tavrec8.txt.vecchio" "exec 3< blocco")
# The kernel refuses a hard link to a file one may not write where protected_hardlinks is on, as on Debian.
[ "$(cat /proc/sys/fs/protected_hardlinks)" = 0 ] || attempts+=("ln tavrec8.txt /var/tmp/copia")
for attempt in "${attempts[@]}"; do
    check "the account that set the record cannot: $attempt" cannot 20002 "$attempt"
done
check "the record stands" pair '3\r\nLuca\r\n'

# Locks any account can take, and a helper stopped by its own caller.
as 20003 flock -x "$records" sleep 60 & as 20003 flock -x "$records/tavrec8.txt" sleep 60 &
mkfifo "$root/never" && chmod 666 "$root/never"
as 20003 sh -c "exec $helper <> $root/never" &
disown -a
sleep 0.5
kill -STOP "$(pgrep -f -n "^$helper")"
start=$(date +%s%N)
check "held locks and a stopped helper delay no one" same "$(play 20004 Zoe 4)" $'record: 3|Luca\n'"$saved"
check "not even by the lock's wait" test $(( ($(date +%s%N) - start) / 1000000 )) -lt 2500
pkill -KILL -f "^$helper" || true; pkill -f 'sleep 60' || true

check "a name with terminal controls is refused" same "$(stored 20003 '550\n\033]0;x\007\033[2JEva\n')" 2
check "a score that is no number is refused" same "$(stored 20003 'x12\nEva\n')" 2
check "a name longer than the name box takes is refused" same "$(stored 20003 "9\n$(printf 'a%.0s' {1..33})\n")" 2
check "a lower score is not stored" same "$(stored 20003 '2\nEva\n')" 1
chmod 000 "$records/ntavrec8.txt"
check "a file that cannot be read is not replaced" same "$(play 20003 Eva 7)$(pair '4\r\nZoe\r\n' && echo " kept")" \
    $'record: 4|\n'"$sorry kept"
rm "$records/ntavrec8.txt" && mkdir "$records/ntavrec8.txt"
check "nor a file that is not a plain file" same "$(stored 20003 '7\nEva\n')" 3
rmdir "$records/ntavrec8.txt" && printf 'Zoe\r\n' > "$records/ntavrec8.txt"

# What root's scripts meet in a directory the group may write: links planted
# there, and the files an earlier version's helper left to the players.
target=/var/tmp/target # on the record's file system, where a hard link can reach it
echo secret > "$target" && chmod 600 "$target"
ln -s "$target" "$records/tavrec8.txt.nuovo.copia"
rm "$records/ntavrec8.txt.nuovo" && ln "$target" "$records/ntavrec8.txt.nuovo"
rm "$records/blocco" && ln -s "$target" "$records/blocco"
chown 20001:games "$records/tavrec8.txt" && chmod 664 "$records/tavrec8.txt"
"$root/control/postinst" configure
check "the maintainer scripts change no file that a link leads to" same "$(stat -c %U:%a:%h "$target")" "root:600:1"
check "nor read one" same "$(cat "$records/ntavrec8.txt.nuovo")" ""
check "every file is root's again" same "$(owners)" "$rooted"
check "and the record stands" pair '4\r\nZoe\r\n'
check "which its former owner cannot change" cannot 20001 "echo 99 > tavrec8.txt"
check "the new record is stored whole" same "$(stored 20003 '7\nEva\n')$(pair '7\r\nEva\r\n' && echo " whole")" "0 whole"

own=$root/home/20005/.local/share/brunilla
mkdir -p "$own" && printf '9\r\n' > "$own/tavrec8.txt" && printf 'Zoe\r\n' > "$own/ntavrec8.txt"
check "a record 1.0.0 kept in the player's folder joins the shared one" same "$(play 20005 Zoe 0)" $'record: 9|Zoe\nend: -'
check "once" same "$(ls "$own")" $'ntavrec8.txt.offerto\ntavrec8.txt.offerto'
"$root/control/postrm" purge
check "purging removes the record and /var/games" test ! -e /var/games
exit $failed

#!/usr/bin/env bash
# The weekly backup as systemd runs it: the units verified, the retry rule for "ICQ is running",
# the service's ExecStart line with the unit's environment on a sample prefix (its summary line
# for the journal, exit 3 while ICQ runs), and the failure unit's script: the notification, and
# the backup made all the same when ICQ ran at every try.
#   tests/packaging/weekly-backup.sh <zeb2000-cli> <make-sample-icq.sh>
set -euo pipefail
# The tool speaks the user's language; these lines read its English words (the C locale, as CI).
export LC_ALL=C.UTF-8
unset LANGUAGE
cli=$(realpath "$1")
make_sample=$2
here=$(cd "$(dirname "$0")" && pwd)
units=$(cd "$here/../../packaging/systemd" && pwd)
man_page=$(realpath "$here/../../packaging/man/zeb2000-cli.1")
work=$(mktemp -d)
icq_pid=""
trap '[ -z "$icq_pid" ] || kill "$icq_pid" 2>/dev/null; rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}
service=$units/zeb2000-backup.service
setting() { sed -n "s/^$2=//p" "$1"; }

# systemd's own check; a user manager needs a runtime folder even to verify, and MANPATH lets
# it find Documentation=.
mkdir -m 700 "$work/run"
mkdir -p "$work/man/man1"
ln -s "$man_page" "$work/man/man1/"
out=$(XDG_RUNTIME_DIR=$work/run MANPATH=$work/man systemd-analyze --user verify "$service" \
    "$units/zeb2000-backup.timer" "$units/zeb2000-backup-failed.service" 2>&1) ||
    fail "systemd-analyze: $out"
[ -z "$out" ] || fail "systemd-analyze: $out"
sh -n "$units/zeb2000-backup-failed" || fail "the failure script does not parse"

# Retried for "ICQ is running" (3) only, later the same day, a limited number of times; and the
# failure unit is the one whose script is tested below.
[ "$(setting "$service" Restart)" = on-failure ] || fail "Restart= is not on-failure"
prevented=" $(setting "$service" RestartPreventExitStatus) "
[[ $prevented != *" 3 "* && $prevented == *" 1 "* && $prevented == *" 2 "* &&
    $prevented == *" 4 "* ]] || fail "RestartPreventExitStatus=$prevented"
[ -n "$(setting "$service" RestartSec)" ] && [ "$(setting "$service" StartLimitBurst)" -gt 1 ] ||
    fail "no delay or no limit for the tries"
[ "$(setting "$service" OnFailure)" = zeb2000-backup-failed.service ] || fail "OnFailure="
grep -q "^ExecStart=/bin/sh /usr/lib/zeb2000/zeb2000-backup-failed$" \
    "$units/zeb2000-backup-failed.service" || fail "the failure unit runs another script"

# A user manager cannot be started in every test machine (it needs systemd as the system's
# manager); where it cannot, the lines it would run are run with the unit's environment.
if XDG_RUNTIME_DIR=$work/run timeout 10 systemd --user --test >/dev/null 2>&1; then
    echo "NOTE: a user manager could be started; its units are still run by hand below"
else
    echo "NOTE: no user manager can be started here; the units' lines run with their environment"
fi

# The sample prefix and the settings, as a user writes them.
export WINEPREFIX=$work/prefix
"$make_sample" "$WINEPREFIX" >/dev/null
unset DISPLAY
mkdir "$work/bin"
ln -s "$cli" "$work/bin/zeb2000-cli"
cat >"$work/backup.env" <<ENV
ZEB_BACKUP_DIR="$work/ICQ backups"
WINEPREFIX="$WINEPREFIX"
ENV
mkdir "$work/ICQ backups" "$work/state"
exec_start=$(setting "$service" ExecStart)
exec_start=${exec_start//\$\$/\$}
exec_start=${exec_start//%%/%}
# Runs a unit's command line as systemd would: the settings' environment, the package's
# programs on PATH. Output in $work/out, exit code in $status.
as_unit() {
    status=0
    (set -a && . "$work/backup.env" && STATE_DIRECTORY=$work/state && PATH=$work/bin:$PATH &&
        eval "$1") >"$work/out" 2>&1 ||
        status=$?
}

as_unit "$exec_start"
[ "$status" = 0 ] || fail "the service's backup: exit $status: $(cat "$work/out")"
grep -qE "^Backup into $work/ICQ backups/20[0-9-]{8} [0-9]{4}/ from .*: ([0-9]+) of \1 components copied whole, [0-9]+ files \([0-9.]+ [KMG]iB\) copied, 0 unchanged, 0 kept, in [0-9.]+ s\.$" \
    "$work/out" || fail "no summary line for the journal: $(cat "$work/out")"

# With ICQ running in this prefix the service exits 3, which Restart= retries.
cp "$(command -v sleep)" "$work/icq.exe"
"$work/icq.exe" 600 &
icq_pid=$!
# Until it has started, the child is still this shell, under its name.
until tr '\0' '\n' <"/proc/$icq_pid/cmdline" 2>/dev/null | grep -q 'icq\.exe$'; do
    kill -0 "$icq_pid" || break
    sleep 0.01
done
as_unit "$exec_start"
[ "$status" = 3 ] || fail "the service with ICQ running: exit $status: $(cat "$work/out")"
grep -q "ICQ is running" "$work/out" || fail "no reason in the journal: $(cat "$work/out")"

# The failure unit when ICQ ran at every try: a backup all the same, into a new set, with no
# set removed; the desktop is told through notify-send where a session bus is.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s"\n' "$work/notified" >"$work/bin/notify-send"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/systemctl"
printf '#!/bin/sh\necho "zeb2000-cli: ICQ is running; close it first, or go on with --force."\n' \
    >"$work/bin/journalctl"
chmod +x "$work/bin/notify-send" "$work/bin/systemctl" "$work/bin/journalctl"
# Nine older sets: more than --keep 8 would leave.
for old in 2001 2002 2003 2004 2005 2006 2007 2008 2009; do
    mkdir -p "$work/forced/$old-01-01 0000"
done
failure_script="sh '$units/zeb2000-backup-failed'"
as_unit "ZEB_BACKUP_DIR='$work/forced' MONITOR_EXIT_STATUS=3 \
    DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus $failure_script"
[ "$status" = 0 ] || fail "the failure script: exit $status: $(cat "$work/out")"
[ "$(ls "$work/forced" | wc -l)" = 10 ] &&
    [ -n "$(find "$work/forced" -path '*/20[1-9]* */2000b' -type d)" ] ||
    fail "no backup made all the same, or a set removed: $(ls "$work/forced")"
[ "$(head -n 1 "$work/notified" 2>/dev/null)" = "--urgency=critical" ] &&
    grep -qx "ICQ backup made while ICQ was running" "$work/notified" ||
    fail "no notification: $(cat "$work/notified" 2>/dev/null) $(cat "$work/out")"
grep -q "ICQ backup made while ICQ was running" "$work/out" || fail "nothing in the journal"
kill "$icq_pid"
icq_pid=""

# Every fourth backup reads the newest set back: a file gone bad there, size and time kept,
# which the new set links, fails that run with the file named.
echo 3 >"$work/state/backups"
rotten=$(find "$work/ICQ backups" -path '*/2000b/*' -type f -size +0 | head -n 1)
touch -r "$rotten" "$work/stamp"
printf '\377' | dd of="$rotten" bs=1 seek=0 conv=notrunc status=none
touch -r "$work/stamp" "$rotten"
as_unit "$exec_start"
[ "$status" = 1 ] && grep -q "^zeb2000-cli: damaged: 2000b/" "$work/out" ||
    fail "the fourth backup did not check the newest set: exit $status: $(cat "$work/out")"

# Any other failure: no backup, the reason the run gave, and without a session bus the journal.
rm -f "$work/notified"
printf '#!/bin/sh\necho "Backup into x"\necho "zeb2000-cli: ICQ 2000b [2000b] could not be copied"\n' \
    >"$work/bin/journalctl"
sets_before=$(ls "$work/ICQ backups" | wc -l)
as_unit "MONITOR_EXIT_STATUS=1 DBUS_SESSION_BUS_ADDRESS= XDG_RUNTIME_DIR=$work/run $failure_script"
[ ! -e "$work/notified" ] || fail "a notification without a session bus"
grep -q "^The weekly ICQ backup failed: ICQ 2000b \[2000b\] could not be copied$" "$work/out" &&
    grep -q "no session bus" "$work/out" || fail "the journal lacks the reason: $(cat "$work/out")"
[ "$(ls "$work/ICQ backups" | wc -l)" = "$sets_before" ] || fail "a backup after another failure"

echo "$failed failed"
[ "$failed" = 0 ]

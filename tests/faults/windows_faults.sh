#!/usr/bin/env bash
# Fault injection into real copies of the Windows copier under Wine, each case in processes of
# its own: a kill in the middle of a new and of a replaced large file, a kill after the data and
# before the renames, a full disk, a source another program holds without sharing (told under a
# Cyrillic code page), a hidden UIN file with its window open, icq.exe of another installation
# and of this one running, a backup folder whose name ends in a blank, a name outside the ANSI
# code page backed up, named and restored, and a repeat backup without a terminal and without
# --overwrite. Run by scripts/test-windows.sh, which owns the Wine prefix.
set -euo pipefail
driver=$1
cli=$2
holder=$3
make_sample=$4
[ -n "${ZEB_WINEPREFIX:-}" ] || { echo "no throwaway Wine prefix" >&2; exit 1; }
export LC_ALL=C.UTF-8 # names cross Wine's command line as UTF-8
run() { "$(dirname "$0")/../../scripts/test-windows.sh" --run "$@"; }

# Everything lives on the prefix's drive C:, so that each path has its Windows twin.
work=$(mktemp -d "$ZEB_WINEPREFIX/drive_c/zebfaults.XXXXXX")
dos="C:\\$(basename "$work")"
trap 'umount "$work/small" 2>/dev/null || true; rm -rf "$work"' EXIT
. "$(dirname "$0")/cases.sh"
copy() { run "$driver" "$dos\\src" "$dos\\dst" >"$work/out" 2>&1; }

# Starts hold_file (or a copy of it) with the arguments, held until descriptor 7 closes, and
# waits until it holds.
hold() { # <program> <argument...>
    rm -f "$work/hold" "$work/held"
    mkfifo "$work/hold"
    run "$@" <"$work/hold" >"$work/held" 2>&1 &
    holder_pid=$!
    exec 7>"$work/hold"
    for _ in $(seq 2000); do
        grep -q held "$work/held" 2>/dev/null && break
        sleep 0.01
    done
    grep -q held "$work/held" || fail "the helper could not hold: $(cat "$work/held")"
}
release() {
    exec 7>&-
    wait $holder_pid || true
}

# ---- Ended by TerminateProcess in the middle of a large file: the real name holds the old bytes
# or none, and the next copy leaves no temporary file behind.
head -c $((256 << 20)) /dev/urandom >"$work/big.db"
for kind in new replaced; do
    begin "killed while writing a $kind file"
    before=$failed
    cp "$work/big.db" "$work/src/big.db"
    [ "$kind" = new ] || echo "the good old database" >"$work/dst/big.db"
    run "$driver" "$dos\\src" "$dos\\dst" --die-after-mib 64 >/dev/null 2>&1 &&
        fail "the driver did not end"
    if [ "$kind" = new ]; then
        [ ! -e "$work/dst/big.db" ] || fail "a cut-off file stands under the real name"
    else
        [ "$(cat "$work/dst/big.db")" = "the good old database" ] || fail "the old file was cut"
    fi
    [ -n "$(find "$work/dst" -name '.~zeb*' -size +1k)" ] ||
        fail "expected the dead copy's temporary file"
    copy || fail "the next copy failed: $(cat "$work/out")"
    cmp -s "$work/src/big.db" "$work/dst/big.db" || fail "the next copy is not the source"
    [ "$(temporaries "$work/dst")" = 0 ] || fail "a temporary file stayed"
    end $before
done
rm -f "$work/big.db"

# ---- Ended by TerminateProcess after the data, before the renames: nothing under the real names.
begin "kill before the renames"
before=$failed
for f in a b c; do echo "new $f" >"$work/src/$f.dat"; done
echo "the old b" >"$work/dst/b.dat"
run "$driver" "$dos\\src" "$dos\\dst" --die-after 3 >/dev/null 2>&1 && fail "the driver did not end"
[ "$(ls "$work/dst")" = "b.dat" ] && [ "$(cat "$work/dst/b.dat")" = "the old b" ] ||
    fail "the real names changed before the renames: $(ls "$work/dst")"
copy && diff -r "$work/src" "$work/dst" >/dev/null || fail "the next copy did not finish the job"
end $before

# ---- A full disk (a 2 MiB tmpfs on the prefix's drive C:): what fits is copied, the file that does
# not is named with the target as the side, the old one stays whole, no temporary file is left.
begin "full disk"
before=$failed
if [ "$(id -u)" != 0 ]; then
    echo "full disk: skipped, mounting a small disk needs root"
elif mkdir -p "$work/small" && mount -t tmpfs -o size=2m tmpfs "$work/small"; then
    mkdir "$work/small/dst"
    echo "the old b" >"$work/small/dst/b.dat"
    head -c $((512 << 10)) /dev/urandom >"$work/src/a.dat"
    head -c $((3 << 20)) /dev/urandom >"$work/src/b.dat"
    echo small >"$work/src/c.dat"
    run "$driver" "$dos\\src" "$dos\\small\\dst" >"$work/out" 2>&1 &&
        fail "a copy onto a full disk answered success"
    grep -q '^failure target .*\\b\.dat: ' "$work/out" ||
        fail "no report of the full disk: $(cat "$work/out")"
    cmp -s "$work/src/a.dat" "$work/small/dst/a.dat" && cmp -s "$work/src/c.dat" "$work/small/dst/c.dat" ||
        fail "the files that fit were not copied"
    [ "$(cat "$work/small/dst/b.dat")" = "the old b" ] && [ "$(temporaries "$work/small")" = 0 ] ||
        fail "the old file was cut or a temporary file stayed: $(ls -la "$work/small/dst")"
    umount "$work/small"
else
    fail "a small disk could not be mounted"
fi
end $before

# The command line's cases back up a sample ICQ folder named with --icq.
sample=$(mktemp -d)
"$make_sample" "$sample" >/dev/null
cp -a "$sample/drive_c/Program Files/ICQ" "$work/icq"
rm -rf "$sample"
backup() { # <backup folder, Windows path> [option...]; output in $work/out, exit in $status
    local to=$1
    shift
    status=0
    timeout 120 "$(dirname "$0")/../../scripts/test-windows.sh" --run "$cli" backup \
        --icq "$dos\\icq" --to "$to" --component NewDB "$@" </dev/null >"$work/out" 2>&1 ||
        status=$?
}

# ---- A source held open without sharing: a failed file named on the source side, no success,
# and --keep removes no older set after it.
case="locked source"
before=$failed
backup "$dos\\sets" --dated --mkpath
[ $status = 0 ] || fail "the first set failed: $(cat "$work/out")"
# Changed since the first set, the file must be read: it is not linked from there.
echo "new messages" >>"$work/icq/NewDB/11111111.dat"
hold "$holder" "$dos\\icq\\NewDB\\11111111.dat"
# The second set must not take the first one's name (its minute). It runs on a Russian Windows
# (ANSI code page 1251): the message in Russian, the reason as the words the system gave.
mv "$work/sets/$(ls "$work/sets")" "$work/sets/2001-01-01 0000"
mkdir "$work/locale"
localedef -i ru_RU -f UTF-8 "$work/locale/ru_RU.UTF-8" >/dev/null 2>&1 || true
LOCPATH="$work/locale" LC_ALL=ru_RU.UTF-8 backup "$dos\\sets" --dated --keep 1
release
[ $status != 0 ] || fail "a backup that could not read a file answered success"
grep -q "Не удаётся прочитать .*11111111.dat: Конфликт совместного доступа" "$work/out" ||
    fail "the file or the reason was not told: $(cat "$work/out")"
[ -d "$work/sets/2001-01-01 0000" ] || fail "--keep removed the older set"
end $before

# ---- A backup folder whose name ends in a blank: refused with its name before anything is made.
case="trailing blank"
before=$failed
backup "$dos\\BackupB " --overwrite
[ $status != 0 ] || fail "a name ending in a blank answered success"
grep -q 'the name "BackupB " ends in a blank' "$work/out" || fail "the name was not given: $(cat "$work/out")"
[ -z "$(find "$work" -path "$work/BackupB*")" ] || fail "a folder was made: $(find "$work" -path "$work/BackupB*")"
end $before

# ---- A name outside the ANSI code page: backed up and restored byte for byte.
case="non-ANSI name"
before=$failed
echo "Жизнь" >"$work/icq/NewDB/Ω.dat"
backup "$dos\\Sicherung Ω" --mkpath
[ $status = 0 ] || fail "the backup failed: $(cat "$work/out")"
diff -r "$work/icq/NewDB" "$work/Sicherung Ω/NewDB" >/dev/null ||
    fail "the backup differs: $(ls "$work" "$work/Sicherung Ω/NewDB" 2>&1)"
# Redirected, the summary is UTF-8, whatever the ANSI code page.
grep -q "Sicherung Ω" "$work/out" || fail "the name was not printed as UTF-8: $(cat "$work/out")"
echo "damaged" >"$work/icq/NewDB/Ω.dat"
status=0
timeout 120 "$(dirname "$0")/../../scripts/test-windows.sh" --run "$cli" restore \
    --icq "$dos\\icq" --from "$dos\\Sicherung Ω" --component NewDB --overwrite \
    </dev/null >"$work/out" 2>&1 || status=$?
[ $status = 0 ] || fail "the restore failed: $(cat "$work/out")"
[ "$(cat "$work/icq/NewDB/Ω.dat")" = "Жизнь" ] || fail "the restore did not put the file back"
end $before

# ---- A hidden UIN file with its window open: ICQ runs, and the UIN is still listed.
case="hidden UIN file"
before=$failed
run attrib +h "$dos\\icq\\UIN\\11111111.uin" >/dev/null 2>&1
hold "$holder" --window 11111111
backup "$dos\\running" --mkpath
[ $status = 3 ] || fail "a backup with the window open: exit $status, not 3: $(cat "$work/out")"
release
timeout 120 "$(dirname "$0")/../../scripts/test-windows.sh" --run "$cli" list --icq "$dos\\icq" \
    </dev/null >"$work/out" 2>&1 || true
tr -d '\r' <"$work/out" | grep -qx "  11111111" || fail "the hidden UIN was not listed: $(cat "$work/out")"
end $before

# ---- An icq.exe of another installation runs: the backup goes on. This folder's stops it.
case="another installation's icq.exe"
before=$failed
mkdir "$work/other"
cp "$holder" "$work/other/icq.exe"
hold "$work/other/icq.exe" --window other
backup "$dos\\running" --overwrite
[ $status = 0 ] || fail "another installation's icq.exe stopped the backup: $(cat "$work/out")"
release
mv "$work/icq/icq.exe" "$work/icq.exe"
cp "$holder" "$work/icq/icq.exe"
hold "$work/icq/icq.exe" --window other
backup "$dos\\running" --overwrite
[ $status = 3 ] || fail "this ICQ's icq.exe: exit $status, not 3: $(cat "$work/out")"
release
mv "$work/icq.exe" "$work/icq/icq.exe"
end $before

# ---- No terminal and no --overwrite: exit 1, nothing replaced, and no window waits for an
# answer (the run ends).
case="no terminal"
before=$failed
backup "$dos\\plain" --mkpath
echo "changed since" >"$work/icq/NewDB/22222222.dat"
cp "$work/plain/NewDB/22222222.dat" "$work/kept"
backup "$dos\\plain"
[ $status = 1 ] || fail "exit $status instead of 1: $(cat "$work/out")"
cmp -s "$work/kept" "$work/plain/NewDB/22222222.dat" || fail "a file was replaced"
end $before

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# zeb2000-cli on a sample Wine prefix: every command, every exit code, a dated backup with
# --keep, a restore from --latest that gives back the original bytes, the replace question with
# and without a terminal, a repeat backup, and the refusal while a process runs icq.exe.
set -euo pipefail
cli=$1
make_sample=$2
work=$(mktemp -d)
icq_pid=""
trap '[ -z "$icq_pid" ] || kill $icq_pid 2>/dev/null; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix"
"$make_sample" "$WINEPREFIX" >/dev/null
unset DISPLAY
icq="$WINEPREFIX/drive_c/Program Files/ICQ"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}
# Runs the tool; its exit code in $status, its output in $work/out.
run() {
    status=0
    "$cli" "$@" >"$work/out" 2>&1 </dev/null || status=$?
}
expect() { # <exit code> <what>
    [ "$status" = "$1" ] || fail "$2: exit $status, not $1: $(cat "$work/out")"
}

# The core the tool is built on needs no Qt Gui or Widgets.
# The listing is captured first: under pipefail, grep -q leaving early would fail readelf.
needed=$(readelf -d "$cli")
if grep -qE 'NEEDED.*Qt6(Gui|Widgets)' <<<"$needed"; then
    fail "zeb2000-cli links Qt Gui or Widgets"
fi

run find
expect 0 "find"
[ "$(cat "$work/out")" = "$icq/" ] || fail "find printed $(cat "$work/out")"
run list
expect 0 "list"
grep -q "ICQ 2000b .*\[2000b\]" "$work/out" && grep -q "^  22222222$" "$work/out" ||
    fail "list: $(cat "$work/out")"

# A plain backup, then dated ones of which --keep 2 leaves the newest two.
# (A display that cannot be reached holds no ICQ window.)
DISPLAY=:4095 run backup --to "$work/plain" --component 2000b --component cl
expect 0 "backup"
[ "$(ls "$work/plain")" = "$(printf '2000b\nCL')" ] || fail "backup copied $(ls "$work/plain")"
diff -r "$icq/2000b" "$work/plain/2000b" >/dev/null || fail "the backup differs"
# A repeat backup asks only about what changed (without a terminal: keeps it, and says so);
# what it finds unchanged stays as it was, unless --full copies every file all the same.
echo changed >>"$icq/CL/11111111.cl"
unchanged=$(stat -c %i "$work/plain/CL/22222222.cl")
run backup --to "$work/plain" --component cl
expect 1 "repeat backup of a changed file without a terminal"
grep -q "kept, not replaced: .*11111111.cl" "$work/out" && ! grep -q 22222222 "$work/out" ||
    fail "repeat backup: $(cat "$work/out")"
[ "$(stat -c %i "$work/plain/CL/22222222.cl")" = "$unchanged" ] || fail "an unchanged file was copied"
run backup --to "$work/plain" --component cl --full --overwrite
expect 0 "full backup"
cmp -s "$icq/CL/11111111.cl" "$work/plain/CL/11111111.cl" &&
    [ "$(stat -c %i "$work/plain/CL/22222222.cl")" != "$unchanged" ] || fail "--full copied not all"
# Only folders holding a set's record count: a folder named like a set, a link to one and a
# name near one stay, with what they hold; sets made in the same minute get names of their own.
mkdir -p "$work/sets/2001-01-01 0000" "$work/sets/not a set" "$work/sets/2000-1-1 0000"
touch "$work/sets/not a set/notes"
ln -s "$work/sets/not a set" "$work/sets/1999-01-01 0000"
for _ in 1 2; do
    run backup --to "$work/sets" --dated --quiet
    expect 0 "dated backup"
done
run backup --to "$work/sets" --dated --keep 2 --quiet
expect 0 "dated backup with --keep 2"
[ ! -s "$work/out" ] || fail "--quiet printed: $(cat "$work/out")"
sets=$(ls "$work/sets")
new_sets=$(echo "$sets" | grep -cE '^20[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{4}(-[0-9]+)?$' || true)
[ "$(echo "$sets" | wc -l)" = 6 ] && [ "$new_sets" = 3 ] && grep -q "^2001-01-01 0000$" <<<"$sets" &&
    [ -e "$work/sets/1999-01-01 0000/notes" ] && [ -d "$work/sets/2000-1-1 0000" ] ||
    fail "--keep 2 left: $sets"

# A restore from the newest set puts back what ICQ lost or damaged.
cp "$icq/NewDB/11111111.dat" "$work/original"
echo damaged >"$icq/NewDB/11111111.dat"
rm "$icq/Db99b/22222222.idx"
run restore --from "$work/sets" --latest
expect 1 "restore without a terminal"
grep -q "kept, not replaced: .*11111111.dat" "$work/out" || fail "no list of kept files"
[ -f "$icq/Db99b/22222222.idx" ] || fail "the missing file was not restored"
status=0
printf 'a\n' | script -qec "'$cli' restore --from '$work/sets' --latest" /dev/null \
    >"$work/out" 2>&1 || status=$?
expect 0 "restore answered 'all' on a terminal"
grep -q "Replace .*11111111.dat?" "$work/out" || fail "no question asked: $(cat "$work/out")"
cmp -s "$work/original" "$icq/NewDB/11111111.dat" || fail "the restore did not give back the bytes"

# Undo puts back what the newest restore replaced, then the restore before; then nothing is left.
run undo
expect 0 "undo"
[ "$(cat "$icq/NewDB/11111111.dat")" = damaged ] || fail "undo did not put the replaced file back"
run undo
expect 0 "second undo"
[ ! -e "$icq/Db99b/22222222.idx" ] || fail "undo did not take away what the restore added"
[ ! -e "$icq/ZEB Undo" ] || fail "the undo sets stayed"
run undo
expect 1 "undo with nothing to undo"

# SIGINT and SIGTERM stop a copy cleanly: nothing half written stays, and it says what it did.
truncate -s 1G "$icq/NewDB/huge.db"
for signal in INT TERM; do
    rm -rf "$work/stopped"
    "$cli" backup --to "$work/stopped" --component NewDB >"$work/out" 2>&1 </dev/null &
    pid=$!
    for _ in $(seq 2000); do
        [ -n "$(find "$work/stopped" -name '.~zeb*' 2>/dev/null)" ] && break
        sleep 0.005
    done
    kill -$signal $pid
    status=0
    wait $pid || status=$?
    expect $([ $signal = INT ] && echo 130 || echo 143) "backup stopped by SIG$signal"
    grep -q "stopped by SIG$signal: [0-9]* files copied" "$work/out" || fail "no word of the stop"
    [ -z "$(find "$work/stopped" -name '.~zeb*')" ] || fail "a temporary file stayed"
    [ ! -e "$work/stopped/NewDB/huge.db" ] || fail "a cut-off file stayed"
done
rm "$icq/NewDB/huge.db"

# The other exit codes.
run backup
expect 2 "backup without --to"
run backup --to "$work/x" --component "No such thing"
expect 2 "an unknown component"
run list --icq "$work/nowhere"
expect 4 "a folder without ICQ"
mv "$WINEPREFIX/user.reg" "$work/user.reg"
run find
expect 4 "find without a registry"
grep -q "Error opening key." "$work/out" || fail "find did not tell the registry's message"
mv "$work/user.reg" "$WINEPREFIX/user.reg"
mkdir "$work/bin"
cp "$(command -v sleep)" "$work/bin/ICQ.exe"
"$work/bin/ICQ.exe" 60 &
icq_pid=$!
run backup --to "$work/running"
expect 3 "backup while ICQ runs"
[ ! -e "$work/running" ] || fail "something was copied while ICQ runs"
run backup --to "$work/running" --force --overwrite
expect 0 "backup with --force"

echo "$failed failed"
[ "$failed" = 0 ]

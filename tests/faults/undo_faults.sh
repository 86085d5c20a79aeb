#!/usr/bin/env bash
# Restore and undo under faults at every step, each case in processes of its own: a shim of our
# own (fault_shim.c, preloaded) ends zeb2000-cli at the N-th call that changes the ICQ folder, or
# fails it with EIO, ENOSPC or EPERM, for every N until a run goes through. After each, the ICQ
# folder must come back exactly as before the restore (by undo, rerun where it stopped), no data
# written after the restore may be lost, and exit code and message must tell the truth. Also:
# names with newlines and invalid UTF-8, a full disk and another file system for the kept files,
# and time-zone steps between dated backups and between restores. Needs root for the mounts.
set -euo pipefail
shim=$1
cli=$2
make_sample=$3
. "$(dirname "$0")/cases.sh"
need_root mounts
# In a process namespace of its own, where no other program's icq.exe is seen running.
if [ -z "${ZEB_UNDO_FAULTS_ALONE:-}" ]; then
    ZEB_UNDO_FAULTS_ALONE=1 exec unshare --pid --fork --mount-proc "$0" "$@"
fi

make_work zeb-undo-faults
# Everything on a tmpfs: the many syncs of the cases cost nothing there.
small_disk "$work" 512m
# A sanitized build takes the shim after its own runtime.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0"
unset DISPLAY
# Its cases share one sample: begin empties no folder.
begin() { case=$1 before_failed=$failed; }
end() { [ "$failed" -gt "$before_failed" ] || passed=$((passed + 1)); }

export WINEPREFIX="$work/prefix"
"$make_sample" "$WINEPREFIX" >/dev/null
icq="$WINEPREFIX/drive_c/Program Files/ICQ"
run() { # <command and arguments>; exit code in $status, output in $work/out
    status=0
    "$cli" "$@" >"$work/out" 2>&1 </dev/null || status=$?
}
# The same under the shim: <call kind> <N> <what to do> <command...>; $hit says what was hit.
faulty() {
    rm -f "$work/hit"
    status=0
    # (The shell's word of the killed process goes nowhere.)
    {
        ZEB_FAULT_CALL=$1 ZEB_FAULT_AT=$2 ZEB_FAULT_DO=$3 ZEB_FAULT_UNDER="${fault_under:-$icq}" \
            ZEB_FAULT_LOG="$work/hit" LD_PRELOAD="$shim" "$cli" "${@:4}" >"$work/out" 2>&1 \
            </dev/null || status=$?
    } 2>/dev/null
    hit=$(cat "$work/hit" 2>/dev/null || true)
}
# Every name, kind, size, time and content below the folder; the undo folder left out when asked.
snapshot() { # <folder> [--without-undo]
    (
        cd "$1"
        prune=()
        [ "${2:-}" != --without-undo ] || prune=(-path "./ZEB Undo" -prune -o)
        find . "${prune[@]}" -type d -printf 'd %p\0' -o -type f -printf 'f %p %s %T@ %m\0' |
            LC_ALL=C sort -z | tr '\0' '\n'
        find . "${prune[@]}" -type f -print0 | LC_ALL=C sort -z | xargs -0 -r md5sum
    )
}

# The backup: two components, then names a line-by-line list would split or could not hold,
# and a new folder. The ICQ folder before the restore: one file damaged, one lost.
run backup --to "$work/backup" --component NewDB --component Db99b --quiet
[ "$status" = 0 ] || { echo "the backup failed: $(cat "$work/out")"; exit 1; }
printf 'line one\n' >"$work/backup/NewDB/"$'new\nicq.exe'
printf 'bytes\n' >"$work/backup/NewDB/"$'\xff\xfe name.dat'
mkdir -p "$work/backup/Db99b/Sub dir"
printf 'deep\n' >"$work/backup/Db99b/Sub dir/"$'%41 \n.dat'
echo damaged >"$icq/NewDB/11111111.dat"
rm "$icq/Db99b/22222222.idx"
cp -a "$icq" "$work/pristine"
snapshot "$icq" >"$work/before"
restore=(restore --from "$work/backup" --icq "$icq" --component NewDB --component Db99b
    --overwrite --quiet)
undo=(undo --icq "$icq")
fresh() {
    rm -rf "$icq"
    cp -a "$work/pristine" "$icq"
}
run "${restore[@]}"
[ "$status" = 0 ] || { echo "the restore failed: $(cat "$work/out")"; exit 1; }
snapshot "$icq" --without-undo >"$work/after"
cmp -s "$work/before" "$work/after" && { echo "the restore changed nothing"; exit 1; }
is_before() { snapshot "$icq" | cmp -s - "$work/before"; }
is_after() { snapshot "$icq" --without-undo | cmp -s - "$work/after"; }
# The undo that follows a fault: it finishes, and the ICQ folder is as before the restore.
undo_to_before() { # <what went before>
    run "${undo[@]}"
    if [ "$status" = 1 ] && grep -q "there is no restore to undo" "$work/out"; then
        is_before || fail "$1: nothing to undo, yet the ICQ folder is not as before"
        return
    fi
    [ "$status" = 0 ] || fail "$1: the undo after it: exit $status: $(cat "$work/out")"
    is_before || fail "$1: after the undo the ICQ folder is not as before: $(cat "$work/out")"
}

# ---- Killed at every step of a restore, then undone; failing calls at every step of it.
for fault in kill EIO ENOSPC; do
    begin "restore, $fault at every call"
    for n in $(seq 1 2000); do
        fresh
        faulty any "$n" "$fault" "${restore[@]}"
        if [ -z "$hit" ]; then
            [ "$status" = 0 ] && is_after || fail "the run without a fault: exit $status"
            break
        fi
        case $fault in
        kill) [ "$status" = 137 ] || fail "call $n ($hit): exit $status, not killed" ;;
        *)
            # A failing call may be one with a fallback; success must then be whole.
            if [ "$status" = 0 ]; then
                is_after || fail "call $n ($hit) failed, the restore said success"
            else
                [ "$status" = 1 ] && grep -q . "$work/out" ||
                    fail "call $n ($hit): exit $status: $(cat "$work/out")"
            fi
            ;;
        esac
        [ -e "$icq/icq.exe" ] || fail "call $n ($hit): icq.exe is gone"
        undo_to_before "$fault at call $n ($hit) of the restore"
    done
    echo "$case: $((n - 1)) calls"
    end
done

# ---- Killed at every step of an undo, then undone again; failing calls at every step of it,
# removals refused (EPERM) among them: the undo says so, keeps its set and finishes when rerun.
for fault in kill EIO EPERM ENOSPC; do
    begin "undo, $fault at every call"
    for n in $(seq 1 2000); do
        fresh
        run "${restore[@]}"
        faulty any "$n" "$fault" "${undo[@]}"
        if [ -z "$hit" ]; then
            [ "$status" = 0 ] && is_before || fail "the undo without a fault: exit $status"
            break
        fi
        case $fault in
        kill) [ "$status" = 137 ] || fail "call $n ($hit): exit $status, not killed" ;;
        *)
            if [ "$status" = 0 ]; then
                is_before || fail "call $n ($hit) failed, the undo said success"
            else
                [ "$status" = 1 ] && grep -q "undo stopped\|not undone\|no restore" "$work/out" ||
                    fail "call $n ($hit): exit $status: $(cat "$work/out")"
            fi
            ;;
        esac
        [ -e "$icq/icq.exe" ] || fail "call $n ($hit): icq.exe is gone"
        # No stump under a real name: each file is the restore's or the original.
        undo_to_before "$fault at call $n ($hit) of the undo"
    done
    echo "$case: $((n - 1)) calls"
    end
done

# ---- Killed at every step of the undo of the second of two restores: run again, it finishes
# that undo and leaves the first restore and its set alone.
begin "undo of a second restore, killed at every call"
for n in $(seq 1 2000); do
    fresh
    run "${restore[@]}"
    echo "backed up later" >"$work/backup/NewDB/later.dat"
    run "${restore[@]}"
    rm "$work/backup/NewDB/later.dat"
    faulty any "$n" kill "${undo[@]}"
    [ -z "$hit" ] || run "${undo[@]}"
    [ "$status" = 0 ] && is_after || fail "killed at call $n ($hit), then rerun: exit $status"
    [ "$(find "$icq/ZEB Undo" -name 'ZEB record' | wc -l)" = 1 ] ||
        fail "killed at call $n ($hit): the first restore's set is gone"
    [ -n "$hit" ] || break
done
echo "$case: $((n - 1)) calls"
end

# ---- Data written after the restore: undo refuses and names it, --force too (which is only
# about ICQ running); --keep-newer keeps it in the set.
begin "files changed after the restore"
fresh
run "${restore[@]}"
echo "a message written after the restore" >>"$icq/NewDB/11111111.dat"
echo "an index written after the restore" >>"$icq/Db99b/22222222.idx"
snapshot "$icq" >"$work/changed"
run "${undo[@]}"
[ "$status" = 1 ] || fail "exit $status"
grep -q "changed since the restore: .*NewDB/11111111.dat" "$work/out" &&
    grep -q "changed since the restore: .*Db99b/22222222.idx" "$work/out" ||
    fail "the changed files are not named: $(cat "$work/out")"
snapshot "$icq" | cmp -s - "$work/changed" || fail "the refused undo changed the ICQ folder"
run "${undo[@]}" --force
[ "$status" = 1 ] && snapshot "$icq" | cmp -s - "$work/changed" || fail "--force put back"
run "${undo[@]}" --keep-newer
[ "$status" = 0 ] || fail "--keep-newer: exit $status: $(cat "$work/out")"
newer=$(find "$icq/ZEB Undo" -path '*/newer/NewDB/11111111.dat')
grep -q "a message written after the restore" "$newer" 2>/dev/null &&
    grep -q "an index written" "$(dirname "$newer")/../Db99b/22222222.idx" ||
    fail "the newer files were not kept in the set"
rm -rf "$icq/ZEB Undo"
is_before || fail "the forced undo did not give back the ICQ folder"
run "${undo[@]}"
[ "$status" = 1 ] || fail "a set kept for its newer files was offered again"
end

# ---- A record that leads out of the ICQ folder is refused as a whole, nothing removed.
begin "unsafe records"
for line in "add ../outside" "add /etc/outside" "add Db99b/../../outside" "add ZEB%20Undo/x" \
    "add a%00b" "folder .." "add %2E%2E/outside"; do
    fresh
    run "${restore[@]}"
    echo "kept" >"$work/outside"
    record=$(find "$icq/ZEB Undo" -name 'ZEB record')
    sed -i "3i $line source=1,1" "$record"
    run "${undo[@]}"
    [ "$status" = 1 ] && grep -q "not a safe entry" "$work/out" || fail "$line: exit $status"
    [ -e "$work/outside" ] && is_after || fail "$line: something was changed"
done
end

# ---- Kept files on a full disk, from a data folder on another file system: the copies kept
# take room, so the restore is refused before it changes anything; then across file systems, an
# undo killed at every step puts back through a temporary file, never a stump.
begin "kept files across file systems"
small_disk "$work/small" 3m
small_disk "$work/other" 64m
mkdir -p "$work/small/ICQ" "$work/other/NewDB"
cp "$icq/icq.exe" "$work/small/ICQ/"
ln -s "$work/other/NewDB" "$work/small/ICQ/NewDB"
head -c $((4 << 20)) /dev/urandom >"$work/other/NewDB/big.db"
mkdir -p "$work/bigbackup/NewDB"
head -c $((4 << 20)) /dev/urandom >"$work/bigbackup/NewDB/big.db"
cp "$work/other/NewDB/big.db" "$work/big.orig"
run restore --from "$work/bigbackup" --icq "$work/small/ICQ" --component NewDB --overwrite --quiet
[ "$status" = 1 ] && grep -q "The restore needs .* free on $work/small/ICQ/" "$work/out" ||
    fail "full disk: exit $status: $(cat "$work/out")"
cmp -s "$work/big.orig" "$work/other/NewDB/big.db" || fail "the ICQ file was replaced"
run undo --icq "$work/small/ICQ"
cmp -s "$work/big.orig" "$work/other/NewDB/big.db" || fail "the undo changed the ICQ file"
[ -z "$(find "$work/small/ICQ/" -name '.~zeb*')" ] || fail "a temporary file stayed"
rm -rf "$work/small/ICQ"
mount -o remount,size=64m "$work/small"
mkdir -p "$work/small/ICQ"
cp "$icq/icq.exe" "$work/small/ICQ/"
ln -s "$work/other/NewDB" "$work/small/ICQ/NewDB"
icq_saved=$icq
icq="$work/small/ICQ"
for n in $(seq 1 200); do
    cp "$work/big.orig" "$work/other/NewDB/big.db"
    run restore --from "$work/bigbackup" --icq "$icq" --component NewDB --overwrite --quiet
    [ "$status" = 0 ] || fail "restore across file systems: $(cat "$work/out")"
    # The data folder is reached through the link: every call below the work folder counts.
    fault_under=$work faulty any "$n" kill undo --icq "$icq"
    [ -n "$hit" ] || break
    for f in "$work/other/NewDB/big.db"; do
        cmp -s "$f" "$work/big.orig" || cmp -s "$f" "$work/bigbackup/NewDB/big.db" ||
            fail "call $n ($hit): a stump under the real name"
    done
    run undo --icq "$icq"
    [ "$status" = 0 ] || grep -q "there is no restore to undo" "$work/out" ||
        fail "call $n ($hit): the rerun: $(cat "$work/out")"
    cmp -s "$work/big.orig" "$work/other/NewDB/big.db" && [ ! -e "$icq/ZEB Undo" ] ||
        fail "call $n ($hit): the rerun did not put back: $(cat "$work/out")"
done
icq=$icq_saved
end

# ---- A time-zone step: the set just made survives its own --keep, --latest takes the newest;
# a half-made set is never taken, and list shows it.
begin "time-zone step between dated backups"
TZ=XST-14 run backup --to "$work/dated" --component NewDB --dated --quiet
first=$(ls "$work/dated")
echo "newer data" >"$icq/NewDB/11111111.dat"
TZ=YST+11 run backup --to "$work/dated" --component NewDB --dated --keep 1
[ "$status" = 0 ] && grep -q "Removed the old set $work/dated/$first" "$work/out" ||
    fail "--keep 1 after the step: $(cat "$work/out")"
[ "$(ls "$work/dated" | wc -l)" = 1 ] && [ "$(ls "$work/dated")" != "$first" ] &&
    cmp -s "$icq/NewDB/11111111.dat" "$work/dated/$(ls "$work/dated")/NewDB/11111111.dat" ||
    fail "the set kept is not the one just made: $(ls "$work/dated")"
complete=$(ls "$work/dated")
# Killed while writing its data: incomplete.
faulty_backup() {
    status=0
    # The third rename: after the set's record and its name, the copy's first.
    ZEB_FAULT_CALL=rename ZEB_FAULT_AT=3 ZEB_FAULT_DO=kill ZEB_FAULT_UNDER="$work/dated" \
        LD_PRELOAD="$shim" TZ=XST-14 "$cli" backup --to "$work/dated" --component NewDB \
        --component Db99b --dated --keep 1 >"$work/out" 2>&1 </dev/null || status=$?
}
faulty_backup
[ "$status" = 137 ] || fail "the backup was not killed: $status"
run restore --from "$work/dated" --latest --icq "$icq" --overwrite
[ "$status" = 0 ] && grep -q "Restoring from the set $work/dated/$complete/" "$work/out" ||
    fail "--latest did not take the complete set: $(cat "$work/out")"
run list --from "$work/dated"
grep -q ", incomplete$" "$work/out" && grep -q "^  $complete  made .*, number 2$" "$work/out" ||
    fail "list shows no incomplete set: $(cat "$work/out")"
TZ=YST+11 run backup --to "$work/dated" --component NewDB --dated --keep 1 --quiet
[ "$status" = 0 ] && [ "$(ls "$work/dated" | wc -l)" = 1 ] ||
    fail "--keep left the incomplete set: $(ls "$work/dated")"
end

# ---- A dated backup refused for lack of room leaves no set behind.
begin "no room for a dated set"
small_disk "$work/tiny" 1m
head -c $((2 << 20)) /dev/urandom >"$icq/NewDB/big.db"
run backup --to "$work/tiny/sets" --component NewDB --dated --keep 1
rm "$icq/NewDB/big.db"
[ "$status" = 1 ] && grep -q "The backup needs" "$work/out" || fail "exit $status: $(cat "$work/out")"
[ -z "$(find "$work/tiny/sets" -mindepth 1 -type d)" ] || fail "a set stayed: $(ls "$work/tiny/sets")"
end

# ---- Two runs at once: one held at its copy's first rename, another into the same folder or
# from the same ICQ folder waits, then refuses naming it and changes nothing; the first ends whole.
begin "two runs at once"
ZEB_FAULT_CALL=rename ZEB_FAULT_AT=3 ZEB_FAULT_DO=stop ZEB_FAULT_UNDER="$work/two" \
    LD_PRELOAD="$shim" "$cli" backup --to "$work/two" --component NewDB --dated --keep 1 \
    >"$work/first" 2>&1 </dev/null &
first=$!
until [ "$(cut -d' ' -f3 "/proc/$first/stat" 2>/dev/null)" = T ]; do
    kill -0 "$first" 2>/dev/null || { fail "never held: $(cat "$work/first")"; break; }
    sleep 0.01
done
held=$(ls "$work/two")
for target in "$work/two" "$work/two-other"; do
    run backup --to "$target" --component NewDB --dated --keep 1
    [ "$status" = 1 ] && grep -q "Another run (process $first) is using" "$work/out" ||
        fail "a second run into $target: exit $status: $(cat "$work/out")"
done
[ "$(ls "$work/two")" = "$held" ] && [ ! -e "$work/two-other" ] || fail "the second run changed"
kill -CONT "$first"
ended=0
wait "$first" || ended=$?
run list --from "$work/two"
[ "$ended" = 0 ] && ! grep -q ", incomplete" "$work/out" && [ "$(ls "$work/two")" = "$held" ] ||
    fail "the first run: exit $ended: $(cat "$work/first" "$work/out")"
end

begin "time-zone step between restores"
fresh
mkdir -p "$work/backup2/NewDB"
echo "second backup" >"$work/backup2/NewDB/11111111.dat"
TZ=XST-14 run "${restore[@]}"
snapshot "$icq" --without-undo >"$work/first"
TZ=YST+11 run restore --from "$work/backup2" --icq "$icq" --component NewDB --overwrite --quiet
TZ=XST-14 run "${undo[@]}"
[ "$status" = 0 ] && snapshot "$icq" --without-undo | cmp -s - "$work/first" ||
    fail "the undo did not take back the newest restore: $(cat "$work/out")"
run "${undo[@]}"
[ "$status" = 0 ] && is_before || fail "the second undo: $(cat "$work/out")"
end

# ---- A disk full at the manifest, after every file was copied: not a success; the manifest
# named, none left behind, and the dated set stays incomplete.
begin "full disk at the manifest"
fault_under="$work/full/" faulty write 2 ENOSPC backup --to "$work/full" --component NewDB --dated
set=$(ls "$work/full")
[ "$status" = 1 ] && grep -q "ZEB Manifest.txt" <<<"$hit" &&
    grep -q "The manifest .* could not be written: No space left on device" "$work/out" &&
    [ ! -e "$work/full/$set/ZEB Manifest.txt" ] || fail "exit $status, hit $hit: $(cat "$work/out")"
run list --from "$work/full"
grep -q "$set .*, incomplete" "$work/out" || fail "the set is not incomplete: $(cat "$work/out")"
end

# ---- A target that takes no splice (the first refused): the large file's bytes pass through
# the program instead, and the backup checks whole.
begin "no splice"
head -c $((3 << 20)) /dev/urandom >"$icq/NewDB/big.db"
fault_under="$work/plain/" faulty write 1 EINVAL backup --to "$work/plain" --component NewDB
backed=$status
run check --from "$work/plain"
rm "$icq/NewDB/big.db"
[ "$backed" = 0 ] && [ "$status" = 0 ] && grep -q "big.db" <<<"$hit" ||
    fail "exit $backed, hit $hit: $(cat "$work/out")"
end

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# Fault injection into real copies of the Linux copier, each case in processes of its own:
# SIGKILL in the middle of a new and of a replaced file, a full disk, a file-size limit, a FAT
# file system, unreadable files and a read-only folder as an ordinary user, the order of syncs
# and renames seen by strace, verify reading a loop device back, and check on a damaged backup.
# Needs root for the mounts and the other user.
set -euo pipefail
driver=$1
cli=$2
make_sample=$3
. "$(dirname "$0")/cases.sh"
need_root "mounts, another user"

make_work zeb-faults
chmod 755 "$work" # the ordinary user of the last cases must reach it
copy() { "$driver" "$@" >"$work/out" 2>&1; }

# ---- SIGKILL while writing a large file: the real name holds the old bytes or none, and the
# next copy leaves no temporary file behind.
for kind in new replaced; do
    begin "kill while writing a $kind file"
    before=$failed
    head -c $((512 << 20)) /dev/urandom >"$work/src/big.db"
    [ "$kind" = new ] || echo "the good old database" >"$work/dst/big.db"
    "$driver" "$work/src" "$work/dst" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 2000); do
        [ -n "$(find "$work/dst" -name '.~zeb*' -size +1k)" ] && break
        sleep 0.005
    done
    kill -KILL $pid 2>/dev/null || fail "the copy ended before it could be killed"
    wait $pid 2>/dev/null || true
    if [ "$kind" = new ]; then
        [ ! -e "$work/dst/big.db" ] || fail "a cut-off file stands under the real name"
    else
        [ "$(cat "$work/dst/big.db")" = "the good old database" ] || fail "the old file was cut"
    fi
    [ "$(temporaries "$work/dst")" = 1 ] || fail "expected the dead copy's temporary file"
    copy "$work/src" "$work/dst" || fail "the next copy failed: $(cat "$work/out")"
    cmp -s "$work/src/big.db" "$work/dst/big.db" || fail "the next copy is not the source"
    [ "$(temporaries "$work/dst")" = 0 ] || fail "a temporary file stayed"
    end $before
done

# ---- SIGKILL after the data, before the renames (the seam): nothing under the real names, a
# new folder's included.
begin "kill before the renames"
before=$failed
for f in a b c sub/d; do mkdir -p "$work/src/sub" && echo "new $f" >"$work/src/$f.dat"; done
echo "the old b" >"$work/dst/b.dat"
"$driver" "$work/src" "$work/dst" --die-after 4 >/dev/null 2>&1 && fail "the driver was not killed"
[ "$(ls "$work/dst")" = "b.dat" ] && [ "$(cat "$work/dst/b.dat")" = "the old b" ] ||
    fail "the real names changed before the renames: $(ls "$work/dst")"
copy "$work/src" "$work/dst" && diff -r "$work/src" "$work/dst" >/dev/null ||
    fail "the next copy did not finish the job"
end $before

# ---- A full disk: what fits is copied, the rest is reported with the target as the side; what
# the failed file left on its way does not reach the next.
begin "full disk"
before=$failed
small_disk "$work/small" 2m
head -c $((512 << 10)) /dev/urandom >"$work/src/a.dat"
head -c $((3 << 20)) /dev/urandom >"$work/src/b.dat"
head -c $((200 << 10)) /dev/urandom >"$work/src/c.dat"
copy "$work/src" "$work/small/dst" && fail "a copy onto a full disk answered success"
grep -q "^failure target $work/small/dst/b.dat: No space left on device" "$work/out" ||
    fail "no report of the full disk: $(cat "$work/out")"
cmp -s "$work/src/a.dat" "$work/small/dst/a.dat" && cmp -s "$work/src/c.dat" "$work/small/dst/c.dat" ||
    fail "the files that fit were not copied"
[ ! -e "$work/small/dst/b.dat" ] && [ "$(temporaries "$work/small")" = 0 ] ||
    fail "a stump or a temporary file stayed"
end $before

# ---- A file-size limit: reported as a failed write, not a silent end of the program. A write
# that fails gives its block back to the checksum queue: with more files than the queue has
# blocks, each is reported and the copy ends, rather than waiting for ever for a free block.
begin "file-size limit"
before=$failed
head -c $((5 << 20)) /dev/urandom >"$work/src/big.db"
for n in $(seq 20); do head -c 5000 /dev/zero >"$work/src/f$n.dat"; done
status=0
(ulimit -f 4 && exec timeout 60 "$driver" "$work/src" "$work/dst") >"$work/out" 2>&1 || status=$?
[ $status = 1 ] || fail "exit $status instead of 1"
grep -q "^failure target $work/dst/big.db: File too large" "$work/out" &&
    [ "$(grep -c "^failure target .*: File too large$" "$work/out")" = 21 ] ||
    fail "not every write reported: $(cat "$work/out")"
[ -z "$(ls -A "$work/dst")" ] || fail "something stayed: $(ls -A "$work/dst")"
end $before

# ---- FAT (a USB stick): no modes, so the data is kept and the loss told once.
begin "FAT file system"
before=$failed
dd if=/dev/zero of="$work/fat.img" bs=1M count=16 status=none
mkfs.vfat "$work/fat.img" >/dev/null
mkdir -p "$work/fat"
fusefat -o rw+ "$work/fat.img" "$work/fat" >/dev/null 2>&1
mounts+=("$work/fat")
mkdir -p "$work/src/DB"
for f in 1 2 3; do head -c 20000 /dev/urandom >"$work/src/DB/$f.dat"; done
chmod 640 "$work/src/DB/1.dat"
copy "$work/src" "$work/fat/backup" || fail "the copy onto FAT failed: $(cat "$work/out")"
[ "$(grep -c "attributes lost" "$work/out")" = 1 ] || fail "the loss of modes was not told once"
diff -r "$work/src" "$work/fat/backup" >/dev/null || fail "the data on FAT differs"
# FAT keeps times to two seconds: a repeat backup still finds every file unchanged.
copy "$work/src" "$work/fat/backup" && grep -q "^copied, 0 files, 3 unchanged" "$work/out" ||
    fail "the repeat backup onto FAT copied again: $(cat "$work/out")"
# Dated sets, --keep and check on the stick; a restore from it onto the same files changes
# nothing; an ICQ folder on it is restored and undone.
fat_cli() { "$cli" "$@" >"$work/out" 2>&1 </dev/null; }
export WINEPREFIX="$work/fat-prefix"
"$make_sample" "$WINEPREFIX" >/dev/null
icq="$WINEPREFIX/drive_c/Program Files/ICQ"
for n in 1 2; do
    fat_cli backup --dated --keep 1 --to "$work/fat/sets" --quiet ||
        fail "dated backup $n onto FAT: $(cat "$work/out")"
done
[ "$(ls "$work/fat/sets" | wc -l)" = 1 ] || fail "--keep 1 left: $(ls "$work/fat/sets")"
fat_cli check --latest --from "$work/fat/sets" || fail "check on FAT: $(cat "$work/out")"
# A manifest that spells a folder otherwise than the stick (written where the copy merged into
# the stick's spelling): FAT finds the names in any case, and so does check.
sed -i 's| NewDB/| newdb/|' "$work/fat/sets/"*/"ZEB Manifest.txt"
fat_cli check --latest --from "$work/fat/sets" ||
    fail "check on FAT matched names by their case: $(cat "$work/out")"
fat_cli restore --latest --from "$work/fat/sets" --overwrite --quiet &&
    [ ! -e "$icq/ZEB Undo" ] || fail "a restore from FAT replaced the same files: $(cat "$work/out")"
fat_cli backup --to "$work/plain" --quiet
cp -r "$icq" "$work/fat/ICQ"
echo damaged >"$work/fat/ICQ/NewDB/11111111.dat.new"
mv "$work/fat/ICQ/NewDB/11111111.dat.new" "$work/fat/ICQ/NewDB/11111111.dat"
(cd "$work/fat/ICQ" && find . -type f -exec md5sum {} + | sort) >"$work/fat-before"
fat_cli restore --icq "$work/fat/ICQ" --from "$work/plain" --overwrite --quiet &&
    [ -d "$work/fat/ICQ/ZEB Undo" ] || fail "restore into FAT: $(cat "$work/out")"
fat_cli undo --icq "$work/fat/ICQ" || fail "undo on FAT: $(cat "$work/out")"
(cd "$work/fat/ICQ" && find . -type f -exec md5sum {} + | sort) | cmp -s - "$work/fat-before" ||
    fail "the undo on FAT did not give the ICQ folder back"
# Without hard links the set keeps copies: a restore that has room for the new file but not
# for the copy of the old one too is refused before it changes anything.
head -c $((4 << 20)) /dev/urandom >"$work/fat/ICQ/NewDB/big.db"
head -c $((4 << 20)) /dev/urandom >"$work/plain/NewDB/big.db"
avail=$(df -B1 --output=avail "$work/fat" | tail -1)
head -c $((avail - (6 << 20))) /dev/zero >"$work/fat/filler"
(cd "$work/fat/ICQ" && find . -type f -exec md5sum {} + | sort) >"$work/fat-before"
fat_cli restore --icq "$work/fat/ICQ" --from "$work/plain" --overwrite --quiet &&
    fail "a restore without room for the undo's copies went on"
grep -q "The restore needs" "$work/out" && [ ! -e "$work/fat/ICQ/ZEB Undo" ] ||
    fail "no refusal before the restore: $(cat "$work/out")"
(cd "$work/fat/ICQ" && find . -type f -exec md5sum {} + | sort) | cmp -s - "$work/fat-before" ||
    fail "the refused restore changed the ICQ folder"
rm "$work/fat/filler"
end $before

# ---- As an ordinary user: unreadable files are reported together, with the source as the
# side; a read-only folder copied twice does not make the second copy fail: folders get the
# default mode and keep their times, files keep their modes.
begin "unreadable files and read-only folders"
before=$failed
as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
mkdir -p "$work/src/ro"
for f in a b c; do echo "$f" >"$work/src/$f.dat"; done
echo inside >"$work/src/ro/in.dat"
chmod 000 "$work/src/a.dat" "$work/src/c.dat"
chmod 444 "$work/src/ro/in.dat"
touch -d 2001-02-03 "$work/src/ro"
chmod 555 "$work/src/ro"
chown 65534:65534 "$work/dst"
as_user "$driver" "$work/src" "$work/dst" >"$work/out" 2>&1 && fail "unreadable files reported success"
[ "$(grep -c "^failure source $work/src/[ac].dat: Permission denied" "$work/out")" = 2 ] ||
    fail "the unreadable files were not both reported: $(cat "$work/out")"
chmod 644 "$work/src/a.dat" "$work/src/c.dat"
as_user "$driver" "$work/src" "$work/dst" >"$work/out" 2>&1 ||
    fail "the second copy into the copied read-only folder failed: $(cat "$work/out")"
diff -r "$work/src" "$work/dst" >/dev/null || fail "the copies differ"
[ "$(stat -c '%a %Y' "$work/dst/ro" "$work/dst/ro/in.dat")" = \
    "$(printf '%o' $((0777 & ~0$(umask)))) $(stat -c '%Y' "$work/src/ro")
444 $(stat -c %Y "$work/src/ro/in.dat")" ] || fail "modes and times: $(stat -c '%n %a %Y' "$work/dst/ro"*)"
chmod 755 "$work/src/ro"
end $before

# ---- Too little room on the target: the command line says so before copying anything.
begin "free space"
before=$failed
small_disk "$work/tiny" 1m
export WINEPREFIX="$work/prefix"
"$make_sample" "$WINEPREFIX" >/dev/null
head -c $((3 << 20)) /dev/urandom >"$WINEPREFIX/drive_c/Program Files/ICQ/NewDB/big.db"
status=0
"$cli" backup --to "$work/tiny/backup" --component NewDB >"$work/out" 2>&1 </dev/null || status=$?
[ $status = 1 ] || fail "exit $status instead of 1"
grep -qE "The backup needs 3.0 MiB; [0-9.]+ [KM]iB are free on $work/tiny/backup/. Nothing was copied." \
    "$work/out" || fail "no word of the space: $(cat "$work/out")"
[ ! -e "$work/tiny/backup" ] || fail "something was copied"
end $before

# ---- check on a damaged backup, as an ordinary user: a file deleted, one added and one
# unreadable are each named, the exit is 1 and no line says the backup is whole.
begin "check on a damaged backup"
before=$failed
"$cli" backup --to "$work/checked" --component NewDB >"$work/out" 2>&1 </dev/null ||
    fail "the backup failed: $(cat "$work/out")"
rm "$work/checked/NewDB/11111111.idx"
echo added >"$work/checked/NewDB/added.dat"
chmod 000 "$work/checked/NewDB/22222222.dat"
status=0
as_user "$cli" check --from "$work/checked" >"$work/out" 2>&1 </dev/null || status=$?
[ $status = 1 ] && grep -q "missing: NewDB/11111111.idx" "$work/out" &&
    grep -q "extra: NewDB/added.dat" "$work/out" &&
    grep -q "unreadable: NewDB/22222222.dat" "$work/out" &&
    ! grep -q "as recorded" "$work/out" || fail "check: exit $status: $(cat "$work/out")"
end $before

# ---- Folders deeper than a path can name (PATH_MAX): every call goes one name at a time, so a
# backup of them and its check go through, with folder times kept and no temporary file left.
begin "folders deeper than a path"
before=$failed
name=$(printf 'n%.0s' $(seq 200))
down() { # <folder>: 25 folders of that name down, made where missing
    cd "$1" && for _ in $(seq 25); do { [ -d "$name" ] || mkdir "$name"; } && cd "$name" || return 1; done
}
(down "$WINEPREFIX/drive_c/Program Files/ICQ/NewDB" && echo deep >deep.dat)
"$cli" backup --to "$work/deep" --component NewDB >"$work/out" 2>&1 </dev/null &&
    ! grep -q "does not keep" "$work/out" || fail "the backup: $(cat "$work/out")"
[ "$(down "$work/deep/NewDB" && cat deep.dat)" = deep ] || fail "the deep file was not copied"
[ -z "$(find "$work/deep" -name '.~zeb*')" ] || fail "a temporary file stayed"
"$cli" check --from "$work/deep" >"$work/out" 2>&1 </dev/null || fail "check: $(cat "$work/out")"
end $before

# ---- Holes stay holes: a 256 MiB file with 4 KiB of data takes about that much room in the
# copy, which reads back as its source.
begin "sparse files"
before=$failed
truncate -s 256M "$work/src/sparse.db"
head -c 4096 /dev/urandom | dd of="$work/src/sparse.db" bs=1M seek=100 conv=notrunc status=none
copy "$work/src" "$work/dst" --verify || fail "the copy failed: $(cat "$work/out")"
# (Only where the file system keeps holes at all.)
[ "$(du -k "$work/src/sparse.db" | cut -f1)" -gt 1024 ] ||
    [ "$(du -k "$work/dst/sparse.db" | cut -f1)" -le 1024 ] || fail "the holes were filled"
cmp -s "$work/src/sparse.db" "$work/dst/sparse.db" || fail "the copy differs"
end $before

# ---- Durability: the temporary files reach the disk before the first rename, and the renames
# before the copy answers.
begin "syncs around the renames"
before=$failed
for f in a b c; do echo "$f" >"$work/src/$f.dat"; done
echo old >"$work/dst/b.dat"
# (LeakSanitizer cannot work under ptrace: a sanitized driver is traced without it.)
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    strace -f -qq -e trace=syncfs,rename,renameat,renameat2 -o "$work/trace" \
    "$driver" "$work/src" "$work/dst" >/dev/null
calls=$(grep -oE '(syncfs|rename[a-z0-9]*)\(' "$work/trace" | tr -d '(' | uniq | tr '\n' ' ')
[ "$calls" = "syncfs renameat2 renameat renameat2 syncfs " ] || fail "calls in this order: $calls"
# The records a power cut must find whole (the manifest, a dated set's, an undo's) are written
# beside and renamed into place: each such temporary file is synced before its rename.
icq="$WINEPREFIX/drive_c/Program Files/ICQ"
traced() { # <trace> <command...>
    local trace=$1
    shift
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        strace -f -qq -y -e trace=fsync,fdatasync,rename -o "$work/$trace" "$cli" "$@" \
        >"$work/out" 2>&1 </dev/null || fail "$*: $(cat "$work/out")"
}
traced records.1 backup --to "$work/records" --dated --component NewDB
echo changed >>"$icq/NewDB/11111111.dat"
traced records.2 restore --from "$work/records" --latest --overwrite --component NewDB
traced records.3 undo
unsynced=$(awk '/ f(data)?sync\(/ { match($0, /<[^>]*>/); synced[substr($0, RSTART + 1, RLENGTH - 2)] = 1 }
    / rename\(".*\/\.~zeb/ { split($0, q, "\""); renamed++; if (!(q[2] in synced)) print q[2] }
    END { if (renamed < 3) print "only " renamed " renames" }' "$work"/records.?)
[ -z "$unsynced" ] || fail "renamed into place unsynced: $unsynced"
end $before

# ---- Verify reads the disk, not the memory the copy just filled: on a loop device whose reads
# are counted, a verified copy reads what it wrote back from the device; an unverified one
# reads next to nothing there.
begin "verify reads the disk"
before=$failed
dd if=/dev/zero of="$work/disk.img" bs=1M count=64 status=none
mkfs.ext4 -q "$work/disk.img"
loop=$(losetup -f --show "$work/disk.img")
loops+=("$loop")
mkdir -p "$work/disk"
mount "$loop" "$work/disk"
mounts+=("$work/disk")
head -c $((8 << 20)) /dev/urandom >"$work/src/db.dat"
sectors_read() { awk '{ print $3 }' "/sys/block/$(basename "$loop")/stat"; }
for verify in no yes; do
    rm -rf "$work/disk/dst"
    sync
    start=$(sectors_read)
    copy "$work/src" "$work/disk/dst" $([ $verify = no ] || echo --verify) ||
        fail "the copy failed: $(cat "$work/out")"
    read=$(($(sectors_read) - start))
    if [ $verify = yes ]; then
        [ $read -ge $(((8 << 20) / 512)) ] || fail "verify read $read sectors of the device"
    else
        [ $read -lt 2048 ] || fail "an unverified copy read $read sectors"
    fi
done
cmp -s "$work/src/db.dat" "$work/disk/dst/db.dat" || fail "the copy differs"
end $before

# ---- check reads the medium, not the cache a backup leaves: a byte flipped on the device
# under a backup whose pages are all in memory is found.
begin "check reads the disk"
before=$failed
head -c $((64 << 10)) /dev/urandom >"$WINEPREFIX/drive_c/Program Files/ICQ/NewDB/rot.dat"
"$cli" backup --to "$work/disk/backup" --component NewDB >"$work/out" 2>&1 </dev/null ||
    fail "the backup failed: $(cat "$work/out")"
sync
cat "$work/disk/backup/NewDB/rot.dat" >/dev/null
# The copy's first sector on the device, flipped there past every cache.
sector=$(python3 - "$loop" "$work/disk/backup/NewDB/rot.dat" "$work/sector" <<'PY'
import sys
device, copy, out = sys.argv[1:]
with open(copy, "rb") as f:
    head = f.read(4096)
with open(device, "rb") as f:
    at = f.read().find(head)
assert at >= 0 and at % 512 == 0, at
flipped = bytearray(head[:512])
flipped[7] ^= 0xFF
open(out, "wb").write(bytes(flipped))
print(at // 512)
PY
)
dd if="$work/sector" of="$loop" bs=512 seek="$sector" count=1 oflag=direct conv=notrunc status=none
status=0
"$cli" check --from "$work/disk/backup" >"$work/out" 2>&1 </dev/null || status=$?
[ $status = 1 ] && grep -q "damaged: NewDB/rot.dat" "$work/out" ||
    fail "check answered from the cache: exit $status: $(cat "$work/out")"
end $before

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

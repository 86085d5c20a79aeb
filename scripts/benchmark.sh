#!/usr/bin/env bash
# The benchmark of what users wait for: whole `zeb2000-cli backup` and `restore` commands (a
# Release build) against `cp -a`, `rsync -a`, `rsync -a --checksum` and `rsync --link-dest` on a
# synthetic ICQ installation: 20,000 files of 1 to 64 KiB in 200 folders and 2 GiB in 4 files,
# then 100,000 and 300,000 small files for the cost per file and the memory each file adds; as
# root, the first backup on an ext4 loop device with the caches dropped; last the window, timed from
# "Do It !" to its "Info" box against `cp -a` and the command line (window_bench.sh, Xvfb). It
# prints one line per round and a table of medians of the rounds' ratios (zeb2000 / other).
# ZEB_BENCH_DIR (default /dev/shm, a tmpfs: about 7 GiB) holds the data; ZEB_BENCH_ROUNDS the
# rounds (5); ZEB_BENCH_MANY and ZEB_BENCH_MORE the files of the memory part (100000 and 300000;
# 0 leaves it out); ZEB_BENCH_DISK the loop device's image file (in /var/tmp; empty: left out).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEB_BENCH_BUILD:-$root/build-bench}
rounds=${ZEB_BENCH_ROUNDS:-5}
many=${ZEB_BENCH_MANY:-100000}
more=${ZEB_BENCH_MORE:-300000}

"$root/scripts/install-packages.sh" rsync time xvfb xauth xdotool x11-utils e2fsprogs
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target zeb_bench zeb2000-cli zeb2000 zeb_plugins >/dev/null

work=$(mktemp -d "${ZEB_BENCH_DIR:-/dev/shm}/zeb-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# No ICQ window to look for, no registry to read: the folders are named.
unset DISPLAY

bench="$build/tools/benchmark/zeb_bench"
cli="$build/src/zeb2000-cli"
"$bench" generate "$work" 20000
"$bench" run "$work" "$cli" "$rounds" 20000
rm -rf "$work/icq"
if [ "$many" -gt 0 ]; then
    "$bench" many "$work" "$cli" "$many" "$more"
fi
# On a disk: an ext4 file system of its own on a loop device whose reads and writes bypass the
# cache of the file under it (direct I/O), so that a read after the caches are dropped comes
# from the machine's disk (root only).
image=${ZEB_BENCH_DISK-/var/tmp/zeb-bench-disk.img}
if [ -n "$image" ] && [ "$(id -u)" = 0 ]; then
    disk=$(mktemp -d)
    truncate -s 3G "$image"
    device=$(losetup --find --show --direct-io=on "$image")
    trap 'umount "$disk" 2>/dev/null; losetup -d "$device"; rm -rf "$work" "$image"; rmdir "$disk"' EXIT
    mkfs.ext4 -q -F "$device"
    mount "$device" "$disk"
    "$bench" disk "$disk" "$cli" "$rounds" 20000
    umount "$disk"
    losetup -d "$device"
    rm -f "$image"
    rmdir "$disk"
    trap 'rm -rf "$work"' EXIT
fi
# The window, from Do It to "Info", on a display of its own.
ZEB_BENCH_DIR=${ZEB_BENCH_DIR:-/dev/shm} xvfb-run -a -s "-noreset" "$root/tools/benchmark/window_bench.sh" "$build/src/zeb2000"

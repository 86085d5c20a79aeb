#!/usr/bin/env bash
# The benchmark of what users wait for: whole `zeb2000-cli backup` and `restore` commands (a
# Release build) against `cp -a`, `rsync -a`, `rsync -a --checksum` and `rsync --link-dest` on a
# synthetic ICQ installation: 20,000 files of 1 to 64 KiB in 200 folders and 2 GiB in 4 files,
# then 100,000 small files for the cost per file and the memory; last the window, timed from
# "Do It !" to its "Info" box against `cp -a` (tools/benchmark/window_bench.sh, under Xvfb). It
# prints one line per round and a table of medians of the rounds' ratios (zeb2000 / other).
# ZEB_BENCH_DIR (default /dev/shm, a tmpfs: about 7 GiB) holds the data; ZEB_BENCH_ROUNDS the
# rounds (5); ZEB_BENCH_MANY the files of the last part (100000; 0 leaves it out).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEB_BENCH_BUILD:-$root/build-bench}
rounds=${ZEB_BENCH_ROUNDS:-5}
many=${ZEB_BENCH_MANY:-100000}

"$root/scripts/install-packages.sh" rsync time xvfb xauth xdotool
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
    "$bench" many "$work" "$cli" "$many"
fi
# The window, from Do It to "Info", on a display of its own.
ZEB_BENCH_DIR=${ZEB_BENCH_DIR:-/dev/shm} xvfb-run -a -s "-noreset" "$root/tools/benchmark/window_bench.sh" "$build/src/zeb2000"

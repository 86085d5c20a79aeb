#!/usr/bin/env bash
# The copy benchmark: lays out a synthetic ICQ installation (two 400 MiB databases, 20,000 files
# of 1 to 64 KiB in nested folders) and times a backup through FileCopier against `cp -a` of the
# same tree on the same file system, each into a fresh empty target. The last line it prints:
#   copier/cp ratio: large X.XX small Y.YY peak-rss-MiB Z
# Needs about 4.5 GiB free below ZEB_BENCH_DIR (default /var/tmp). ZEB_BENCH_ROUNDS sets how
# many times each copy runs (default 5); the ratios are of the median times.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEB_BENCH_BUILD:-$root/build-bench}
rounds=${ZEB_BENCH_ROUNDS:-5}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target zeb_copy_bench >/dev/null

work=$(mktemp -d "${ZEB_BENCH_DIR:-/var/tmp}/zeb-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

bench="$build/tools/benchmark/zeb_copy_bench"
"$bench" generate "$work"
"$bench" run "$work" "$rounds"

#!/usr/bin/env bash
# The copy benchmark: lays out a synthetic ICQ installation (two 400 MiB databases, 20,000 files
# of 1 to 64 KiB in nested folders) and times the copier against `cp -a` and `rsync -a` of the
# same trees on the same file system. Each round runs both tools one after the other, in
# alternating order; a case's figure is the median of its rounds' ratios. The last line:
#   copier ratios: large X.XX small Y.YY repeat-vs-rsync Z.ZZ synced W.WW peak-rss-MiB N
# after a line with the cost of verification (the copier with it against without it).
# Needs about 4.5 GiB free below ZEB_BENCH_DIR (default /var/tmp). ZEB_BENCH_ROUNDS sets the
# number of rounds (default 5).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEB_BENCH_BUILD:-$root/build-bench}
rounds=${ZEB_BENCH_ROUNDS:-5}

"$root/scripts/install-packages.sh" rsync
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target zeb_copy_bench >/dev/null

work=$(mktemp -d "${ZEB_BENCH_DIR:-/var/tmp}/zeb-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

bench="$build/tools/benchmark/zeb_copy_bench"
"$bench" generate "$work"
"$bench" run "$work" "$rounds"

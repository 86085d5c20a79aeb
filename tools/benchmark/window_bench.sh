#!/usr/bin/env bash
# The window's benchmark, run by scripts/benchmark.sh under Xvfb: a sample ICQ installation whose
# 2000b component holds 20,000 files of 1 to 64 KiB; the wizard walked by keystrokes to its Ready
# page, then timed from "Do It !" to the "Info" box, against `cp -a` and `sync` of the same
# folder. Rounds alternate which goes first; the figure is the median of the rounds' ratios.
# (The wait for the box looks every 0.1 s, so a round may count up to that much more.)
set -euo pipefail
program=$1
rounds=${ZEB_BENCH_ROUNDS:-5}
files=${ZEB_BENCH_FILES:-20000}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tests/e2e/lib.sh"

export TMPDIR=${ZEB_BENCH_DIR:-/dev/shm}
make_sample_prefix "$here/../../scripts/make-sample-icq.sh"
other=$(mktemp -d)
trap 'kill ${PROGRAM_PID:-} 2>/dev/null || true; rm -rf "$prefix" "$other"' EXIT
rm -rf "$icq/2000b"
"$here/small_files.py" "$icq/2000b" "$files"

now() { date +%s.%N; }
window() {
    rm -rf "$backup" && mkdir "$backup" && sync
    start_program "$program" "$prefix"
    walk_to_task_options "$backup"
    keys_to "$MAIN_WINDOW" Return # Task Options → Ready!
    local start end
    start=$(now)
    keys_to "$MAIN_WINDOW" Return # Do It !
    wait_for_window "Info" >/dev/null
    end=$(now)
    kill "$PROGRAM_PID"
    wait "$PROGRAM_PID" 2>/dev/null || true
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}
copy() {
    rm -rf "$other/ICQ" && sync
    local start end
    start=$(now)
    cp -a "$icq" "$other/ICQ" && sync
    end=$(now)
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}

ratios=""
for round in $(seq 1 "$rounds"); do
    if [ $((round % 2)) = 1 ]; then
        w=$(window); c=$(copy)
    else
        c=$(copy); w=$(window)
    fi
    printf 'window round %d: Do It to Info %6.2f s, cp -a %6.2f s\n' "$round" "$w" "$c"
    ratios+="$(awk -v w="$w" -v c="$c" 'BEGIN { printf "%.4f", w / c }') "
done
median=$(tr ' ' '\n' <<<"$ratios" | grep . | sort -g |
    awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
printf '| the window, Do It to "Info" (%d files) | `cp -a` | %.2f |\n' "$files" "$median"

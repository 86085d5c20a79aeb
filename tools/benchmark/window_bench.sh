#!/usr/bin/env bash
# The window's benchmark, run by scripts/benchmark.sh under Xvfb: a sample ICQ installation whose
# 2000b component holds 20,000 files of 1 to 64 KiB; the wizard walked by keystrokes to its Ready
# page, then timed from "Do It !" to the "Info" box, against `cp -a` and `sync` of the same
# folder and against the command line's backup of the same components into an empty folder.
# Rounds alternate which goes first; the figures are the medians of the rounds' ratios.
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
# The box's appearance is what is timed: the root window's map events are read as they come
# (xev, started before Do It), and the first window mapped with that title ends the round. The
# tests' wait looks every 0.1 s, and looking every few milliseconds takes processors from the
# run: either would count in the round.
watch_maps() { coproc MAPS { exec xev -root -event substructure 2>/dev/null; }; }
info_shown() {
    local line id
    while read -t 60 -r line <&"${MAPS[0]}"; do
        [[ $line == MapNotify* ]] && read -t 60 -r line <&"${MAPS[0]}" || continue
        id=${line##*window }
        [ "$(xdotool getwindowname "${id%%,*}" 2>/dev/null)" = Info ] && return 0
    done
    fail "no window titled 'Info'"
}
window() {
    # The last round's backup is set aside and removed only just before Do It, as the other
    # sides remove theirs just before they start: memory freed seconds before goes back to this
    # VM's host, and what takes it again waits for the host.
    rm -rf "$backup.last" && mv "$backup" "$backup.last" && mkdir "$backup"
    start_program "$program" "$prefix"
    walk_to_task_options "$backup"
    keys_to "$MAIN_WINDOW" Return # Task Options → Ready!
    rm -rf "$backup.last" && sync
    local start end
    watch_maps
    start=$(now)
    keys_to "$MAIN_WINDOW" Return # Do It !
    info_shown
    end=$(now)
    kill "$MAPS_PID"
    kill "$PROGRAM_PID"
    wait "$PROGRAM_PID" 2>/dev/null || true
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}
timed() { # <command...>: its time in seconds, what it prints dropped
    local start end
    start=$(now)
    "$@" </dev/null >/dev/null
    end=$(now)
    awk -v end="$end" -v start="$start" 'BEGIN { printf "%.3f", end - start }'
}
copy() {
    rm -rf "$other/ICQ" && sync
    timed sh -c 'cp -a "$1" "$2" && sync' copy "$icq" "$other/ICQ"
}
command_line() {
    rm -rf "$other/cli" && mkdir "$other/cli" && sync
    WINEPREFIX="$prefix" timed "$(dirname "$program")/zeb2000-cli" backup --to "$other/cli" \
        --quiet --force --overwrite
}
median() { # <ratios>
    tr ' ' '\n' <<<"$1" | grep . | sort -g |
        awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'
}

copies=""
commands=""
for round in $(seq 1 "$rounds"); do
    if [ $((round % 2)) = 1 ]; then
        w=$(window); c=$(copy); l=$(command_line)
    else
        l=$(command_line); c=$(copy); w=$(window)
    fi
    printf 'window round %d: Do It to Info %6.2f s, cp -a %6.2f s, zeb2000-cli %6.2f s\n' \
        "$round" "$w" "$c" "$l"
    copies+="$(awk -v w="$w" -v c="$c" 'BEGIN { printf "%.4f", w / c }') "
    commands+="$(awk -v w="$w" -v l="$l" 'BEGIN { printf "%.4f", w / l }') "
done
printf '| the window, Do It to "Info" (%d files) | `cp -a` | %.2f |\n' "$files" "$(median "$copies")"
printf '| the window, Do It to "Info" (%d files) | `zeb2000-cli backup` | %.2f |\n' "$files" \
    "$(median "$commands")"

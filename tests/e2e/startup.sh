#!/usr/bin/env bash
# The real executable: its start-up warning, then the main window by its title, 473 x 321.
set -euo pipefail
program=$1
. "$(dirname "$0")/lib.sh"
prefix=$(mktemp -d)
start_program "$program" "$prefix"
geometry=$(xwininfo -id "$MAIN_WINDOW")
width=$(awk '/Width:/ {print $2}' <<<"$geometry")
height=$(awk '/Height:/ {print $2}' <<<"$geometry")
[ "$width" = 473 ] && [ "$height" = 321 ] || fail "client area is ${width} x ${height}"
# Exit on the first page ends the program without a question.
keys_to "$MAIN_WINDOW" Escape
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || { rm -rf "$prefix"; echo "1 passed, 0 failed"; exit 0; }
    sleep 0.1
done
fail "Esc did not end the program"

#!/usr/bin/env bash
# The whole road by keystrokes on the real executable: a backup of a sample ICQ installation
# into an empty backup folder, then a restore onto a changed ICQ folder, and its undo (refused
# while a file changed since); then a backup that keeps history into a folder of dated sets, and
# a restore from its newest set.
set -euo pipefail
program=$1
make_sample=$2
. "$(dirname "$0")/lib.sh"

make_sample_prefix "$make_sample"
start_program "$program" "$prefix"
walk_to_task_options "$backup"
# Task Options (lists filled and selected) → Ready! → Do It !
keys_to "$MAIN_WINDOW" Return Return
acknowledge "Info"
# After the run the focus is back on "&Do It !": Enter runs the task again, it does not exit.
keys_to "$MAIN_WINDOW" Return
acknowledge "Info"

check_backup
original=$(mktemp)
restore_damaged_icq "$original"
undo_the_restore "$original"
kill "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null || true
rm -rf "$prefix" "$original"

# A folder that already holds a dated set (the weekly timer's): the window's backup keeps
# history by default, a second set; the restore then takes the newest complete set.
cli=$(dirname "$program")/zeb2000-cli
make_sample_prefix "$make_sample"
"$cli" backup --dated --quiet --icq "$icq" --to "$backup" || fail "the first dated set"
echo "changed since the first set" >"$icq/2000b/11111111.dat"
cp "$icq/2000b/11111111.dat" "$prefix/newest"
start_program "$program" "$prefix"
walk_to_task_options "$backup"
keys_to "$MAIN_WINDOW" Return Return
acknowledge "Info"
sets=$("$cli" list --from "$backup" | grep -c ' UTC, number ') || true
[ "$sets" = 2 ] || fail "the window's backup made no second dated set ($sets sets)"
# The restore is compared with the newest set, as its records order them (oldest first).
newest=$("$cli" list --from "$backup" | sed -n 's/^  \(.*\)  made .* UTC, number .*/\1/p' | tail -n 1)
backup="$backup/$newest"
original=$(mktemp)
restore_damaged_icq "$original"
cmp "$prefix/newest" "$icq/2000b/11111111.dat" || fail "the restore did not take the newest set"
rm -rf "$prefix" "$original"
echo "2 passed, 0 failed"

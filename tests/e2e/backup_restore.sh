#!/usr/bin/env bash
# The whole road by keystrokes on the real executable: a backup of a sample ICQ installation
# into an empty backup folder, then a restore onto a changed ICQ folder, and its undo.
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
# Back to the first page, where the undo of that restore is now offered below Restore: Yes in
# its box puts the damaged bytes back.
keys_to "$MAIN_WINDOW" shift+Tab Return Return Return shift+Tab shift+Tab Down Return
keys_to "$(wait_for_window "Undo")" alt+y
acknowledge "Info"
[ "$(cat "$icq/2000b/11111111.dat")" = damaged ] || fail "undo did not put back what was there"
[ ! -e "$icq/NewDB/22222222.idx" ] || fail "undo did not take away what the restore added"
rm -rf "$prefix" "$original"
echo "1 passed, 0 failed"

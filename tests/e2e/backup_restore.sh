#!/usr/bin/env bash
# The whole road by keystrokes on the real executable: a backup of a sample ICQ installation
# into an empty backup folder, then a restore onto a changed ICQ folder.
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
rm -rf "$prefix" "$original"
echo "1 passed, 0 failed"

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

for folder in CL NewDB Db99b 2000b UIN; do
    diff -r "$icq/$folder" "$backup/$folder" || fail "backup of $folder differs"
done
[ ! -e "$backup/DB" ] || fail "a component that ICQ does not have was copied"

# ICQ's data changes; the restore puts the backed-up bytes back.
original=$(mktemp)
cp "$icq/2000b/11111111.dat" "$original"
echo "damaged" >"$icq/2000b/11111111.dat"
rm "$icq/NewDB/22222222.idx"
# Back to the first page (Shift+Tab to Back, Enter three times; Back, disabled there, hands the
# focus on to Next), choose Restore (Shift+Tab to the chosen task, Down), and walk forward again.
keys_to "$MAIN_WINDOW" shift+Tab Return Return Return shift+Tab Down Return Return Return Return
acknowledge "Info"
cmp "$original" "$icq/2000b/11111111.dat" || fail "restore did not put the database back"
[ -f "$icq/NewDB/22222222.idx" ] || fail "restore did not bring the missing index back"
for folder in CL NewDB Db99b 2000b UIN; do
    diff -r "$backup/$folder" "$icq/$folder" || fail "restore of $folder differs"
done
rm -rf "$prefix" "$original"
echo "1 passed, 0 failed"

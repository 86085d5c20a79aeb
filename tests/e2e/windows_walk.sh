#!/usr/bin/env bash
# The Windows program under Wine, walked by keystrokes as on Linux: the start-up warning, Find
# against ICQ's keys made with reg.exe, a backup compared byte for byte, then a restore onto a
# changed ICQ folder and its undo (refused while a file changed since); then a backup that keeps
# history in a folder of dated sets, and a restore from its newest set. Run by scripts/test-windows.sh, which owns the Wine prefix, the display and
# WINEPATH. With ZEB_SHOTS_DIR set, each page is also saved there as a screenshot.
set -euo pipefail
program=$1
make_sample=$2
. "$(dirname "$0")/lib.sh"
[ -n "${ZEB_WINEPREFIX:-}" ] || fail "no throwaway Wine prefix; run through scripts/test-windows.sh"
export WINEPREFIX=$ZEB_WINEPREFIX

shot() {
    [ -z "${ZEB_SHOTS_DIR:-}" ] || { sleep 1 && import -window root "$ZEB_SHOTS_DIR/shot-windows-$1.png"; }
}

# The Linux sample's ICQ folder, laid out on the prefix's drive C: under a name without blanks, so
# that it crosses Wine's command line unquoted.
sample=$(mktemp -d)
"$make_sample" "$sample" >/dev/null
walk=$(mktemp -d "$WINEPREFIX/drive_c/zebwalk.XXXXXX")
cp -a "$sample/drive_c/Program Files/ICQ" "$walk/ICQ"
cp -a "$walk/ICQ" "$walk/sample"
rm -rf "$sample"
icq="$walk/ICQ"
backup="$walk/Backup"
dos="C:\\$(basename "$walk")"
wine reg delete 'HKCU\Software\Mirabilis' /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Mirabilis\ICQ\DefaultPrefs' /v ICQPath /d "$dos\\ICQ\\" /f >/dev/null

wine "$program" >"$walk/program.log" 2>&1 &
PROGRAM_PID=$!
trap 'kill $PROGRAM_PID 2>/dev/null || true; rm -rf "$walk"' EXIT
wait_for_window "Warning" >/dev/null
shot warning
acknowledge "Warning"
MAIN_WINDOW=$(wait_for_window "$MAIN_TITLE")
shot page1
# Select Task (Backup is chosen) → Folder Locations; Find fills ICQ's folder from the registry
# (keys that act at once, as lib.sh says).
keys_to "$MAIN_WINDOW" Return alt+p Tab Return alt+l ctrl+a
xdotool type --delay 20 "$dos\\Backup"
shot page2
# → Task Options (lists filled and selected) → Ready!
keys_to "$MAIN_WINDOW" Return
shot page3
keys_to "$MAIN_WINDOW" Return
shot page4
# Do It !
keys_to "$MAIN_WINDOW" Return
shot info
acknowledge "Info"

check_backup
# The restore replaces files without a question (the page's "Overwrite" box is set).
restore_damaged_icq "$walk/original"

undo_the_restore "$walk/restored"

# Exit on a page that is not busy ends the program without a question.
keys_to "$MAIN_WINDOW" Escape
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$PROGRAM_PID" 2>/dev/null || fail "Esc did not end the program"

# A folder that already holds a dated set (the weekly task's, by the Windows command line): the
# window's backup keeps history by default, a second set; the restore takes the newest one.
cli=$(dirname "$program")/zeb2000-cli.exe
rm -rf "$icq" && cp -a "$walk/sample" "$icq"
wine "$cli" backup --dated --quiet --icq "$dos\\ICQ" --to "$dos\\Sets" >/dev/null ||
    fail "the first dated set"
echo "changed since the first set" >"$icq/2000b/11111111.dat"
cp "$icq/2000b/11111111.dat" "$walk/newest"
wine "$program" >"$walk/program.log" 2>&1 &
PROGRAM_PID=$!
acknowledge "Warning"
MAIN_WINDOW=$(wait_for_window "$MAIN_TITLE")
walk_to_task_options "$dos\\Sets"
keys_to "$MAIN_WINDOW" Return Return
acknowledge "Info"
sets=$(wine "$cli" list --from "$dos\\Sets" | grep -c ' UTC, number ') || true
[ "$sets" = 2 ] || fail "the window's backup made no second dated set ($sets sets)"
# The set that holds the new bytes is the newest; the restore must take it.
backup=$(dirname "$(dirname "$(grep -l "changed since the first set" "$walk"/Sets/*/2000b/11111111.dat)")")
restore_damaged_icq "$walk/original"
cmp "$walk/newest" "$icq/2000b/11111111.dat" || fail "the restore did not take the newest set"
echo "3 passed, 0 failed"

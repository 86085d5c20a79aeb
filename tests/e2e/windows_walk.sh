#!/usr/bin/env bash
# The Windows program under Wine, walked by keystrokes as on Linux: the start-up warning, Find
# against ICQ's keys made with reg.exe, a backup compared byte for byte, then a restore onto a
# changed ICQ folder. Run by scripts/test-windows.sh, which owns the Wine prefix, the display and
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

# Exit on a page that is not busy ends the program without a question.
keys_to "$MAIN_WINDOW" Escape
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || { echo "1 passed, 0 failed"; exit 0; }
    sleep 0.1
done
fail "Esc did not end the program"

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

for folder in CL NewDB Db99b 2000b UIN; do
    diff -r "$icq/$folder" "$backup/$folder" || fail "backup of $folder differs"
done
[ ! -e "$backup/DB" ] || fail "a component that ICQ does not have was copied"

# ICQ's data changes; the restore puts the backed-up bytes back, replacing files without a
# question (the page's "Overwrite" box is set).
cp "$icq/2000b/11111111.dat" "$walk/original"
echo "damaged" >"$icq/2000b/11111111.dat"
rm "$icq/NewDB/22222222.idx"
# Back to the first page, Restore, and forward again, as on Linux.
keys_to "$MAIN_WINDOW" shift+Tab Return Return Return shift+Tab Down Return Return Return Return
acknowledge "Info"
cmp "$walk/original" "$icq/2000b/11111111.dat" || fail "restore did not put the database back"
[ -f "$icq/NewDB/22222222.idx" ] || fail "restore did not bring the missing index back"
for folder in CL NewDB Db99b 2000b UIN; do
    diff -r "$backup/$folder" "$icq/$folder" || fail "restore of $folder differs"
done

# Exit on a page that is not busy ends the program without a question.
keys_to "$MAIN_WINDOW" Escape
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || { echo "1 passed, 0 failed"; exit 0; }
    sleep 0.1
done
fail "Esc did not end the program"

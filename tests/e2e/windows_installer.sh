#!/usr/bin/env bash
# The Windows installer under Wine: a silent install into C:\Program Files\ZEB 2000\ with exactly
# the files the program needs (zeb2000-cli.exe too where the build folder $2 has one) and a
# Start-menu shortcut, the installed program started on its own DLLs (no WINEPATH) up to its main
# window, then a silent uninstall that leaves nothing behind.
# Run by scripts/test-windows.sh, which owns the Wine prefix and the display.
set -euo pipefail
installer=$(realpath "$1")
build=$2
. "$(dirname "$0")/lib.sh"
[ -n "${ZEB_WINEPREFIX:-}" ] || fail "no throwaway Wine prefix; run through scripts/test-windows.sh"
export WINEPREFIX=$ZEB_WINEPREFIX
unset WINEPATH

folder="$WINEPREFIX/drive_c/Program Files/ZEB 2000"
shortcuts() { find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'ZEB 2000.lnk' 2>/dev/null; }

wine "$installer" /S
expected="Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Uninstall.exe imageformats/qgif.dll
imageformats/qico.dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll
platforms/qwindows.dll zeb2000.exe"
[ -z "$(find "$build" -name zeb2000-cli.exe -print -quit)" ] || expected="$expected zeb2000-cli.exe"
installed=$(cd "$folder" 2>/dev/null && find . -type f ! -name '*.zpx' | sed 's|^\./||' | sort | xargs)
[ "$installed" = "$(tr ' ' '\n' <<<"$expected" | sort | xargs)" ] || fail "installed files: $installed"
[ "$(find "$folder" -maxdepth 1 -name '*.zpx' | wc -l)" -eq 14 ] || fail "plugin files missing"
[ -n "$(shortcuts)" ] || fail "no Start-menu shortcut"

wine "C:\\Program Files\\ZEB 2000\\zeb2000.exe" >/dev/null 2>&1 &
PROGRAM_PID=$!
trap 'kill $PROGRAM_PID 2>/dev/null || true' EXIT
acknowledge "Warning"
MAIN_WINDOW=$(wait_for_window "$MAIN_TITLE")
[ -z "${ZEB_SHOTS_DIR:-}" ] || { sleep 1 && import -window root "$ZEB_SHOTS_DIR/shot-installed.png"; }
keys_to "$MAIN_WINDOW" Escape
for _ in $(seq 100); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the installed program did not end"

# The installer's key below its vendor's, in the machine's or the user's part of the registry.
vendor_key() {
    wine reg query "HKLM\\Software\\The ZEB 2000 developers" >/dev/null 2>&1 ||
        wine reg query "HKCU\\Software\\The ZEB 2000 developers" >/dev/null 2>&1
}
vendor_key || fail "the installer wrote no key below 'The ZEB 2000 developers'"

# The uninstaller runs on as a copy of itself: wait for the folder to go.
wine "C:\\Program Files\\ZEB 2000\\Uninstall.exe" /S
for _ in $(seq 200); do
    [ -e "$folder" ] || break
    sleep 0.1
done
[ ! -e "$folder" ] || fail "uninstall left $(find "$folder" | head -n 5 | xargs)"
[ -z "$(shortcuts)" ] || fail "uninstall left the Start-menu shortcut"
! vendor_key || fail "uninstall left the key 'The ZEB 2000 developers'"
echo "1 passed, 0 failed"

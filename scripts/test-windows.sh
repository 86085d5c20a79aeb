#!/usr/bin/env bash
# Builds the whole program for 64-bit Windows (mingw-w64 and the Qt for mingw that
# scripts/qt-mingw-prefix.sh provides) and runs every test that can run on Windows under Wine,
# then makes the installer and checks it, all in a throwaway Wine prefix on an Xvfb of this
# script's own. Exits non-zero on any failure.
#
#   scripts/test-windows.sh              install what is missing, build into build-win, test
#   scripts/test-windows.sh --run X ...  run one Windows program under Wine (CTest's emulator)
#   scripts/test-windows.sh --run-qtest X ...  the same for a Qt Test, its report through a file
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--run" ] || [ "${1:-}" = "--run-qtest" ]; then
    mode=$1
    shift
    # Never the user's own ~/.wine: only a prefix that this script made.
    if [ -z "${ZEB_WINEPREFIX:-}" ] || [ ! -d "$ZEB_WINEPREFIX" ]; then
        echo "test-windows.sh: no throwaway Wine prefix; run the tests through scripts/test-windows.sh" >&2
        exit 2
    fi
    export WINEPREFIX="$ZEB_WINEPREFIX" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
    [ "$mode" = "--run" ] && exec wine "$@"
    # What a Qt Test writes to a pipe under Wine may be lost: it writes its report to a file.
    report=$(mktemp "$ZEB_WINEPREFIX/qtest.XXXXXX")
    status=0
    wine "$@" -o "Z:$(tr / '\\' <<<"$report"),txt" || status=$?
    cat "$report"
    rm -f "$report"
    exit $status
fi

build="${ZEB_WIN_BUILD_DIR:-$root/build-win}"

if [ "${1:-}" != "--on-display" ]; then
    packages=(
        cmake ninja-build ccache qt6-base-dev qt6-base-dev-tools googletest libxxhash-dev
        qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 nsis
        xvfb xauth xdotool x11-utils imagemagick locales
    )
    "$root/scripts/install-packages.sh" "${packages[@]}"
    ZEB_QT_MINGW_PREFIX=$("$root/scripts/qt-mingw-prefix.sh")
    export ZEB_QT_MINGW_PREFIX ZEB_STARTED=$(date +%s)
    # Wine's windows, the tests' and the program's, live on this one display.
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" --on-display
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/zeb-wine.XXXXXX")
export ZEB_WINEPREFIX="$prefix" WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

# The DLLs the programs load: Qt's and the mingw runtime of the compiler that built them.
winpath=""
for dir in "$ZEB_QT_MINGW_PREFIX/bin" \
    "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")" \
    "$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")"; do
    winpath="$winpath${winpath:+;}Z:$(realpath "$dir" | tr / '\\')"
done
export WINEPATH="$winpath"

echo "== Wine prefix $prefix on display $DISPLAY"
wineboot --init >/dev/null 2>&1
wineserver -w
# One wineserver for the whole run: each program then starts in a fraction of a second. Wine's
# own services start with the first program and stay; started here, they hold no test's
# output pipe open (GoogleTest's discovery waits for that pipe to close).
wineserver -p
# The prefix stays as wineboot made it (font smoothing off, among others): the programs must look
# right in it as users get it. A query that changes nothing starts Wine's services.
wine reg query 'HKCU\Control Panel\Desktop' >/dev/null 2>&1

echo "== Cross build in $build (Qt in $ZEB_QT_MINGW_PREFIX)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DZEB_QT_MINGW_PREFIX="$ZEB_QT_MINGW_PREFIX" >/dev/null
cmake --build "$build" --parallel 2
built=$(date +%s)
if [ -n "${ZEB_WINDOWS_BENCHMARK:-}" ]; then
    "$root/tools/benchmark/windows_bench.sh" "$build"
    exit
fi

echo "== Tests under Wine"
status=0
ctest --test-dir "$build" --output-on-failure || status=$?
tested=$(date +%s)

echo "== Installer"
rm -f "$build"/ZEB2000-*-win64.exe
(cd "$build" && cpack >/dev/null) || status=1
installer=$(ls "$build"/ZEB2000-*-win64.exe 2>/dev/null | head -n 1)
if [ -n "$installer" ]; then
    echo "$installer"
    "$root/tests/e2e/windows_installer.sh" "$installer" "$build" || status=1
else
    echo "FAIL: cpack wrote no installer" >&2
    status=1
fi
echo "== Windows: $(( built - ZEB_STARTED )) s to prepare and build, $(( tested - built )) s of" \
    "tests, $(( $(date +%s) - tested )) s to make and check the installer"
exit $status

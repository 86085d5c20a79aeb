#!/bin/sh
# Builds the Win32 side of the OS layer and the Windows resources with mingw-w64 and runs their
# tests under Wine, in a throwaway Wine prefix. Exits non-zero on any failure.
#
#   scripts/test-windows.sh              install what is missing, build into build-win, test
#   scripts/test-windows.sh --run X ...  run one Windows program under Wine (CTest's emulator)
set -eu

if [ "${1:-}" = "--run" ]; then
    shift
    # Never the user's own ~/.wine: only a prefix that this script made.
    if [ -z "${ZEB_WINEPREFIX:-}" ] || [ ! -d "$ZEB_WINEPREFIX" ]; then
        echo "test-windows.sh: no throwaway Wine prefix; run the tests through scripts/test-windows.sh" >&2
        exit 2
    fi
    export WINEPREFIX="$ZEB_WINEPREFIX" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
    exec wine "$@"
fi

root=$(cd "$(dirname "$0")/.." && pwd)
build="${ZEB_WIN_BUILD_DIR:-$root/build-win}"

need=""
command -v wine >/dev/null 2>&1 || need="$need wine wine64"
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need="$need g++-mingw-w64-x86-64"
[ -d /usr/src/googletest ] || need="$need googletest"
command -v cmake >/dev/null 2>&1 || need="$need cmake"
command -v ninja >/dev/null 2>&1 || need="$need ninja-build"
if [ -n "$need" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $need >/dev/null
fi

started=$(date +%s)
prefix=$(mktemp -d "${TMPDIR:-/tmp}/zeb-wine.XXXXXX")
export ZEB_WINEPREFIX="$prefix" WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

echo "== Wine prefix $prefix"
wineboot --init >/dev/null 2>&1
wineserver -w
# Windows without a display: Wine's null graphics driver.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w

echo "== Cross build in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build"

echo "== Tests under Wine"
# One wineserver for the whole run: each test then starts in a fraction of a second. Wine's
# own services start with the first program and stay; started here, they hold no test's
# output pipe open (GoogleTest's discovery waits for that pipe to close).
wineserver -p
wine cmd.exe /c ver >/dev/null 2>&1
status=0
ctest --test-dir "$build" --output-on-failure || status=$?
echo "== Windows tests took $(( $(date +%s) - started )) s (prefix, build and tests)"
exit $status

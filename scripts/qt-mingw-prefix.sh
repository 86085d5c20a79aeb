#!/usr/bin/env bash
# Prints the folder of the Qt 6.4.2 for mingw-w64 that the Windows build uses, unpacking it
# first when needed. It comes from the prebuilt archive in ../shared/toolchains (beside the
# repository), checked against the sha256 beside it and the one pinned here, or else from what
# scripts/build-qt-mingw.sh built from Debian's source. Both live in one cache folder.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
name=qt6-mingw-6.4.2-x86_64-w64-mingw32-posix
pinned=e17d5b99bcc4adfc099b3aa6ad165e1e9438f6f3f8a043f0c1d7dfe8602d8710
archive="${ZEB_QT_MINGW_ARCHIVE:-$root/../shared/toolchains/$name.tar.xz}"
cache="${ZEB_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/zeb2000}"
prefix="$cache/qt6-mingw-6.4.2"
stamp="$prefix/.zeb-source"

if [ -f "$archive" ]; then
    if [ "$(cat "$stamp" 2>/dev/null)" != "$pinned" ]; then
        echo "qt-mingw-prefix: checking and unpacking $archive" >&2
        actual=$(sha256sum "$archive" | cut -d' ' -f1)
        beside=$(cut -d' ' -f1 "$archive.sha256" 2>/dev/null || true)
        if [ "$actual" != "$pinned" ] || [ "$actual" != "$beside" ]; then
            echo "qt-mingw-prefix: $archive has sha256 $actual;" \
                "expected $pinned (and ${beside:-no .sha256 file} beside it)" >&2
            exit 1
        fi
        mkdir -p "$cache"
        rm -rf "$prefix" "$cache/unpack"
        mkdir "$cache/unpack"
        tar -xJf "$archive" -C "$cache/unpack"
        mv "$cache/unpack/qt6-mingw-6.4.2" "$prefix"
        rmdir "$cache/unpack"
        echo "$pinned" >"$stamp"
    fi
elif [ ! -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "qt-mingw-prefix: no $archive and no Qt in $prefix;" \
        "run scripts/build-qt-mingw.sh (about 50 minutes on 2 cores)" >&2
    exit 1
fi
echo "$prefix"

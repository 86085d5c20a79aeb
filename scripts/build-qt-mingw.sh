#!/usr/bin/env bash
# Rebuilds the Qt 6.4.2 for 64-bit Windows (mingw-w64, posix threads) that the Windows build uses,
# from Debian 12's own source package, into the cache folder where scripts/qt-mingw-prefix.sh
# looks for it when there is no prebuilt archive in ../shared/toolchains. Shared libraries,
# release: Core, Gui, Widgets, Test, the windows and offscreen platform plugins, the gif and ico
# image plugins. It takes about 50 minutes on 2 cores (about 950 build steps) and 3 GB of disk.
#
#   scripts/build-qt-mingw.sh             everything, into the cache folder
#   scripts/build-qt-mingw.sh --configure only fetch, check and configure (a quick check)
#
# Needs root (or sudo) once: it adds a deb-src entry for bookworm main, signed as the deb entries.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache="${ZEB_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/zeb2000}"
prefix="$cache/qt6-mingw-6.4.2"
work="$cache/qt-source-build"
version=6.4.2+dfsg-10
jobs="${ZEB_QT_JOBS:-2}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# 1. The source from Debian's archive, checked against the sums it was built from before.
packages=(dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix)
# Debian's source packages need a deb-src entry for bookworm, made once.
sources=/etc/apt/sources.list.d/zeb2000-deb-src.sources
if [ ! -f "$sources" ]; then
    uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "${uri:-http://deb.debian.org/debian}" /usr/share/keyrings/debian-archive-keyring.gpg |
        $sudo tee "$sources" >/dev/null
    $sudo apt-get update -qq
fi
"$(dirname "$0")/install-packages.sh" "${packages[@]}"

mkdir -p "$work"
cd "$work"
source_dir="$work/qt6-base-6.4.2+dfsg"
if [ ! -d "$source_dir" ]; then
    apt-get source --download-only "qt6-base=$version"
    sha256sum -c - <<'SUMS'
4f14b89a9463a540fd84a6718b8519a2297119b454ef547721015a9e9019ae9e  qt6-base_6.4.2+dfsg.orig.tar.xz
d1a2621b1acb1606db7274ccdb96654564cea04af836c5b86da94e150714d16c  qt6-base_6.4.2+dfsg-10.debian.tar.xz
1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970  qt6-base_6.4.2+dfsg-10.dsc
SUMS
    dpkg-source -x "qt6-base_$version.dsc" "$source_dir"
fi

# 2. and 3. Configure. The toolchain file has the mingw-w64 prefix alone as its root. The +dfsg
# source has no wintab, so tablet support is off; -DINPUT_opengl=no turns OpenGL off entirely
# (FEATURE_opengl=OFF would leave the dynamic OpenGL loader on, which then fails to compile).
cat >"$work/toolchain.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
build="$work/qtbuild"
cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF \
    -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_androiddeployqt=OFF -DINPUT_opengl=no -DFEATURE_tabletevent=OFF >"$work/configure.log"
echo "build-qt-mingw: configured in $build (log: $work/configure.log)"
[ "${1:-}" != "--configure" ] || exit 0

# 4. Only what the program and its tests need.
cmake --build "$build" --parallel "$jobs" --target EntryPointImplementation Widgets \
    QWindowsIntegrationPlugin QGifPlugin QICOPlugin Test QOffscreenIntegrationPlugin

# 5. Install folder by folder (a whole install stops on the targets not built), drop the CMake
# packages of modules not built, strip the DLLs and keep the import libraries.
rm -rf "$prefix"
for folder in . doc src src/3rdparty src/3rdparty/freetype src/3rdparty/harfbuzz-ng \
    src/3rdparty/libpng src/3rdparty/zlib src/corelib src/entrypoint src/gui src/widgets \
    src/testlib src/plugins/platforms/windows src/plugins/platforms/offscreen \
    src/plugins/imageformats/gif src/plugins/imageformats/ico; do
    (cd "$build/$folder" && cmake -DCMAKE_INSTALL_LOCAL_ONLY=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
        -P cmake_install.cmake >/dev/null)
done
rm -rf "$prefix/lib/cmake/Qt6DeviceDiscoverySupportPrivate" "$prefix/lib/cmake/Qt6FbSupportPrivate"
find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
echo "source $version" >"$prefix/.zeb-source"
echo "build-qt-mingw: Qt for mingw-w64 in $prefix; $root/scripts/qt-mingw-prefix.sh finds it"
echo "there when ../shared/toolchains holds no archive."

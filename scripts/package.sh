#!/usr/bin/env bash
# Builds the Debian package build/zeb2000_<version>_amd64.deb: a Release build of what is
# installed, in build/package/ apart from the test build, stripped and packed by CPack.
# Prints the package's path on standard output, and the build's progress on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
# Debian's hardening flags, as its own packages are built with; the debug info that -g would add
# is stripped anyway, so it is left out.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cxxflags=$(sed -E 's/(^| )-g( |$)/ /' <<<"$cxxflags")
# The library folder is named, not derived from the prefix, so that the program and its plugin
# files land in /usr/lib/zeb2000/ and not in a multiarch folder. The tests are not built.
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    >/dev/null
cmake --build build/package --target zeb_installed >&2
(cd build/package && cpack -B "$PWD/cpack" >/dev/null)
# Each run moves its package out, so the folder holds only this one.
for deb in build/package/cpack/*.deb; do
    mv "$deb" build/
    echo "build/${deb##*/}"
done

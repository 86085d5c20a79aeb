#!/usr/bin/env bash
# Installs what building, running and testing ZEB 2000 needs on Debian 12 (run as root, or with
# sudo available), and the further packages that one step names as arguments (the fuzzers'
# clang). Packages already present are left as they are.
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    googletest libgtest-dev libxcb1-dev libxxhash-dev
    xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core fonts-liberation
    fusefat dosfstools strace locales libc-l10n
    dpkg-dev lintian desktop-file-utils appstream man-db systemd
    "$@"
)
exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"

#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test. Tests that need a display start their
# own Xvfb; the others run offscreen. Last, the Debian package is built and checked.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
deb=$(scripts/package.sh)
tests/packaging/check-package.sh "$deb"

#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test. Tests that need a display start their
# own Xvfb; the others run offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2

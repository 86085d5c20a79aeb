#!/usr/bin/env bash
# Installs what is needed, builds, and launches ZEB 2000.
#   scripts/run.sh                      against a sample ICQ installation in a new Wine prefix
#   scripts/run.sh --wine-prefix DIR    against the ICQ of an existing Wine prefix (e.g. ~/.wine)
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=""
if [ "${1:-}" = "--wine-prefix" ]; then
    prefix=${2:?"--wine-prefix needs a folder"}
fi
scripts/setup.sh
scripts/build.sh
if [ -z "$prefix" ]; then
    prefix=$(mktemp -d /tmp/zeb2000-sample.XXXXXX)
    scripts/make-sample-icq.sh "$prefix" >/dev/null
    echo "Sample ICQ installation in the Wine prefix $prefix"
fi
WINEPREFIX=$prefix exec build/src/zeb2000

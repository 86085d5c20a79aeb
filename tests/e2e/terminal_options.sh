#!/usr/bin/env bash
# The real executable asked for its version and its help where there is no display: both answer
# on the terminal and end well, without trying to open a window.
set -euo pipefail
program=$1
. "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
version=$("$program" --version) || fail "--version ended with $?"
[ "$version" = "ZEB2000 2.0.0.2518" ] || fail "--version said '$version'"
help=$("$program" --help) || fail "--help ended with $?"
grep -q '^Usage: ' <<<"$help" || fail "--help said '$help'"
grep -q -- '--version' <<<"$help" || fail "--help does not name --version"
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# The installed program, started through its bin/ link: it must run from its own folder, find
# its plugin files there and offer the sample ICQ's components on Task Options (screenshot
# taken), and back them up. Runs under xvfb-run.
#   installed-program.sh <root>/usr/bin/zeb2000 <make-sample-icq.sh> <screenshot.png>
set -euo pipefail
link=$1
make_sample=$2
shot=$3
. "$(dirname "$0")/../e2e/lib.sh"

make_sample_prefix "$make_sample"

start_program "$link" "$prefix"
real=$(readlink -f "$link")
[ "$(readlink "/proc/$PROGRAM_PID/exe")" = "$real" ] || fail "the link did not start $real"

walk_to_task_options "$backup"
# Task Options lists the components found, all selected: the component list (at 152,88 in the
# window, 193 x 82 pixels) shows entries in the highlight colour.
listed=false
for _ in $(seq 200); do
    # (Not through a pipe: grep -q would cut it short, which pipefail counts as a failure.)
    if grep -qi '#308CC6' < <(import -window "$MAIN_WINDOW" -crop 193x82+152+88 -depth 8 txt:-)
    then
        listed=true
        break
    fi
    sleep 0.1
done
import -window root "$shot"
$listed || fail "Task Options lists no components (plugin files not found?); see $shot"

# → Ready! → Do It !: every component the sample has is copied, so each one was listed.
keys_to "$MAIN_WINDOW" Return Return
acknowledge "Info"
for folder in CL NewDB Db99b 2000b UIN; do
    diff -r "$icq/$folder" "$backup/$folder" >/dev/null || fail "component $folder not backed up"
done
rm -rf "$prefix"
echo "installed program: plugin files found, components offered and backed up"

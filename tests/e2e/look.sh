#!/usr/bin/env bash
# The real executable as a user of a dark desktop theme on a scaled screen sees it: at 150 % and
# 200 %, with a dark palette (a KDE colour scheme, which Qt reads as the desktop's palette), the
# texts on the pages' white stand out from it, and the progress box holds nothing of the page
# shown before it. Screenshots of the window are read pixel by pixel.
set -euo pipefail
program=$1
make_sample=$2
. "$(dirname "$0")/lib.sh"

make_sample_prefix "$make_sample"
export XDG_CONFIG_HOME="$prefix/config" XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
mkdir -p "$XDG_CONFIG_HOME"
cat >"$XDG_CONFIG_HOME/kdeglobals" <<'KDE'
[Colors:Window]
BackgroundNormal=35,38,41
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=27,30,32
ForegroundNormal=239,240,241
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=255,255,255
KDE

# A part of the window, given in pixels at 100 %, as a picture at the current scale.
shot() {
    local name=$1 x=$2 y=$3 w=$4 h=$5
    local geometry
    geometry=$(awk -v s="$scale" -v x="$x" -v y="$y" -v w="$w" -v h="$h" \
        'BEGIN { printf "%dx%d+%d+%d", w * s, h * s, x * s + 0.999, y * s + 0.999 }')
    import -window "$MAIN_WINDOW" -crop "$geometry" +repage "$prefix/$name-$scale.png"
}
# The darkest and the lightest pixel of a picture, 0 to 1.
range() { convert "$1" -colorspace Gray -format "%[fx:minima] %[fx:maxima]" info:; }
# Text stands out: black letters on white, not white (or grey) on white.
readable() {
    local name=$1 low high
    shot "$@"
    read -r low high <<<"$(range "$prefix/$name-$scale.png")"
    awk -v l="$low" -v h="$high" 'BEGIN { exit !(l < 0.3 && h > 0.9) }' ||
        fail "$name at $scale: no text to be seen (darkest $low, lightest $high)"
}
# Waits until a part of the window holds text, as it does once the page is drawn.
wait_for_text() {
    for _ in $(seq 200); do
        shot "$@"
        read -r low _ <<<"$(range "$prefix/$1-$scale.png")"
        awk -v l="$low" 'BEGIN { exit !(l < 0.3) }' && return 0
        sleep 0.1
    done
    fail "$1 at $scale was never drawn"
}

for scale in 1.5 2; do
    export QT_SCALE_FACTOR=$scale
    start_program "$program" "$prefix"
    readable welcome 152 32 305 33
    walk_to_task_options "$backup"
    wait_for_text components 152 72 305 17
    # From Task Options, whose buttons lie where the progress box will be, on to Ready!.
    keys_to "$MAIN_WINDOW" Return
    wait_for_text ready 152 32 305 57
    readable exit-after 152 144 305 17
    readable progress-label 152 216 257 17
    # Inside its border the empty bar is one colour; nothing in the box, border included, is of
    # the page's white that lay there before, as it would be where a paint left pixels out.
    shot bar 156 236 200 17
    colours=$(convert "$prefix/bar-$scale.png" -format "%k" info:)
    [ "$colours" = 1 ] || fail "the progress box at $scale holds $colours colours, not its own alone"
    shot box 152 232 300 25
    white=$(convert "$prefix/box-$scale.png" -fill black +opaque white -fill white -opaque white \
        -format "%[fx:int(mean*w*h+0.5)]" info:)
    [ "$white" = 0 ] || fail "the progress box at $scale shows $white pixels of the page beneath"
    keys_to "$MAIN_WINDOW" alt+a
    wait_for_text about 152 128 305 73
    # Esc closes the panel; a second one, on the page, ends the program.
    keys_to "$MAIN_WINDOW" Escape
    wait_for_text ready 152 32 305 57
    keys_to "$MAIN_WINDOW" Escape
    for _ in $(seq 200); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$PROGRAM_PID" 2>/dev/null || fail "Esc did not end the program at $scale"
done
rm -rf "$prefix"
echo "1 passed, 0 failed"

#!/usr/bin/env bash
# Draws the desktop icon for the hicolor theme, zeb2000-<size>.png, 16 to 256 px, with
# ImageMagick: the window icon's orange disc and white "Z" (resources/pictures/make-pictures.sh)
# at the small sizes, the strip logo's disc with its highlight from 64 px up, on a transparent
# ground. Dates are left out of the files so that a redraw changes them only when the picture
# changes. Run it from any folder.
set -euo pipefail
cd "$(dirname "$0")"
command -v convert >/dev/null || { echo "needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
font=DejaVu-Sans-Bold

for s in 16 22 24 32 48 64 128 256; do
    c=$((s / 2))
    if [ "$s" -lt 64 ]; then
        # As the window icon: a disc filling the square and a letter three quarters high.
        r=$((s / 2 - 1)); point=$((s * 3 / 4)); highlight=()
    else
        # As the 128 px logo, scaled: disc radius 59, highlight radius 29 up and left by 13.
        r=$((s * 59 / 128)); point=$((s * 79 / 128))
        h=$((c - s * 13 / 128)); hr=$((s * 29 / 128))
        highlight=(-fill '#ffa030' -draw "circle $h,$h $h,$((h - hr))")
    fi
    convert -size "${s}x${s}" xc:none \
        -fill '#ff8000' -draw "circle $c,$c $c,$((c - r))" "${highlight[@]}" \
        -fill white -font "$font" -pointsize "$point" -gravity center -annotate +0+0 'Z' \
        -strip -define png:exclude-chunks=date,time "PNG32:zeb2000-$s.png"
done

#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the window icon (16, 32, 48 px, 24-bit), the
# two logos (GIF89a, 128 px with 256 colours and 256 px with 64; the first also at 256 px for
# scaled screens), the 1 x 1 black bitmap of the
# strip and the error dialog's icon (32 and 16 px, 16 colours). Run it from any folder.
set -euo pipefail
cd "$(dirname "$0")"
command -v convert >/dev/null || { echo "needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }
font=DejaVu-Sans-Bold

# The strip's logo: a white "Z" on an orange disc with a dark ring, over black.
convert -size 128x128 xc:black \
    -fill '#1a1a1a' -draw "circle 64,64 64,5" \
    -fill '#ff8000' -draw "circle 64,64 64,5" \
    -fill '#ffa030' -draw "circle 51,51 51,22" \
    -fill white -font "$font" -pointsize 79 -gravity center -annotate +0+0 'Z' \
    -fill '#e0e0e0' -pointsize 14 -gravity south -annotate +0+4 'ZEB 2000' \
    -colors 256 GIF:zeb-logo-128.gif

# The same at twice the size, for screens scaled by 150 % or more.
convert -size 256x256 xc:black \
    -fill '#1a1a1a' -draw "circle 128,128 128,10" \
    -fill '#ff8000' -draw "circle 128,128 128,10" \
    -fill '#ffa030' -draw "circle 102,102 102,44" \
    -fill white -font "$font" -pointsize 158 -gravity center -annotate +0+0 'Z' \
    -fill '#e0e0e0' -pointsize 28 -gravity south -annotate +0+8 'ZEB 2000' \
    -colors 256 GIF:zeb-logo-128@2x.gif

# The About panel's logo lies beneath black and orange text: a pale disc and letter on a
# transparent ground, so that the text over it stays readable. The ground is made transparent
# before the palette is cut down, which would shift its white and leave it opaque over the
# panel's caption.
convert -size 256x256 xc:white \
    -fill '#fff1e0' -draw "circle 128,128 128,8" \
    -fill '#ffe4c4' -draw "circle 128,128 128,8" -fill '#fff1e0' -draw "circle 128,128 128,20" \
    -fill '#ffe9d2' -font "$font" -pointsize 170 -gravity center -annotate +0+0 'Z' \
    -transparent white -colors 64 GIF:zeb-logo-256.gif

# The window icon: the logo's disc and letter at three sizes, 24-bit.
for s in 16 32 48; do
    c=$((s / 2)); r=$((s / 2 - 1))
    convert -size "${s}x${s}" xc:black -fill '#ff8000' -draw "circle $c,$c $c,$((c - r))" \
        -fill white -font "$font" -pointsize $((s * 3 / 4)) -gravity center -annotate +0+0 'Z' \
        -alpha off -type TrueColor "BMP3:icon-$s.bmp"
done
convert icon-16.bmp icon-32.bmp icon-48.bmp -alpha off zeb2000.ico
rm -f icon-16.bmp icon-32.bmp icon-48.bmp

# The strip: one black pixel, stretched by the window.
convert -size 1x1 xc:black -type TrueColor BMP3:black.bmp

# The error dialog's icon: a red disc with a white cross, 16 colours.
for s in 16 32; do
    c=$((s / 2)); r=$((s / 2 - 1)); a=$((s * 3 / 10)); b=$((s - s * 3 / 10 - 1)); w=$((s / 8 + 1))
    convert -size "${s}x${s}" xc:white -fill '#c00000' -draw "circle $c,$c $c,$((c - r))" \
        -stroke white -strokewidth $w -draw "line $a,$a $b,$b" -draw "line $a,$b $b,$a" \
        -alpha off -colors 16 "BMP3:error-$s.bmp"
done
convert error-32.bmp error-16.bmp -alpha off error.ico
rm -f error-16.bmp error-32.bmp

#!/usr/bin/env bash
# Draws editor_artwork.jpg: the 150 x 150 picture behind the editor's window.
# White ground; a black square logo with a white quaver near the top; the name
# in lower case below it; a one-pixel black rule across row 96, on which the
# editor's caption sits. Saved as a baseline JFIF 1.01 JPEG, 4:2:0, 72 dpi.
set -euo pipefail
cd "$(dirname "$0")"

if ! command -v convert > /dev/null; then
    apt-get install -y -qq --no-install-recommends imagemagick fonts-dejavu-core
fi

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

convert -size 150x150 xc:white \
    -fill black -draw "rectangle 54,17 94,57" \
    -fill white -draw "ellipse 68,48 7,5 0,360" \
    -fill white -draw "rectangle 73,24 75,47" \
    -fill white -draw "polygon 75,24 77,24 86,33 86,40 83,40 83,35 75,30" \
    -fill black -font "$font" -pointsize 17 -gravity north -annotate +0+63 "quaverline" \
    -gravity northwest -fill black -draw "line 0,96 149,96" \
    -strip -type TrueColor -units PixelsPerInch -density 72 \
    -sampling-factor 2x2,1x1,1x1 -interlace none -quality 92 \
    editor_artwork.jpg

identify -format "%f: %wx%h, %[colorspace], %[jpeg:sampling-factor], %x x %y, %b\n" editor_artwork.jpg

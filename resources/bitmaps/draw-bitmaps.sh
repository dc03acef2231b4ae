#!/usr/bin/env bash
# Draws the channel selector's bitmaps "CH1" and "CH2" (64 x 52, 24 bits per pixel) with
# ImageMagick. The PNG files are committed; run this again after changing a picture here.
set -euo pipefail
cd "$(dirname "$0")"

channel() { # name colour
  convert -size 64x52 xc:'#f4f4f4' \
    -fill "$2" -stroke '#303030' -strokewidth 2 -draw 'roundrectangle 4,8 55,44 6,6' \
    -fill '#303030' -stroke none -draw 'rectangle 56,19 60,33' \
    -fill white -font DejaVu-Sans-Bold -pointsize 19 -gravity center -annotate -2+0 "$1" \
    -type TrueColor -define png:color-type=2 "PNG24:$1.png"
}

channel CH1 '#1f6fd1'
channel CH2 '#d1501f'

# The advertisement pane's fold arrows (9 x 139): "SCROLL_A0" folds the pane towards the
# window's edge, "SCROLL_B0" unfolds it. The last column stays blank: the pane shows eight.
arrow() { # name polygon
  convert -size 9x139 xc:'#c8ccd4' -fill '#e8eaee' -draw 'rectangle 0,0 7,138' \
    -fill '#3a4a66' -draw "polygon $2" -fill '#c8ccd4' -draw 'rectangle 8,0 8,138' \
    -type TrueColor -define png:color-type=2 "PNG24:$1.png"
}

arrow SCROLL_A0 '6,61 1,69 6,77'
arrow SCROLL_B0 '1,61 6,69 1,77'

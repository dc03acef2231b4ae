#!/usr/bin/env bash
# Draws the pictures of the interface-text store with ImageMagick. The PNG and JPEG files it
# writes are committed, so building never needs ImageMagick or particular fonts; run this
# again after changing a picture here.
set -euo pipefail
cd "$(dirname "$0")"

# Line segments over a w x h box at (x, y): the battery voltage of a charge (rises quickly,
# then flattens) and the current (constant, then falling as the battery tops off). Segments,
# because ImageMagick 6 closes some wide polylines.
curve() { # kind x y w h
  awk -v kind="$1" -v x="$2" -v y="$3" -v w="$4" -v h="$5" 'BEGIN {
    for (i = 0; i <= 40; ++i) {
      t = i / 40
      if (kind == "volt") v = 0.25 + 0.7 * (1 - exp(-5 * t))
      else v = (t < 0.55) ? 0.8 : 0.75 * exp(-6 * (t - 0.55)) + 0.05
      px = x + t * w; py = y + h - v * h
      if (i > 0) printf "line %.1f,%.1f %.1f,%.1f ", lx, ly, px, py
      lx = px; ly = py
    }
  }'
}

battery() { # x y w h: an outline with its terminal and four charge bars, the last one dim
  local x=$1 y=$2 w=$3 h=$4 bar=$(( ($3 - 18) / 4 ))
  printf 'stroke white stroke-width 4 fill none roundrectangle %d,%d %d,%d 8,8 ' \
    "$x" "$y" $((x + w)) $((y + h))
  printf 'stroke none fill white roundrectangle %d,%d %d,%d 3,3 ' \
    $((x + w + 2)) $((y + h / 3)) $((x + w + 10)) $((y + 2 * h / 3))
  for i in 0 1 2 3; do
    local fill='#57d46a'
    [ "$i" -eq 3 ] && fill='#2c6b37'
    printf 'fill "%s" rectangle %d,%d %d,%d ' "$fill" $((x + 8 + i * (bar + 1))) $((y + 8)) \
      $((x + 8 + i * (bar + 1) + bar - 3)) $((y + h - 8))
  done
}

# Splash: a rounded card with a soft shadow on a transparent ground, 549 x 350.
convert -size 549x350 xc:none \
  -draw "fill '#00000080' roundrectangle 16,16 532,334 30,30" -channel A -blur 0x6 +channel \
  \( -size 521x318 gradient:'#24507e-#0a1a30' \
     \( -size 521x318 xc:none -fill white -draw 'roundrectangle 0,0 520,317 30,30' \) \
     -alpha set -compose DstIn -composite \) \
  -geometry +14+10 -compose Over -composite \
  -fill none -stroke '#ffffff40' -strokewidth 1 -draw 'line 300,70 300,250 line 300,250 510,250' \
  -stroke '#ff5a4f' -strokewidth 4 -draw "stroke-linecap round $(curve volt 300 70 210 180)" \
  -stroke '#7cfc00' -draw "stroke-linecap round $(curve curr 300 70 210 180)" \
  -stroke none -draw "$(battery 50 80 150 72)" \
  -font DejaVu-Sans-Bold -pointsize 54 -fill white -annotate +46+235 'chargemon' \
  -font DejaVu-Sans -pointsize 18 -fill '#b8cde6' -annotate +50+290 'two-channel charger monitor' \
  -strip PNG32:splash.png

# About: the battery and the two curves on a small rounded tile, 128 x 128.
convert -size 128x128 xc:none \
  -draw "fill '#16365a' roundrectangle 0,0 127,127 20,20" \
  -draw "$(battery 18 18 80 38)" \
  -fill none -strokewidth 3 -stroke '#ff5a4f' -draw "stroke-linecap round $(curve volt 16 66 96 48)" \
  -stroke '#7cfc00' -draw "stroke-linecap round $(curve curr 16 66 96 48)" \
  -strip PNG32:about.png

# The advertisement page's picture, 160 x 110, and the manual's picture of a chart window,
# 480 x 270, drawn in the chart's own colours.
convert -size 160x110 gradient:'#2a5d8f-#0f2744' \
  -draw "$(battery 22 16 100 40)" \
  -font DejaVu-Sans-Bold -pointsize 14 -fill white -annotate +14+90 'Know your pack' \
  -strip -quality 90 ad.jpg
convert -size 480x270 xc:'#000040' \
  -draw "fill '#d4d0c8' rectangle 0,0 479,22" \
  -font DejaVu-Sans -pointsize 13 -fill black -annotate +8+16 'CH1 Chart 1 >>Live<<' \
  -fill none -stroke silver -draw 'line 40,240 420,240' -strokewidth 2 \
  -stroke red -draw "stroke-linecap round $(curve volt 40 50 380 185)" \
  -stroke lime -draw "stroke-linecap round $(curve curr 40 50 380 185)" \
  -stroke yellow -draw 'line 40,235 420,70' \
  -stroke white -draw 'path "M 40,200 L 200,190 L 420,175"' -stroke none \
  -font DejaVu-Sans -pointsize 11 -fill red -annotate +4+60 'V' -fill lime -annotate +430+60 'A' \
  -fill yellow -annotate +450+60 'mAh' -fill white -annotate +450+200 '°C' \
  -strip -quality 90 manual.jpg

#!/usr/bin/env bash
# Draws the pictures of the interface-text store with ImageMagick. The PNG and JPEG files it
# writes are committed, so building never needs ImageMagick or particular fonts; run this
# again after changing a picture here. Every picture is drawn at twice its size on screen, so
# that it stays sharp on a screen scaled to 200 %; the PNGs say so by a density of 192 dpi
# (twice 96), the pages give their pictures' sizes.
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

# Splash: a rounded card on a transparent ground, 549 x 350. No soft shadow: where windows are
# not composed, a half-transparent pixel shows dark, and the shadow would show as a black rim.
convert -size 1098x700 xc:none \
  \( -size 1042x636 gradient:'#24507e-#0a1a30' \
     \( -size 1042x636 xc:none -fill white -draw 'scale 2,2 roundrectangle 0,0 520.5,317.5 30,30' \) \
     -alpha set -compose DstIn -composite \) \
  -geometry +28+20 -compose Over -composite \
  -fill none -stroke '#ffffff40' -strokewidth 1 -draw 'scale 2,2 line 300,70 300,250 line 300,250 510,250' \
  -stroke '#ff5a4f' -strokewidth 4 -draw "scale 2,2 stroke-linecap round $(curve volt 300 70 210 180)" \
  -stroke '#7cfc00' -draw "scale 2,2 stroke-linecap round $(curve curr 300 70 210 180)" \
  -stroke none -draw "scale 2,2 $(battery 50 80 150 72)" \
  -font DejaVu-Sans-Bold -pointsize 108 -fill white -annotate +92+470 'chargemon' \
  -font DejaVu-Sans -pointsize 36 -fill '#b8cde6' -annotate +100+580 'two-channel charger monitor' \
  -strip -define png:include-chunk=pHYs -units PixelsPerInch -density 192 PNG32:splash.png

# About: the battery and the two curves on a small rounded tile, 128 x 128.
convert -size 256x256 xc:none \
  -draw "scale 2,2 fill '#16365a' roundrectangle 0,0 127.5,127.5 20,20" \
  -draw "scale 2,2 $(battery 18 18 80 38)" \
  -fill none -strokewidth 3 -stroke '#ff5a4f' -draw "scale 2,2 stroke-linecap round $(curve volt 16 66 96 48)" \
  -stroke '#7cfc00' -draw "scale 2,2 stroke-linecap round $(curve curr 16 66 96 48)" \
  -strip -define png:include-chunk=pHYs -units PixelsPerInch -density 192 PNG32:about.png

# The advertisement page's picture, 144 x 99 so that it fits the pane beside a scroll bar, and
# the manual's picture of a chart window, 480 x 270, drawn in the chart's own colours.
convert -size 288x198 gradient:'#2a5d8f-#0f2744' \
  -draw "scale 1.8,1.8 $(battery 22 16 100 40)" \
  -font DejaVu-Sans-Bold -pointsize 25 -fill white -annotate +25+162 'Know your pack' \
  -strip -quality 90 ad.jpg
convert -size 960x540 xc:'#000040' \
  -draw "scale 2,2 fill '#d4d0c8' rectangle 0,0 479.5,22.5" \
  -font DejaVu-Sans -pointsize 26 -fill black -annotate +16+32 'CH1 Chart 1 >>Live<<' \
  -fill none -stroke silver -draw 'scale 2,2 line 40,240 420,240' -strokewidth 2 \
  -stroke red -draw "scale 2,2 stroke-linecap round $(curve volt 40 50 380 185)" \
  -stroke lime -draw "scale 2,2 stroke-linecap round $(curve curr 40 50 380 185)" \
  -stroke yellow -draw 'scale 2,2 line 40,235 420,70' \
  -stroke white -draw 'scale 2,2 stroke-linecap round line 40,200 200,190 line 200,190 420,175' -stroke none \
  -font DejaVu-Sans -pointsize 22 -fill red -annotate +8+120 'V' -fill lime -annotate +860+120 'A' \
  -fill yellow -annotate +900+120 'mAh' -fill white -annotate +900+400 '°C' \
  -strip -quality 90 manual.jpg

#!/usr/bin/env bash
# Takes screenshots of the real program as a user sees it: the main window with two live
# channels and the panel, a chart with its summary and the two-point read-out, the print
# preview, the About box and the guide, for every scale and language asked.
#   scripts/screenshots.sh OUTDIR [--scales "1 2"] [--langs "ENG CHT"] [--build DIR]
# Needs Xvfb, xdotool and ImageMagick's import; the program and the simulator must be built.
# Files: OUTDIR/<name>-<scale>x-<lang>.png
set -euo pipefail
out=${1:?usage: scripts/screenshots.sh OUTDIR [--scales LIST] [--langs LIST] [--build DIR]}
shift
scales="1 2" langs="ENG CHT" build="$(cd "$(dirname "$0")/.." && pwd)/build"
while [ $# -gt 0 ]; do
  case $1 in
    --scales) scales=$2; shift 2 ;;
    --langs) langs=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *) echo "screenshots.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
mkdir -p "$out"
work=$(mktemp -d)
pids=()
stop() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; pids=(); }
trap 'stop; rm -rf "$work"' EXIT

display=:$(( 90 + RANDOM % 9 ))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$(( ${display#:} + 1 )); done
export DISPLAY=$display

# Coordinates below are in the program's own pixels on a 1400 x 900 screen; the screen grows
# with the scale, so each is multiplied by it.
shot_set() {
  local s=$1 lang=$2 name
  at() { xdotool mousemove $(( $1 * s )) $(( $2 * s )); sleep 0.3; }
  # Without a window manager a closed dialog leaves no window focused: a click on the
  # menu bar's empty end gives the main window the keys again.
  keys() { at 1200 8; xdotool click 1; for k in "$@"; do xdotool key "$k"; sleep 0.5; done; }
  # The newest top-level window (a dialog) to a size a window manager would give it.
  grow() {
    local w; w=$(xdotool search --onlyvisible --class chargemon | tail -1)
    xdotool windowmove "$w" $(( 150 * s )) $(( 60 * s )) windowsize "$w" $(( 1100 * s )) $(( 800 * s ))
    sleep 0.8
  }
  shot() { import -window root "$out/$1-${s}x-$lang.png"; echo "$out/$1-${s}x-$lang.png"; }

  Xvfb "$display" -screen 0 ${SCREEN:-$(( 1400 * s ))x$(( 900 * s ))}x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  rm -rf "$work/home"; mkdir -p "$work/home/config"
  printf '[Lang]\nLang=%s\n' "$lang" >"$work/home/config/chargemon.ini"
  "$build/tools/charger-sim/charger-sim" --link "$work/sim" --speed 20 >/dev/null &
  pids+=($!)
  sleep 1
  HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data \
    QT_SCALE_FACTOR=$s CHARGEMON_PORTS=$work/sim "$build/chargemon" >"$work/app.log" 2>&1 &
  pids+=($!)
  sleep 1.2; shot splash
  sleep 12; shot main
  # Side by side, the cross line on the first chart, a point marked and the cursor further on.
  # "Window" has no mnemonic in English: reach it from View.
  keys alt+v Right v
  keys alt+v l # CrossLine
  at 272 560; xdotool keydown shift click 1 keyup shift; sleep 0.3
  at 300 470; at 298 470; sleep 0.5; shot chart
  xdotool click 1; sleep 0.3
  keys alt+f p; sleep 1.5; grow; shot print-preview; xdotool key Escape; sleep 0.5
  keys alt+h a; sleep 0.5; shot about; xdotool key Escape
  keys alt+h g; sleep 0.8; shot guide; xdotool key Escape
  stop
}

for s in $scales; do
  for lang in $langs; do shot_set "$s" "$lang"; done
done

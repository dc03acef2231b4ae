#!/usr/bin/env bash
# Remakes the screenshots the metainfo shows (packaging/screenshots/) from the real program:
# the main window with both channels live, in English and in Traditional Chinese.
# Needs what scripts/screenshots.sh needs, and the program and the simulator built.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
scripts/screenshots.sh "$shots" --scales 1 --langs "ENG CHT" >/dev/null
mkdir -p packaging/screenshots
# The screen is larger than the window: the black around it goes.
convert "$shots/main-1x-ENG.png" -trim +repage packaging/screenshots/live.png
convert "$shots/main-1x-CHT.png" -trim +repage packaging/screenshots/live-zh_TW.png
ls packaging/screenshots/*.png

#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The layers, lowest
# first, as CMakeLists.txt links them: platform < link < setup, document < shell < app
# (src/main.cpp); setup and document stand side by side and do not include each other.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]="platform"
  [link]="platform link"
  [setup]="platform link setup"
  [document]="platform link document"
  [shell]="platform link setup document shell"
)

status=0
while IFS= read -r file; do
  layer=${file#src/}
  layer=${layer%%/*}
  [ -n "${allowed[$layer]:-}" ] || continue # src/main.cpp may include every layer
  # A path that climbs out of the folder would slip past the check below.
  while IFS= read -r line; do
    echo "$file:${line%%:*}: include by the layer's name, not a relative path" >&2
    status=1
  done < <(grep -nE '^#include "\.' "$file" || true)
  while IFS= read -r line; do
    target=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"${line#*:}")
    [ -n "${allowed[$target]:-}" ] || continue # not one of our layers
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file:${line%%:*}: $layer must not include $target" >&2
      status=1
    fi
  done < <(grep -nE '^#include "[a-z_]+/' "$file" || true)
done < <(git ls-files 'src/*.cpp' 'src/*.h')
[ $status -eq 0 ] && echo "layers: clean"
exit $status

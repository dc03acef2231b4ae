#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The layers, lowest
# first, as CMakeLists.txt links them: platform/core < platform, link < run < book, import,
# compare; compare < document; book, document < report; run < notify < publish; link, i18n <
# setup; book, import, document, publish, report < each feature (a folder named *_feature); setup
# and the features < shell < app (src/main.cpp). i18n (the languages) stands alone, for the
# logger too. setup, book, import, document and publish stand side by side and do not include
# each other, nor do the features; nothing below document draws (platform/core, link, run,
# compare, notify, publish, i18n), nor do book and import.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform/core]="platform/core"
  [platform/scripted]="platform/core platform/scripted"
  [platform]="platform/core platform"
  [link]="platform/core link"
  [run]="platform/core link run"
  [notify]="platform/core link run notify"
  [publish]="platform/core link run notify publish"
  [i18n]="i18n"
  [setup]="platform/core platform link i18n setup"
  [book]="platform/core link run book"
  [import]="platform/core link run import"
  [compare]="platform/core link run compare"
  [document]="platform/core platform link run compare document"
  [report]="platform/core platform link run book compare document report"
  [shell]="platform/core platform link run book compare notify publish i18n setup document report shell"
)
for folder in src/*_feature; do
  feature=${folder#src/}
  allowed[$feature]="platform/core platform link run book import compare notify publish document report $feature"
  allowed[shell]+=" $feature"
done

# A file's layer, or an include's: its first folder, or the first two for a folder within one.
layer_of() {
  local first=${1%%/*} rest=${1#*/}
  if [[ $rest == */* && -n "${allowed[$first/${rest%%/*}]:-}" ]]; then
    echo "$first/${rest%%/*}"
  else
    echo "$first"
  fi
}

status=0
while IFS= read -r file; do
  layer=$(layer_of "${file#src/}")
  [ -n "${allowed[$layer]:-}" ] || continue # src/main.cpp may include every layer
  # A path that climbs out of the folder would slip past the check below.
  while IFS= read -r line; do
    echo "$file:${line%%:*}: include by the layer's name, not a relative path" >&2
    status=1
  done < <(grep -nE '^#include "\.' "$file" || true)
  while IFS= read -r line; do
    target=$(layer_of "$(sed -E 's/^#include "([^"]+)".*/\1/' <<<"${line#*:}")")
    [ -n "${allowed[$target]:-}" ] || continue # not one of our layers
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file:${line%%:*}: $layer must not include $target" >&2
      status=1
    fi
  done < <(grep -nE '^#include "[a-z_]+/' "$file" || true)
done < <(git ls-files 'src/*.cpp' 'src/*.h')
[ $status -eq 0 ] && echo "layers: clean"
exit $status

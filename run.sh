#!/usr/bin/env bash
# Installs what is missing, builds, and starts the monitor.
#   ./run.sh                       the monitor, searching the serial ports for a charger
#   ./run.sh --demo [SIM-OPTIONS]  the monitor, fed by the bundled charger simulator on a
#                                  pseudo-terminal (options go to the simulator: --speed 10 ...)
#   ./run.sh --demo --dump [...]   the simulator's stream decoded by frame-dump, one line a reading
#   ./run.sh --package             a Debian package, chargemon_<version>_<arch>.deb, built in
#                                  build-package/ from what the install rules name; its path last
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

if [ "${1:-}" = "--package" ]; then
  chargemon_install "${CHARGEMON_PACKAGES[@]}" "${CHARGEMON_PACKAGING[@]}"
  # A folder of its own: the package's prefix is not the one a run from the build has.
  chargemon_configure build-package -DCMAKE_INSTALL_PREFIX=/usr
  cmake --build build-package -j2 --target installable
  (cd build-package && cpack -G DEB) | tee /dev/stderr | sed -n 's/.*package: \(.*\.deb\) generated.*/\1/p'
  exit 0
fi

chargemon_install "${CHARGEMON_PACKAGES[@]}"
chargemon_configure build

# Only what this run starts is built.
demo="" dump=""
[ "${1:-}" = "--demo" ] && { demo=1; shift; }
[ -n "$demo" ] && [ "${1:-}" = "--dump" ] && { dump=1; shift; }
targets=(chargemon)
[ -n "$demo" ] && targets+=(charger-sim)
[ -n "$dump" ] && targets=(frame-dump charger-sim)
cmake --build build -j2 --target "${targets[@]}"

viewer=(build/chargemon)
if [ -n "$demo" ]; then
  link=$(mktemp -u /tmp/chargemon-sim.XXXXXX)
  [ -n "$dump" ] && viewer=(build/tools/frame-dump/frame-dump "$link")
  build/tools/charger-sim/charger-sim --link "$link" --kind 112 "$@" >/dev/null &
  sim=$!
  trap 'kill $sim 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
  [ -e "$link" ] || { echo "run.sh: the charger simulator did not start" >&2; exit 1; }
  echo "Charger simulator on $link"
  export CHARGEMON_PORTS="$link${CHARGEMON_PORTS:+:$CHARGEMON_PORTS}"
fi
"${viewer[@]}"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the monitor.
#   ./run.sh          the monitor, searching the serial ports for a charger
#   ./run.sh --demo   also starts the bundled charger simulator on a pseudo-terminal
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
chargemon_install "${CHARGEMON_PACKAGES[@]}"
chargemon_configure build
cmake --build build -j2

if [ "${1:-}" = "--demo" ]; then
  link=$(mktemp -u /tmp/chargemon-sim.XXXXXX)
  build/tools/charger-sim/charger-sim --link "$link" --kind 112 &
  sim=$!
  trap 'kill $sim 2>/dev/null' EXIT
  for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
  export CHARGEMON_PORTS="$link${CHARGEMON_PORTS:+:$CHARGEMON_PORTS}"
fi
build/chargemon

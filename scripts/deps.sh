# Sourced by run.sh and test.sh: installs the Debian 12 packages the build needs, only when missing.
CHARGEMON_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite libsqlite3-dev qt6-svg-dev libqcustomplot-dev
  qt6-tools-dev qt6-l10n-tools
  fonts-noto-cjk qt6-translations-l10n
  librsvg2-bin libmosquitto-dev libqrencode-dev zlib1g-dev libssl-dev
)
# Making the Debian package (./run.sh --package), and checking it as a desktop sees it (./test.sh).
CHARGEMON_PACKAGING=(dpkg-dev file)
CHARGEMON_PACKAGE_CHECKS=(lintian desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin)
# A private session bus for the notification tests.
# A private MQTT broker and its clients for the publishing tests; a private influxd (its system
# service is never used) for the InfluxDB writer's.
# A QR decoder and a PDF rasteriser read the printed pack labels back; qpdf checks that a PDF
# file the program mended is whole.
# A browser opens the reports, offline and without a display.
# A compiler cache: ./test.sh builds the package in a fresh folder from the objects it has just
# compiled for the tests. sqlite3 makes the SQLite files the run-file type must leave alone.
# The screen-reader stack and a display it reads the program on (AT-SPI needs a real one).
CHARGEMON_TEST_TOOLS=(dbus mosquitto mosquitto-clients ccache sqlite3 influxdb zbar-tools poppler-utils qpdf
  at-spi2-core python3-pyatspi xvfb chromium)

chargemon_install() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

chargemon_configure() { # build-dir, extra cmake args...
  local dir=$1
  shift
  # A compiler cache, where the machine has one, makes a fresh clone's build a short one. Paths
  # are taken from the source folder on and the build folder is left out of the key, so that
  # every build folder beside the sources (build, build-package) shares the same objects.
  local launcher=()
  command -v ccache >/dev/null \
    && launcher=("-DCMAKE_CXX_COMPILER_LAUNCHER=env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache")
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
}

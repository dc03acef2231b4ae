#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          normal build, all tests
#   ./test.sh --asan   the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   ./test.sh --lint   layering, formatting check and a narrow clang-tidy
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

mode=${1:-}
case "$mode" in
  "")
    chargemon_install "${CHARGEMON_PACKAGES[@]}" "${CHARGEMON_PACKAGING[@]}" "${CHARGEMON_PACKAGE_CHECKS[@]}" \
      "${CHARGEMON_TEST_TOOLS[@]}"
    chargemon_configure build
    dir=build ;;
  --asan)
    chargemon_install "${CHARGEMON_PACKAGES[@]}"
    chargemon_configure build-asan -DCHARGEMON_SANITIZE=ON
    dir=build-asan
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ;;
  --lint)
    chargemon_install "${CHARGEMON_PACKAGES[@]}" clang-format clang-tidy
    chargemon_configure build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
    scripts/check_layers.sh
    files=$(git ls-files '*.cpp' '*.h')
    clang-format --dry-run --Werror $files
    cmake --build build -j2
    git ls-files 'src/*.cpp' 'tools/*.cpp' | xargs -r -n 8 -P 2 clang-tidy -p build --quiet
    echo "lint: clean"
    exit 0 ;;
  *) echo "usage: $0 [--asan|--lint]" >&2; exit 2 ;;
esac

cmake --build "$dir" -j2
if [ -z "$mode" ]; then
  # The package as the README makes it, in a fresh folder, so that whatever the install takes
  # must build from nothing; the compiler cache has the objects. check_package checks it.
  rm -rf build-package
  CHARGEMON_PACKAGE=$(./run.sh --package | tail -1)
  export CHARGEMON_PACKAGE
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 120

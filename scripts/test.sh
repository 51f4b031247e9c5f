#!/usr/bin/env bash
# Sets up the machine, builds the program and the tests, and runs every test.
#   bash scripts/test.sh
# The shipped 32-bit program is built with warnings as errors. The tests of
# the 64-bit build of the same sources (x64-test) run everywhere; the tests
# of the 32-bit build (x86-release) run wherever 32-bit Wine works, last, so
# that the closing summary is the shipped build's. Both suites run even when
# the first fails; the exit code is non-zero when either failed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

cmake --preset x86-release >/dev/null
cmake --build --preset x86-release
cmake --preset x64-test >/dev/null
cmake --build --preset x64-test

# Windows need an X display under Wine.
source scripts/xvfb.sh
start_private_display

win32_reason=$(bash scripts/can-run-win32.sh) && win32=yes || win32=no

# Each build tree's Wine prefix is made before its tests start, so that the
# first-time set-up (wineboot, about 15 s) counts against no test's time bound.
prepare_prefix() {  # arch build-dir
  WINEPREFIX="$PWD/$2/wineprefix" scripts/wine-run.sh "$1" cmd /c exit >/dev/null 2>&1 || true
}
prepare_prefix win64 build/x64-test
[ "$win32" = no ] || prepare_prefix win32 build/x86-release

# Which suites run is said before the last one starts, so that the output
# still closes with a ctest summary.
status=0
if [ "$win32" = yes ]; then
  echo "test: running the 64-bit suite, then the 32-bit suite"
  ctest --preset x64-test && result=passed || { result=FAILED; status=1; }
  echo "test: the 64-bit suite $result; running the 32-bit suite (the shipped build)"
  ctest --preset x86-release || status=1
else
  echo "test: the 32-bit suite was built but is not run: $win32_reason; running the 64-bit suite only"
  ctest --preset x64-test || status=1
fi
exit $status

#!/usr/bin/env bash
# Sets up the machine, builds the program and the tests, and runs every test.
#   bash scripts/test.sh
# The shipped 32-bit program is built with warnings as errors. The tests of
# the 64-bit build of the same sources (x64-test) run everywhere. Then the
# tests of the 32-bit build (x86-release), last, so that the closing summary
# is the shipped build's:
#   - where the kernel runs 32-bit Wine: the whole 32-bit suite;
#   - where it runs only under QEMU's user-mode emulation (setup.sh registers
#     it where the kernel cannot execute 32-bit code), or on any machine with
#     SLATEWASH_WIN32=emulate: the unit suites and the end-to-end tests of
#     what differs between the builds (ctest label "emulated"), with every
#     time bound stretched SLATEWASH_TIME_SCALE times (12 unless set); a
#     registration made for a forced run is removed on exit.
# Both suites run even when the first fails; the exit code is non-zero when
# either failed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

win32_code=0
win32_reason=$(bash scripts/can-run-win32.sh) || win32_code=$?
case $win32_code in
  0) win32=native ;;
  3) win32=emulated ;;
  *) win32=no ;;
esac
if [ "$win32" = emulated ]; then
  export SLATEWASH_TIME_SCALE=${SLATEWASH_TIME_SCALE:-12}
fi
# Configured with the time scale of this run: the ctest bounds scale with it.
cmake --preset x86-release >/dev/null
cmake --build --preset x86-release
SLATEWASH_TIME_SCALE=1 cmake --preset x64-test >/dev/null
cmake --build --preset x64-test

# Windows need an X display under Wine.
source scripts/xvfb.sh
start_private_display

source scripts/binfmt-i386.sh
forced_entry=
undo_forced_emulation() {
  [ -n "$forced_entry" ] && binfmt_remove "$forced_entry" && echo "test: removed binfmt_misc entry $forced_entry"
  forced_entry=
}
trap 'undo_forced_emulation; stop_private_display' EXIT
if [ "${SLATEWASH_WIN32:-}" = emulate ] && [ -z "$(binfmt_i386_entry)" ]; then
  binfmt_register_i386 "$BINFMT_FORCED_NAME" || { echo "test: could not register qemu-i386 in binfmt_misc"; exit 1; }
  forced_entry=$BINFMT_FORCED_NAME
  echo "test: i386 programs run under qemu-i386 for this run (binfmt_misc entry $forced_entry)"
fi

# Each build tree's Wine prefix is made before its tests start, so that the
# first-time set-up (wineboot, about 15 s) counts against no test's time
# bound, and keeps one Wine server for all its tests (wine-run.sh). The
# shipped build's prefix is a copy of the 64-bit build's new one: a 64-bit
# prefix runs 32-bit programs as 64-bit Windows does, and a copy takes
# seconds where wineboot under emulation took minutes.
prepare_prefix() {  # arch build-dir
  WINEPREFIX="$PWD/$2/wineprefix" scripts/wine-run.sh "$1" --prepare >/dev/null 2>&1 || true
}
copy_new_prefix() {  # from-build-dir to-build-dir
  [ ! -f "$2/wineprefix/.slatewash-ready" ] && [ -f "$1/wineprefix/.slatewash-ready" ] || return 0
  rm -rf "$2/wineprefix"
  cp -a "$1/wineprefix" "$2/wineprefix"
}
prepare_prefix win64 build/x64-test
if [ "$win32" != no ]; then
  copy_new_prefix build/x64-test build/x86-release
  prepare_prefix win32 build/x86-release
fi

# Which suites run is said before the last one starts, so that the output
# still closes with a ctest summary.
status=0
run_64bit_suite() {
  SLATEWASH_TIME_SCALE=1 ctest --preset x64-test -LE emulated-only && result=passed || { result=FAILED; status=1; }
}
case $win32 in
  native)
    echo "test: running the 64-bit suite, then the 32-bit suite ($win32_reason)"
    run_64bit_suite
    echo "test: the 64-bit suite $result; running the 32-bit suite (the shipped build)"
    ctest --preset x86-release -LE emulated-only || status=1
    ;;
  emulated)
    echo "test: running the 64-bit suite, then the 32-bit build's chosen set ($win32_reason)"
    run_64bit_suite
    echo "test: the 64-bit suite $result; running the 32-bit build's unit suites and chosen end-to-end tests" \
         "under emulation, time bounds x$SLATEWASH_TIME_SCALE (the shipped build; about 4.5 minutes on 2 cores)"
    # Four unit suites at once keep both cores busy while each Wine starts.
    # A crashing 32-bit program ends at once: winedbg would take many
    # minutes over its backtrace under emulation.
    SLATEWASH_CRASH_DEBUGGER=0 ctest --preset x86-release -L emulated -j 4 || status=1
    ;;
  *)
    echo "test: the 32-bit suite was built but is not run: $win32_reason; running the 64-bit suite only"
    run_64bit_suite
    ;;
esac
exit $status

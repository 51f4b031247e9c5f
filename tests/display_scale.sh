#!/usr/bin/env bash
# Runs the display-scale test of the end-to-end suite (or the tests FILTER
# names) in a Wine session of its own: its own Xvfb screen of a real display's size, and a copy of the
# suite's prefix whose display scale (LogPixels) and virtual desktop size
# are set before its first program starts, as a scale takes effect on
# Windows only at sign-in. The copy, its servers and the screen are gone
# afterwards, whatever the result, or at the next run after a time-out.
#   display_scale.sh DPI WIDTHxHEIGHT wine-run.sh ARCH e2e_tests.exe [FILTER]
set -euo pipefail
dpi=$1 screen=$2 runner=$3 arch=$4 exe=$5 filter=${6:-DisplayScaleTest.*}
build=$(cd "$(dirname "$exe")/.." && pwd)

# A session that ctest killed on its time-out had no chance to clean up:
# its Wine server would stay for good, its screen too, and its copy of the
# prefix.
for old in "${TMPDIR:-/tmp}"/slatewash-scale.*; do
  [ -d "$old" ] || continue
  kill -0 "$(cat "$old/owner" 2>/dev/null || echo 0)" 2>/dev/null && continue
  WINEPREFIX=$old/wineprefix wineserver -k 2>/dev/null || true
  kill "$(cat "$old/xvfb" 2>/dev/null || echo 0)" 2>/dev/null || true
  rm -rf "$old"
done
session=$(mktemp -d "${TMPDIR:-/tmp}/slatewash-scale.XXXXXX")
echo $$ > "$session/owner"
export WINEPREFIX=$session/wineprefix
finish() {
  wineserver -k 2>/dev/null || true
  [ -z "${SLATEWASH_XVFB_PID:-}" ] || { kill "$SLATEWASH_XVFB_PID" 2>/dev/null; wait "$SLATEWASH_XVFB_PID" 2>/dev/null; } || true
  rm -rf "$session"
}
trap finish EXIT

source "$(dirname "$0")/../scripts/xvfb.sh"
unset DISPLAY
SLATEWASH_SCREEN=$screen start_private_display
echo "$SLATEWASH_XVFB_PID" > "$session/xvfb"
trap finish EXIT  # start_private_display's own would end the suite's servers

# The suite's prefix, made first when this is the build's first Wine program.
[ -f "$build/wineprefix/.slatewash-ready" ] || WINEPREFIX=$build/wineprefix "$runner" "$arch" cmd /c exit >/dev/null 2>&1
bash "$(dirname "$runner")/copy-prefix.sh" "$build/wineprefix" "$WINEPREFIX"
bash "$(dirname "$runner")/set-display-scale.sh" "$arch" "$dpi" "$screen"
"$runner" "$arch" --prepare
SLATEWASH_EXPECTED_DPI=$dpi SLATEWASH_SCREEN_SIZE=$screen "$runner" "$arch" "$exe" --gtest_filter="$filter"

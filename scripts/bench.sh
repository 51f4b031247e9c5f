#!/usr/bin/env bash
# Sets up, builds and runs the benchmark of the settings program against an
# empty Win32 window, under Wine (a private Xvfb when no display is set).
#   bash scripts/bench.sh [runs, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}

bash scripts/setup.sh >/dev/null
if bash scripts/can-run-win32.sh; then
  preset=x86-release; arch=win32
else
  echo "bench: this machine cannot run 32-bit programs; measuring the 64-bit build of the same sources"
  preset=x64-release; arch=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target bench_driver baseline SlatewashSettings >/dev/null

source scripts/xvfb.sh
start_private_display
export WINEPREFIX="$PWD/build/$preset/wineprefix"
dir=build/$preset/bench
# The prefix puts every window into a Wine virtual desktop (wine-run.sh): with
# bare Xvfb and no window manager Wine waits about 2 s in every DestroyWindow,
# which would swamp the close, save and rebuild figures of both programs.
scripts/wine-run.sh "$arch" "$dir/bench_driver.exe" "$runs" 2> >(grep -v -e fixme -e 'err:' >&2)

objdump=$( [ "$arch" = win32 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump )
for exe in "$dir/SlatewashSettings.exe" "$dir/baseline.exe"; do
  size=$(stat -c %s "$exe")
  imports=$("$objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
  printf '%-22s %8d bytes  imports: %s\n' "$(basename "$exe")" "$size" "$imports"
done

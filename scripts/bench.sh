#!/usr/bin/env bash
# Sets up, builds and runs the benchmark of the settings program against an
# empty Win32 window and a Direct2D-painted window, under Wine (a private
# Xvfb when no display is set), then draws the chart.
#   bash scripts/bench.sh [runs, default 20]
# Measures the shipped 32-bit build where 32-bit Wine runs, else the 64-bit
# build of the same sources. Results: build/<preset>/bench/results.tsv,
# results.txt and chart.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}

bash scripts/setup.sh >/dev/null
if reason=$(bash scripts/can-run-win32.sh); then
  preset=x86-release; arch=win32
else
  echo "bench: measuring the 64-bit build of the same sources: $reason"
  preset=x64-release; arch=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target bench_driver >/dev/null

source scripts/xvfb.sh
start_private_display
export WINEPREFIX="$PWD/build/$preset/wineprefix"
dir=build/$preset/bench
# The prefix puts every window into a Wine virtual desktop (wine-run.sh): with
# bare Xvfb and no window manager Wine waits about 2 s in every DestroyWindow,
# which would swamp the close, save and rebuild figures of every program.
echo "bench: $arch build, $runs runs of each"
scripts/wine-run.sh "$arch" "$dir/bench_driver.exe" "$runs" \
  2> >(grep -v -e fixme -e 'err:' >&2) | tee "$dir/results.txt"

objdump=$( [ "$arch" = win32 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump )
echo
for exe in "$dir/SlatewashSettings.exe" "$dir/baseline.exe" "$dir/baseline_d2d.exe"; do
  size=$(stat -c %s "$exe")
  imports=$("$objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
  printf '%-22s %8d bytes  imports: %s\n' "$(basename "$exe")" "$size" "$imports"
done | tee -a "$dir/results.txt"

bash scripts/bench-chart.sh "$dir/results.tsv" "$dir/chart.svg" "$arch build, $runs runs of each"
echo "bench: $dir/results.txt, $dir/results.tsv, $dir/chart.svg"

#!/usr/bin/env bash
# Draws the benchmark's chart from its results.tsv: for each figure, the
# program beside the empty window and the Direct2D window, median bars with
# min-max whiskers; times on the left, memory on the right.
#   bash scripts/bench-chart.sh results.tsv chart.svg [subtitle]
set -euo pipefail
tsv=$1; svg=$2; subtitle=${3:-}
command -v gnuplot >/dev/null || { echo "bench-chart: gnuplot is missing (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One data block per unit: figure, then median/min/max of each program.
for unit in ms MiB; do
  awk -F'\t' -v unit="$unit" '
    NR > 1 && $2 == unit {
      if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 }
      value[$1, $3] = $4 "\t" $5 "\t" $6
    }
    END {
      split("program|empty window|Direct2D window", names, "|")
      for (i = 1; i <= n; i++) {
        line = "\"" order[i] "\""
        for (j = 1; j <= 3; j++) line = line "\t" (((order[i], names[j]) in value) ? value[order[i], names[j]] : "NaN\tNaN\tNaN")
        print line
      }
    }' "$tsv" > "$work/$unit.dat"
done

gnuplot <<GNUPLOT
set terminal svg size 1100,460 dynamic font "DejaVu Sans,12" background "#ffffff"
set output "$svg"
set multiplot layout 1,2 title "Slatewash Settings against two floors (median, min-max)\n{/*0.8 $subtitle}"
set style data histograms
set style histogram errorbars gap 1 lw 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set grid ytics lc rgb "#dddddd"
set key below horizontal
set yrange [0:*]
set ylabel "milliseconds"
plot "$work/ms.dat" using 2:3:4:xtic(1) title "program" lc rgb "#2563eb", \
     "" using 5:6:7 title "empty window" lc rgb "#94a3b8", \
     "" using 8:9:10 title "Direct2D window" lc rgb "#f59e0b"
set ylabel "MiB"
plot "$work/MiB.dat" using 2:3:4:xtic(1) title "program" lc rgb "#2563eb", \
     "" using 5:6:7 title "empty window" lc rgb "#94a3b8", \
     "" using 8:9:10 title "Direct2D window" lc rgb "#f59e0b"
unset multiplot
GNUPLOT

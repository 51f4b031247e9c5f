#!/usr/bin/env bash
# Runs the 64-bit suite, or the ctest entries a pattern names, again and
# again beside a load like a build's (two compilers, always busy), and counts
# the failures of each entry. A test that fails only on a busy machine is a
# test that waits wrongly; this is how such a failure is made to show.
#   bash scripts/repeat-under-load.sh RUNS [ctest-regex]
# SLATEWASH_LOAD_COMPILERS sets how many compilers run (2 unless set; 1 each
# when two clones measure at once, each the other's load as well).
# Needs a built x64-test tree. Every run's output is kept in the folder the
# last line names; a failing run's log says what was not reached.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:?runs}
pattern=${2:-}
logs=$(mktemp -d "${TMPDIR:-/tmp}/slatewash-load.XXXXXX")

source scripts/xvfb.sh
start_private_display

# The load: compilers of a large translation unit, over and over.
load_source=$logs/load.cpp
printf '#include <bits/stdc++.h>\nint main() { std::map<std::string, std::vector<int>> m; return (int)m.size(); }\n' \
  > "$load_source"
load_pids=()
for i in $(seq 1 "${SLATEWASH_LOAD_COMPILERS:-2}"); do
  ( while :; do g++ -O2 -std=c++20 -c "$load_source" -o "$logs/load$i.o" 2>/dev/null || true; done ) &
  load_pids+=($!)
done
stop_all() {
  for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  stop_private_display
}
trap stop_all EXIT

WINEPREFIX="$PWD/build/x64-test/wineprefix" scripts/wine-run.sh win64 --prepare >/dev/null 2>&1 || true

declare -A failures=()
failed_runs=0
for run in $(seq 1 "$runs"); do
  log=$logs/run-$run.log
  args=(--preset x64-test -LE emulated-only)
  [ -n "$pattern" ] && args+=(-R "$pattern")
  start=$(date +%s)
  if SLATEWASH_TIME_SCALE=1 ctest "${args[@]}" > "$log" 2>&1; then
    echo "run $run: passed in $(( $(date +%s) - start )) s"
  else
    failed_runs=$((failed_runs + 1))
    names=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*)$/\1/p' "$log" | sort -u | tr '\n' ' ')
    echo "run $run: FAILED in $(( $(date +%s) - start )) s: ${names:-no entry named (see $log)}"
    for name in $names; do failures[$name]=$(( ${failures[$name]:-0} + 1 )); done
  fi
done

echo "under load: $failed_runs of $runs runs failed"
for name in "${!failures[@]}"; do echo "  $name: failed in ${failures[$name]} of $runs runs"; done
echo "logs: $logs"
[ "$failed_runs" -eq 0 ]

#!/usr/bin/env bash
# Builds the libFuzzer targets natively (clang, ASan, UBSan) and runs each
# for a bounded time. Exits non-zero on any finding; the crashing input is
# kept under build/fuzz/findings.
#   bash scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash scripts/setup.sh >/dev/null
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/tests/fuzz
mkdir -p build/fuzz/findings
status=0
passed=0
for target in settings catalogue locale; do
  work=build/fuzz/corpus/$target
  mkdir -p "$work"
  seeds=(tests/fuzz/corpus/$target)
  [ "$target" = settings ] || seeds+=(Locales)
  echo "fuzz: $target for ${seconds}s"
  if ! "$bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
       -artifact_prefix=build/fuzz/findings/$target- "$work" "${seeds[@]}" > "build/fuzz/$target.log" 2>&1; then
    echo "fuzz: $target FOUND A PROBLEM; see build/fuzz/$target.log and build/fuzz/findings"
    tail -40 "build/fuzz/$target.log"
    status=1
  else
    passed=$((passed + 1))
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build/fuzz/$target.log" | grep -o '[0-9]*$' || echo 0)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "build/fuzz/$target.log" | grep -o '[0-9]*$' || echo 0)
  echo "fuzz: $target ran $runs inputs, $rate per second"
done
echo "fuzz: $passed passed, $((3 - passed)) failed"
exit $status

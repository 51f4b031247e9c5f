#!/usr/bin/env bash
# Private displays of scripts that start at the same moment (scripts/xvfb.sh):
# in each of 20 rounds two scripts start one at once; they must get two
# different displays, each served by its own server, and when the first
# stops its display the second's must go on serving.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
unset DISPLAY

# Waits for the round's start, takes a display, reports it, and stops it
# when told to.
script() {  # round side
  until [ -e "go$1" ]; do sleep 0.01; done
  source "$here/scripts/xvfb.sh"
  start_private_display || exit 1
  echo "$DISPLAY $SLATEWASH_XVFB_PID" > "display$1$2"
  until [ -e "stop$1$2" ]; do sleep 0.05; done
  stop_private_display
}
serves() { xdpyinfo -display "$1" >/dev/null 2>&1; }

failures=0
for round in $(seq 1 20); do
  script "$round" a & first=$!
  script "$round" b & second=$!
  touch "go$round"
  for _ in $(seq 1 200); do [ -s "display${round}a" ] && [ -s "display${round}b" ] && break; sleep 0.05; done
  read -r a a_server < "display${round}a"; read -r b b_server < "display${round}b"
  problem=
  if [ -z "$a" ] || [ -z "$b" ] || [ "$a" = "$b" ]; then problem="displays [$a] and [$b]"
  else
    # By the servers' processes: another script may take a number the moment it is free.
    touch "stop${round}a"; wait "$first"
    kill -0 "$a_server" 2>/dev/null && problem="the server of $a still runs after its script stopped it"
    kill -0 "$b_server" 2>/dev/null && serves "$b" || problem="$b stopped serving when $a's script stopped its own"
  fi
  touch "stop${round}a" "stop${round}b"; wait "$first" "$second"
  if [ -n "$problem" ]; then failures=$((failures + 1)); echo "FAILED  round $round: $problem"; fi
done
echo "display pairs: $failures of 20 rounds failed"
[ $failures -eq 0 ]

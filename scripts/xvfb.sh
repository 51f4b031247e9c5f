#!/usr/bin/env bash
# Sourced by the other scripts: when no X display is set, starts a private
# Xvfb, exports DISPLAY, and ends exactly that server (and the Wine servers
# of this tree) on exit. SLATEWASH_SCREEN gives its size (1600x900).
start_private_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n got fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # The server takes the number itself, atomically, and reports it through
  # -displayfd once it serves: a script that starts at the same moment and
  # tries the same number loses it to this one's lock and goes on to the next.
  for n in $(seq 90 130); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    Xvfb ":$n" -displayfd 3 -screen 0 "${SLATEWASH_SCREEN:-1600x900}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    SLATEWASH_XVFB_PID=$!
    got=
    read -r -t 10 got < "$fifo" || true
    [ "$got" = "$n" ] && break
    kill "$SLATEWASH_XVFB_PID" 2>/dev/null || true
    wait "$SLATEWASH_XVFB_PID" 2>/dev/null || true
    SLATEWASH_XVFB_PID=
  done
  rm -f "$fifo"
  [ -n "${SLATEWASH_XVFB_PID:-}" ] || { echo "xvfb: no private display could be started on :90 to :130" >&2; return 1; }
  export DISPLAY=":$n"
  trap stop_private_display EXIT
}

stop_private_display() {
  local prefix
  for prefix in build/*/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
  done
  if [ -n "${SLATEWASH_XVFB_PID:-}" ]; then
    kill "$SLATEWASH_XVFB_PID" 2>/dev/null || true
    wait "$SLATEWASH_XVFB_PID" 2>/dev/null || true
    SLATEWASH_XVFB_PID=
  fi
}

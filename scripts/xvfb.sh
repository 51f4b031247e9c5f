#!/usr/bin/env bash
# Sourced by the other scripts: when no X display is set, starts a private
# Xvfb, exports DISPLAY, and ends exactly that server (and the Wine servers
# of this tree) on exit.
start_private_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
  SLATEWASH_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
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
  fi
}

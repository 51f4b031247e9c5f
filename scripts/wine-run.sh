#!/usr/bin/env bash
# Runs a Windows executable under Wine with the project's own prefix.
#   wine-run.sh win32|win64 program.exe [arguments...]
#   wine-run.sh win32|win64 --prepare     (only makes the prefix ready, and
#                                          keeps its Wine server running until
#                                          wineserver -k)
# WINEPREFIX defaults to "wineprefix" in the build tree that holds the
# executable. The prefix is created once, under a lock, so that tests started
# in parallel do not race to create it (wineboot takes ~15 s the first time).
# A new prefix puts every window into one Wine virtual desktop unless
# SLATEWASH_VIRTUAL_DESKTOP=0 (see wine-desktop.reg).
set -euo pipefail

arch=$1; exe=$2; shift 2

if [ -z "${WINEPREFIX:-}" ]; then
  [ "$exe" != --prepare ] || { echo "wine-run.sh: --prepare needs WINEPREFIX" >&2; exit 2; }
  dir=$(cd "$(dirname "$exe")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = / ] && dir=$(cd "$(dirname "$exe")" && pwd)
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the prefix needs neither. With
# SLATEWASH_CRASH_DEBUGGER=0 a crashing program ends at once instead of
# starting winedbg, which under emulation takes many minutes.
overrides=mscoree,mshtml
[ "${SLATEWASH_CRASH_DEBUGGER:-1}" = 1 ] || overrides=$overrides,winedbg.exe
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-$overrides=}

# Debian's "wine" wrapper prefers the 32-bit loader; 64-bit programs need wine64.
loader=wine
if [ "$arch" = win64 ]; then
  if command -v wine64 >/dev/null 2>&1; then loader=wine64
  elif [ -x /usr/lib/wine/wine64 ]; then loader=/usr/lib/wine/wine64; fi
  export WINELOADER=${WINELOADER:-$loader}
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.slatewash-ready" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    if [ "${SLATEWASH_VIRTUAL_DESKTOP:-1}" = 1 ]; then
      "$loader" regedit "$(dirname "$0")/wine-desktop.reg" >/dev/null 2>&1 || true
    fi
    # The desktop settings take effect when the Wine session starts anew.
    wineserver -k >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.slatewash-ready"
  fi
) 9>"$WINEPREFIX.lock"

# Debian's wineserver ends the moment its last program does (-p0), and
# with it the prefix's services; a program that starts in that moment finds
# a server on its way out ("wine client error: recvmsg: Connection reset by
# peer"), the more often the busier the machine. A run of many programs,
# such as a test suite, keeps one server for all of them. Its services are
# started here, with nothing of the caller's: they keep the standard error
# of the program that starts them, and ctest waits for its test's to close.
if [ "$exe" = --prepare ]; then
  wineserver -p 2>/dev/null || true  # one is running already
  service_loader=$loader
  [ ! -x /usr/lib/wine/wine64 ] || service_loader=/usr/lib/wine/wine64
  "$service_loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
  exit 0
fi
exec "$loader" "$exe" "$@"

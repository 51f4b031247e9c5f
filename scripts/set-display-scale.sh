#!/usr/bin/env bash
# Sets the display scale of the Wine prefix $WINEPREFIX, as Windows' display
# settings do, and ends its session: the scale counts from the next program
# on, as on Windows from the next sign-in.
#   set-display-scale.sh win32|win64 DPI [WIDTHxHEIGHT of the virtual desktop]
set -euo pipefail
arch=$1 dpi=$2 desktop=${3:-}
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
hex=$(printf %08x "$dpi")
{
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%s\n\n' "$hex"
  printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\n"LogPixels"=dword:%s\n' "$hex"
  [ -z "$desktop" ] || printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="%s"\n' "$desktop"
} > "$reg"
"$(dirname "$0")/wine-run.sh" "$arch" regedit "$reg" >/dev/null 2>&1
wineserver -k 2>/dev/null || true

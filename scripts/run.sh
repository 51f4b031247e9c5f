#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it under Wine.
#   bash scripts/run.sh
# With an X display the window opens there. Without one, the program runs
# under a private Xvfb, a screenshot of a fresh start in English, Japanese
# and Arabic and one of every other page in English are saved in
# build/screenshots, and the program is closed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86-release >/dev/null
cmake --build --preset x86-release

if reason=$(bash scripts/can-run-win32.sh); then
  arch=win32; exe=build/x86-release/src/SlatewashSettings.exe
else
  echo "run: not the 32-bit build ($reason); starting the 64-bit build of the same sources"
  cmake --preset x64-test >/dev/null
  cmake --build --preset x64-test --target SlatewashSettings
  arch=win64; exe=build/x64-test/src/SlatewashSettings.exe
fi

export WINEPREFIX="$PWD/build/wineprefix-run"
export SLATEWASH_VIRTUAL_DESKTOP=0  # a real display gets real windows
# Wine has no Segoe UI: map it to a font that has the language's script.
use_font() {
  sed "s/Noto Sans CJK JP/$1/" scripts/wine-fonts.reg > "$WINEPREFIX.fonts.reg"
  scripts/wine-run.sh "$arch" regedit "$WINEPREFIX.fonts.reg" >/dev/null 2>&1
}

if [ -n "${DISPLAY:-}" ]; then
  use_font "Noto Sans CJK JP"
  exec scripts/wine-run.sh "$arch" "$exe"
fi

source scripts/xvfb.sh
start_private_display
out=build/screenshots
mkdir -p "$out"
winexe=$(WINEDEBUG=-all WINEPREFIX="$WINEPREFIX" WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 winepath -w "$PWD/$exe" 2>/dev/null || echo "$exe")
for entry in en_US.UTF-8:en ja_JP.UTF-8:ja ar_SA.UTF-8:ar; do
  locale=${entry%%:*}; lang=${entry##*:}
  if [ "$lang" = ar ]; then use_font "DejaVu Sans"; else use_font "Noto Sans CJK JP"; fi
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Korvenda   # a fresh start
  LC_ALL=$locale scripts/wine-run.sh "$arch" explorer /desktop=settings,1300x760 "$winexe" >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"slatewashsettings.exe"' && break
    sleep 0.2
  done
  sleep 3  # the first Direct2D frame
  import -window root -crop 1300x760+0+0 "$out/start-$lang.png"
  if [ "$lang" = en ]; then
    # The window sits at the desktop's top left; its client area starts at
    # (3, 22) there, and navigation item k is 54 pixels high from client y 20.
    for page in 1 2 3 4; do
      xdotool mousemove 93 $((22 + 20 + 27 + 54 * page)) click 1
      sleep 1
      import -window root -crop 1300x760+0+0 "$out/page$page-en.png"
    done
  fi
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
done
echo "run: no display here; screenshots are in $out: start-en.png, start-ja.png, start-ar.png (a fresh start) and page1-en.png to page4-en.png"

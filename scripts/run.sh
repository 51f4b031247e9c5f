#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it under Wine.
#   bash scripts/run.sh
# With an X display the window opens there. Without one, the program runs
# under a private Xvfb, a screenshot of a fresh start in English, Japanese
# and Arabic, one of every other page in English, one of a fresh start in
# English at 150 and at 250 %, and one in a high-contrast theme are saved in
# build/screenshots, and the program is closed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86-release >/dev/null
cmake --build --preset x86-release

if reason=$(bash scripts/can-run-win32.sh); then
  arch=win32; preset=x86-release
else
  echo "run: not the 32-bit build ($reason); starting the 64-bit build of the same sources"
  cmake --preset x64-test >/dev/null
  cmake --build --preset x64-test --target SlatewashSettings
  arch=win64; preset=x64-test
fi
exe=build/$preset/src/SlatewashSettings.exe

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
windows_path() {
  WINEDEBUG=-all WINEPREFIX="$WINEPREFIX" WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 winepath -w "$PWD/$1" 2>/dev/null || echo "$1"
}
winexe=$(windows_path "$exe")
# Starts the program afresh in a virtual desktop of size $1 with LC_ALL $2,
# waits for its first frame and saves the desktop as $3.
start_and_shoot() {
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Korvenda   # a fresh start
  LC_ALL=$2 scripts/wine-run.sh "$arch" explorer /desktop=settings,"$1" "$winexe" >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"slatewashsettings.exe"' && break
    sleep 0.2
  done
  sleep 3  # the first Direct2D frame
  import -window root -crop "$1+0+0" "$3"
}

stop_program() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
}

# The English window at a display scale, in a session of its own: a copy of
# the prefix with the scale set before its first program, on a screen of the
# size such a display has.
shoot_scaled() {  # dpi percent screen desktop
  local copy
  copy=$(mktemp -d)
  bash scripts/copy-prefix.sh "$WINEPREFIX" "$copy/prefix"
  (
    export WINEPREFIX="$copy/prefix"
    unset DISPLAY SLATEWASH_XVFB_PID
    SLATEWASH_SCREEN=$3 start_private_display
    trap 'stop_program; kill "$SLATEWASH_XVFB_PID" 2>/dev/null || true' EXIT
    bash scripts/set-display-scale.sh "$arch" "$1"
    start_and_shoot "$4" en_US.UTF-8 "$out/start-en-$2.png"
  )
  rm -rf "$copy"
}

# The English window in a high-contrast theme, in a session of its own whose
# system colours are a dark scheme. Wine reports no theme, so the test build
# is told to paint as in one (SLATEWASH_HIGH_CONTRAST).
shoot_high_contrast() {
  local copy colour
  cmake --build --preset "$preset" --target program_with_faults >/dev/null
  copy=$(mktemp -d)
  bash scripts/copy-prefix.sh "$WINEPREFIX" "$copy/prefix"
  (
    export WINEPREFIX="$copy/prefix" SLATEWASH_HIGH_CONTRAST=1
    for colour in "Window=0 0 0" "WindowText=255 255 255" "Hilight=26 235 255" "HilightText=0 0 0" \
                  "ButtonFace=0 0 0" "ButtonText=255 255 255"; do
      scripts/wine-run.sh "$arch" reg add 'HKCU\Control Panel\Colors' /v "${colour%%=*}" /d "${colour#*=}" /f \
        >/dev/null 2>&1
    done
    winexe=$(windows_path "build/$preset/tests/e2e-faults/SlatewashSettings.exe")
    trap stop_program EXIT
    start_and_shoot 1300x760 en_US.UTF-8 "$out/start-en-high-contrast.png"
  )
  rm -rf "$copy"
}

for entry in en_US.UTF-8:en ja_JP.UTF-8:ja ar_SA.UTF-8:ar; do
  locale=${entry%%:*}; lang=${entry##*:}
  if [ "$lang" = ar ]; then use_font "DejaVu Sans"; else use_font "Noto Sans CJK JP"; fi
  start_and_shoot 1300x760 "$locale" "$out/start-$lang.png"
  if [ "$lang" = en ]; then
    # The window sits at the desktop's top left; its client area starts at
    # (3, 22) there, and navigation item k is 54 pixels high from client y 20.
    for page in 1 2 3 4; do
      xdotool mousemove 93 $((22 + 20 + 27 + 54 * page)) click 1
      sleep 1
      import -window root -crop 1300x760+0+0 "$out/page$page-en.png"
    done
  fi
  stop_program
  if [ "$lang" = en ]; then
    shoot_scaled 144 150 1920x1080 1100x1100
    shoot_scaled 240 250 3840x2160 1800x1800
    shoot_high_contrast
  fi
done
echo "run: no display here; screenshots are in $out: start-en.png, start-ja.png, start-ar.png (a fresh start), page1-en.png to page4-en.png, start-en-150.png and start-en-250.png (a fresh start at 150 and 250 %), and start-en-high-contrast.png"

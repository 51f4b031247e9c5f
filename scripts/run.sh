#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it under Wine.
#   bash scripts/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset x86-release >/dev/null
cmake --build --preset x86-release

exe=build/x86-release/src/SlatewashSettings.exe
if [ ! -f "$exe" ]; then
  echo "run: the settings store is built; the settings window arrives with the program itself."
  exit 0
fi
exec scripts/wine-run.sh win32 "$exe"

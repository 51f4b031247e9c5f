#!/usr/bin/env bash
# Sets up the machine, builds the program and the tests, and runs every test.
#   bash scripts/test.sh
# The shipped 32-bit program is built with warnings as errors. The tests run
# under Wine from a 64-bit build of the same sources (x64-test), because not
# every Linux kernel can run 32-bit code; where 32-bit Wine works, the 32-bit
# tests run too.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

cmake --preset x86-release >/dev/null
cmake --build --preset x86-release

# Windows need an X display under Wine.
source scripts/xvfb.sh
start_private_display

cmake --preset x64-test >/dev/null
cmake --build --preset x64-test

if bash scripts/can-run-win32.sh; then
  ctest --preset x86-release
else
  echo "test: this machine cannot run 32-bit code; the 32-bit tests were built but not run"
fi
ctest --preset x64-test

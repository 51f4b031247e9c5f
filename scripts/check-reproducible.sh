#!/usr/bin/env bash
# Builds the shipped program (x86-release) and its ZIP twice, from copies of
# this tree in two different folders, and fails unless both builds give the
# same bytes: anyone can then check that a published ZIP came from a commit.
#   bash scripts/check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
# The copies have no history: the ZIP's time stamps come from the last
# commit here. The program itself is built without SOURCE_DATE_EPOCH, as on
# any developer's machine, so it must not depend on the time at all.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
unset SOURCE_DATE_EPOCH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sums=()
for copy in first second/deeper; do
  mkdir -p "$work/$copy"
  tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work/$copy"
  (cd "$work/$copy" && cmake --preset x86-release >/dev/null &&
    cmake --build --preset x86-release --target SlatewashSettings >/dev/null &&
    SOURCE_DATE_EPOCH=$epoch cmake --build --preset x86-release --target package >/dev/null)
  out="$work/$copy/build/x86-release"
  sums+=("$(cd "$out" && sha256sum src/SlatewashSettings.exe SlatewashSettings-*-win32.zip)")
done

echo "${sums[0]}"
if [ "${sums[0]}" != "${sums[1]}" ]; then
  echo "check-reproducible: the two builds differ:"
  echo "${sums[1]}"
  cmp -l "$work/first/build/x86-release/src/SlatewashSettings.exe" \
         "$work/second/deeper/build/x86-release/src/SlatewashSettings.exe" | head -20 || true
  exit 1
fi
echo "check-reproducible: both builds are byte-identical"

#!/usr/bin/env bash
# Compares run.sh's screenshots of the working tree with those of a commit,
# pixel by pixel, for a change that must not move anything on the screen.
#   bash scripts/compare-screens.sh [commit, default HEAD]
# Fails unless every screenshot is identical (ImageMagick's AE metric 0).
set -euo pipefail
cd "$(dirname "$0")/.."
ref=${1:-HEAD}

other=build/screens-ref
git worktree remove --force "$other" 2>/dev/null || rm -rf "$other"
git worktree add --detach "$other" "$ref" >/dev/null
trap 'git worktree remove --force "$other" 2>/dev/null || true' EXIT

bash scripts/run.sh >/dev/null
(cd "$other" && bash scripts/run.sh >/dev/null)

differ=0
for shot in build/screenshots/*.png; do
  name=$(basename "$shot")
  if [ ! -f "$other/build/screenshots/$name" ]; then echo "$name: new, $ref has none"; continue; fi
  pixels=$(compare -metric AE "$shot" "$other/build/screenshots/$name" null: 2>&1 || true)
  echo "$name: $pixels pixels differ"
  [ "$pixels" = 0 ] || differ=1
done
[ "$differ" = 0 ] && echo "compare-screens: identical to $ref" || echo "compare-screens: DIFFERENT from $ref"
exit "$differ"

#!/usr/bin/env bash
# Copies a Wine prefix for a session of its own, cheaply: the files of the
# DLL folders of drive_c/windows (1.2 GB that Wine wrote once at wineboot and
# no program writes) are hard links, every other file (the registry, the
# users' folders, win.ini) a copy of its own, as Wine may rewrite those.
#   copy-prefix.sh FROM TO
set -euo pipefail
cp -al "$1" "$2"
find "$2" -type f ! -path '*/windows/system32/*' ! -path '*/windows/syswow64/*' ! -path '*/windows/winsxs/*' \
  -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv "$f.copy" "$f"; done' _ {} +

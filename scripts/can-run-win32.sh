#!/usr/bin/env bash
# Exit 0 when this machine can execute 32-bit x86 Linux programs, and so
# 32-bit Wine. Some virtual machines have no 32-bit code segment at all.
[ -x /usr/lib/wine/wine ] || exit 1
/usr/lib/wine/wine --version >/dev/null 2>&1

#!/usr/bin/env bash
# Tells whether this machine can run the 32-bit build under Wine.
#   exit 0: yes
#   exit 1: no (no 32-bit Wine, or a kernel that cannot execute 32-bit code)
#   exit 2: 32-bit Wine runs, but the 32-bit X libraries that the 64-bit side
#           has are missing (scripts/setup.sh installs them)
# The reason for a no is printed on standard output. SLATEWASH_WIN32=0 or 1
# forces the answer, for checking the scripts that ask.
case "${SLATEWASH_WIN32:-}" in
  0) echo "32-bit runs switched off (SLATEWASH_WIN32=0)"; exit 1 ;;
  1) exit 0 ;;
esac

if [ ! -x /usr/lib/wine/wine ]; then
  echo "32-bit Wine is not installed"
  exit 1
fi
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "this machine cannot execute 32-bit x86 code"
  exit 1
fi

missing=()
for lib in libXrender.so.1 libXi.so.6 libXrandr.so.2 libXcursor.so.1 libXinerama.so.1; do
  [ -e "/usr/lib/i386-linux-gnu/$lib" ] || missing+=("$lib")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "32-bit Wine runs, but these 32-bit X libraries are missing: ${missing[*]} (scripts/setup.sh installs them)"
  exit 2
fi
exit 0

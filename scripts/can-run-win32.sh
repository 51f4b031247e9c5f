#!/usr/bin/env bash
# Tells whether and how this machine can run the 32-bit build under Wine,
# with the reason on standard output:
#   exit 0: native    the kernel runs 32-bit Wine itself
#   exit 3: emulated  32-bit code runs only under QEMU's user-mode emulation
#                     (binfmt_misc; setup.sh registers it where the kernel
#                     cannot execute 32-bit code), about ten times slower
#   exit 1: no        no 32-bit Wine, or no way to execute 32-bit code
#   exit 2: no        32-bit Wine runs, but the 32-bit X libraries that the
#                     64-bit side has are missing (scripts/setup.sh installs them)
# SLATEWASH_WIN32 forces an answer, for checking the scripts that ask: 0 (no),
# 1 (native) or emulate (test.sh then registers QEMU for the run itself).
cd "$(dirname "$0")/.."
source scripts/binfmt-i386.sh

missing_x_libraries() {
  local lib missing=()
  for lib in libXrender.so.1 libXi.so.6 libXrandr.so.2 libXcursor.so.1 libXinerama.so.1; do
    [ -e "/usr/lib/i386-linux-gnu/$lib" ] || missing+=("$lib")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "no: 32-bit Wine runs, but these 32-bit X libraries are missing: ${missing[*]} (scripts/setup.sh installs them)"
    return 0
  fi
  return 1
}

case "${SLATEWASH_WIN32:-}" in
  0) echo "no: 32-bit runs switched off (SLATEWASH_WIN32=0)"; exit 1 ;;
  1) echo "native: forced (SLATEWASH_WIN32=1)"; exit 0 ;;
  emulate)
    if ! command -v qemu-i386 >/dev/null; then
      echo "no: SLATEWASH_WIN32=emulate, but qemu-i386 is not installed (scripts/setup.sh installs it then)"; exit 1
    fi
    echo "emulated: forced (SLATEWASH_WIN32=emulate), under $(command -v qemu-i386)"; exit 3 ;;
esac

if [ ! -x /usr/lib/wine/wine ]; then
  problem=$(cat build/setup-32bit-problem.txt 2>/dev/null)
  echo "no: 32-bit Wine is not installed${problem:+: $problem}"
  exit 1
fi

entry=$(binfmt_i386_entry)
if [ -n "$entry" ]; then
  # Every i386 program goes through the registration, natively capable or not.
  if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "no: i386 programs go to binfmt_misc entry $entry, which cannot run 32-bit Wine"; exit 1
  fi
  missing_x_libraries && exit 2
  echo "emulated: this machine runs i386 programs under $(sed -n 's/^interpreter //p' "$BINFMT_DIR/$entry") (binfmt_misc entry $entry)"
  exit 3
fi

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  missing_x_libraries && exit 2
  echo "native: the kernel runs 32-bit Wine"
  exit 0
fi

disabled=$(binfmt_i386_entry any)
if [ -n "$disabled" ]; then
  echo "no: this machine cannot execute 32-bit x86 code, and the binfmt_misc entry $disabled for i386 programs is disabled (left as it is)"
elif command -v qemu-i386 >/dev/null; then
  echo "no: this machine cannot execute 32-bit x86 code, and qemu-i386 is not registered in binfmt_misc (scripts/setup.sh registers it; it needs root)"
else
  echo "no: this machine cannot execute 32-bit x86 code, and QEMU's qemu-i386 is not installed (scripts/setup.sh installs and registers it)"
fi
exit 1

#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test Slatewash Settings:
# MinGW-w64 cross toolchains (32-bit for the program, 64-bit for running the
# tests where 32-bit code cannot run), CMake, Ninja, GoogleTest sources, Wine
# (32- and 64-bit), Xvfb and the GL/X libraries and fonts that Direct2D
# painting needs under Wine (the 32-bit side gets the X libraries that the
# 64-bit side has), xdotool for the screenshots of every page, gnuplot for
# the benchmark chart, zip for the package, and clang with its sanitizer runtimes for fuzzing.
# Where the kernel cannot execute 32-bit code: QEMU's user-mode emulation,
# registered for i386 programs, so that the 32-bit tests run under it
# (binfmt-i386.sh). With SLATEWASH_WIN32=emulate: QEMU only (test.sh
# registers it for that run).
# Idempotent: returns within seconds when everything is already installed.
set -euo pipefail

packages=(
  cmake ninja-build make
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest
  wine wine32:i386 wine64
  xvfb x11-utils imagemagick xdotool gnuplot-nox zip
  libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libxcomposite1:i386
  libxrender1:i386 libxi6:i386 libxrandr2:i386 libxcursor1:i386 libxinerama1:i386
  fonts-noto-cjk fonts-dejavu-core
  clang libclang-rt-14-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

install_packages() {
  echo "setup: installing $*"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "$@"
}

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: everything is installed"
else
  install_packages "${missing[@]}"
  echo "setup: done"
fi

source "$(dirname "$0")/binfmt-i386.sh"
# A forced run of test.sh that was killed before it could undo its own.
if [ -e "$BINFMT_DIR/$BINFMT_FORCED_NAME" ]; then
  binfmt_remove "$BINFMT_FORCED_NAME" && echo "setup: removed the leftover binfmt_misc entry $BINFMT_FORCED_NAME of a forced emulated run"
fi

# Where the kernel cannot execute 32-bit code, the shipped 32-bit build is
# tested under QEMU's user-mode emulation: qemu-i386 registered for i386 ELF
# programs. A registration made by anyone else is used or left alone, never
# changed. Machines that run 32-bit code natively are not touched.
emulate_i386_where_needed() {
  [ -x /usr/lib/wine/wine ] || return 0
  local existing
  existing=$(binfmt_i386_entry any)
  if [ -n "$existing" ]; then
    [ "$existing" = "$BINFMT_SETUP_NAME" ] || echo "setup: i386 programs are registered in binfmt_misc as $existing; left as it is"
    return 0
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  command -v qemu-i386 >/dev/null || install_packages qemu-user
  if binfmt_register_i386 "$BINFMT_SETUP_NAME"; then
    echo "setup: this machine cannot execute 32-bit code; i386 programs now run under $(command -v qemu-i386) (binfmt_misc entry $BINFMT_SETUP_NAME)"
  else
    echo "setup: this machine cannot execute 32-bit code, and qemu-i386 could not be registered in binfmt_misc (needs root and the binfmt_misc file system); the 32-bit tests will not run"
  fi
}
emulate_i386_where_needed
# SLATEWASH_WIN32=emulate forces the emulated run on any machine; test.sh
# registers QEMU for that run only.
if [ "${SLATEWASH_WIN32:-}" = emulate ] && ! command -v qemu-i386 >/dev/null; then
  install_packages qemu-user
fi

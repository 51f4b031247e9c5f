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
# Idempotent: returns within seconds, without apt, when everything is
# already installed. Survives an archive in the middle of a sync (apt-get
# update tried three times, an install that cannot be resolved tried again
# with the release's own suite preferred); where the 32-bit packages still
# cannot be installed, installs the rest, and the 32-bit tests do not run.
# Fails only when the rest cannot be installed. Changes no apt source or
# preference.
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
export DEBIAN_FRONTEND=noninteractive
# Where the 32-bit packages could not be installed, why: can-run-win32.sh
# gives it as the reason the 32-bit suite does not run.
note_32bit="$(dirname "$0")/../build/setup-32bit-problem.txt"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done

# The archive can be in the middle of a sync: an index then arrives at
# another size than its release file says, apt-get update exits 100, and the
# next minutes it does the same. Three tries, then on with what arrived.
# Runs apt-get with its output shown and kept in `log`; its exit code.
apt_logged() {
  "${sudo_cmd[@]}" apt-get "$@" 2>&1 | tee "$log"
  return "${PIPESTATUS[0]}"
}

apt_updated=0
update_package_lists() {
  [ $apt_updated = 0 ] || return 0
  apt_updated=1
  local try log failed
  log=$(mktemp)
  for try in 1 2 3; do
    if apt_logged update -q; then
      rm -f "$log"; return 0
    fi
    [ $try = 3 ] || { echo "setup: apt-get update failed (try $try of 3); trying again in 10 s" >&2; sleep 10; }
  done
  failed=$(sed -n 's/^Err:[0-9]* //p' "$log" | sort -u | paste -sd ';' | sed 's/;/; /g')
  rm -f "$log"
  echo "setup: apt-get update failed 3 times; going on without ${failed:-the indexes that failed}" >&2
}

# apt-get's reason for the last failed install, in one line.
install_problem=
# Installs the packages; when the plain install cannot be resolved (as when
# the security archive's lists of one architecture are missing, and
# multi-arch packages get two versions), once more with the release's own
# suite preferred. The machine's sources and preferences stay as they are.
install_resolving() {
  local log suite
  log=$(mktemp)
  echo "setup: installing $*"
  if apt_logged install -y -q --no-install-recommends "$@"; then
    rm -f "$log"; return 0
  fi
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ -n "$suite" ]; then
    echo "setup: the install failed; trying once more with the release's own suite preferred (apt-get install -t $suite)" >&2
    if apt_logged install -y -q --no-install-recommends -t "$suite" "$@"; then
      rm -f "$log"; return 0
    fi
  fi
  install_problem=$(grep -m1 -E '^ +[^ ]+ : (Pre)?Depends:|^E: ' "$log" | sed 's/^ *//')
  rm -f "$log"
  return 1
}

install_packages() {
  update_package_lists
  install_resolving "$@"
}

# Everything first. If that fails, the rest without the 32-bit packages: the
# 64-bit suite then runs, and test.sh says why the 32-bit one does not.
# Only a machine that cannot get the rest fails here.
install_missing() {
  local native=() foreign=() p
  for p in "${missing[@]}"; do
    case $p in *:i386) foreign+=("$p") ;; *) native+=("$p") ;; esac
  done
  if install_packages "${missing[@]}"; then
    rm -f "$note_32bit"; return 0
  fi
  if [ ${#foreign[@]} -eq 0 ] || { [ ${#native[@]} -gt 0 ] && ! install_resolving "${native[@]}"; }; then
    echo "setup: FAILED: the tool chain and Wine cannot be installed: ${install_problem:-apt-get failed}" >&2
    exit 1
  fi
  mkdir -p "$(dirname "$note_32bit")"
  echo "the 32-bit packages could not be installed (${install_problem:-apt-get failed})" > "$note_32bit"
  echo "setup: $(cat "$note_32bit"); the rest is installed, and the 32-bit tests will not run" >&2
}

if [ ${#missing[@]} -eq 0 ]; then
  rm -f "$note_32bit"
  echo "setup: everything is installed"
else
  install_missing
  echo "setup: done"
fi

# With the 32-bit runs switched off, emulation is neither set up nor undone.
[ "${SLATEWASH_WIN32:-}" != 0 ] || exit 0
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
  command -v qemu-i386 >/dev/null || install_packages qemu-user || true
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
  install_packages qemu-user || echo "setup: qemu-user could not be installed (${install_problem:-apt-get failed}); the emulated run cannot start" >&2
fi

#!/usr/bin/env bash
# Sourced by setup.sh, can-run-win32.sh and test.sh: the binfmt_misc
# registration that runs i386 programs under QEMU's user-mode emulation,
# for the 32-bit tests where the kernel cannot execute 32-bit code.
# The registrations this project makes carry these names; any other is left
# as it is.
BINFMT_DIR=/proc/sys/fs/binfmt_misc
BINFMT_SETUP_NAME=slatewash-i386          # made by setup.sh where 32-bit code cannot run natively
BINFMT_FORCED_NAME=slatewash-i386-forced  # made by test.sh for SLATEWASH_WIN32=emulate, removed on exit
# ELF, 32-bit, little-endian, executable or shared object, machine i386.
BINFMT_I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
BINFMT_I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
BINFMT_I386_HEX=7f454c4601010100000000000000000002000300

binfmt_mounted() {
  [ -e "$BINFMT_DIR/register" ]
}

binfmt_mount() {
  binfmt_mounted || mount -t binfmt_misc binfmt_misc "$BINFMT_DIR" 2>/dev/null
}

# The name of the enabled registration that takes i386 programs, if any;
# with "any", of a disabled one too.
binfmt_i386_entry() {  # [any]
  binfmt_mounted || return 0
  local entry
  for entry in "$BINFMT_DIR"/*; do
    case "${entry##*/}" in register|status) continue ;; esac
    [ -f "$entry" ] || continue
    if { [ "${1:-}" = any ] || grep -qx enabled "$entry"; } && grep -q "^magic $BINFMT_I386_HEX" "$entry"; then
      echo "${entry##*/}"
      return 0
    fi
  done
}

# Registers qemu-i386 under `name`; F opens the interpreter now, so it also
# serves Wine's processes whatever their mount view.
binfmt_register_i386() {  # name
  local qemu
  qemu=$(command -v qemu-i386) || return 1
  binfmt_mount || return 1
  printf ':%s:M::%s:%s:%s:F' "$1" "$BINFMT_I386_MAGIC" "$BINFMT_I386_MASK" "$qemu" > "$BINFMT_DIR/register"
}

binfmt_remove() {  # name
  [ -e "$BINFMT_DIR/$1" ] && echo -1 > "$BINFMT_DIR/$1"
}

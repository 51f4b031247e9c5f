#!/usr/bin/env bash
# What scripts/setup.sh decides when the package archive misbehaves, with
# stand-ins for apt-get, dpkg-query, dpkg and sleep first on PATH: each case
# answers as its row says, and the commands setup.sh gave, its messages and
# its exit code are checked. No network, no Wine, and nothing on the machine
# is touched (a copy of the script runs in a folder of its own).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")

mkdir -p "$work/bin"
cat > "$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
# One word a call: update, install or install-t, with /64 when no :i386 package is asked for.
args=" $* "; call=$1; [[ $args == *" -t "* ]] && call+=-t; [[ $args == *:i386* ]] || [ "$1" = update ] || call+=/64
echo "$call" >> "$FAKE_LOG"
if [ "$1" = update ]; then
  n=$(grep -c '^update' "$FAKE_LOG"); read -ra answers <<< "$FAKE_UPDATE"
  [ "${answers[n-1]:-${answers[-1]}}" = ok ] && exit 0
  echo "Err:4 http://deb.debian.org/debian-security $FAKE_SUITE-security/main i386 Packages"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."; exit 100
fi
case $FAKE_INSTALL in
  ok) exit 0 ;;
  plain-fails) [[ $call == install-t* ]] && exit 0 ;;
  i386-fails) [[ $call == */64 ]] && exit 0 ;;
esac
echo " libgl1:i386 : Depends: libglx0:i386 (= 1.6.0-1) but it is not going to be installed"
echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100
EOF
cat > "$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
[ "$FAKE_INSTALLED" = all ] && printf installed
EOF
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386 || echo "dpkg $*" >> "$FAKE_LOG"\n' > "$work/bin/dpkg"
printf '#!/bin/sh\necho "sleep$1" >> "$FAKE_LOG"\n' > "$work/bin/sleep"
printf '#!/bin/sh\nexec "$@"\n' > "$work/bin/sudo"
chmod +x "$work/bin/"*

failures=0
# name | apt-get update answers, in turn | install | installed | exit | apt-get calls | message
while IFS='|' read -r name update install installed code calls message; do
  tree=$work/$name
  mkdir -p "$tree/scripts" "$tree/build"
  cp "$here/scripts/setup.sh" "$here/scripts/binfmt-i386.sh" "$tree/scripts/"
  echo "an old problem" > "$tree/build/setup-32bit-problem.txt"
  : > "$tree/log"
  out=$(FAKE_LOG=$tree/log FAKE_UPDATE=$update FAKE_INSTALL=$install FAKE_INSTALLED=$installed FAKE_SUITE=$suite \
        SLATEWASH_WIN32=0 PATH="$work/bin:$PATH" bash "$tree/scripts/setup.sh" 2>&1)
  got=$?
  seen=$(paste -sd ' ' "$tree/log")
  note=$(cat "$tree/build/setup-32bit-problem.txt" 2>/dev/null)
  message=${message//@suite@/$suite}
  problems=()
  [ "$got" = "$code" ] || problems+=("exit code $got, not $code")
  [ "$seen" = "$calls" ] || problems+=("commands [$seen], not [$calls]")
  [[ $out == *"$message"* ]] || problems+=("no message \"$message\"")
  if [ "$install" = i386-fails ]; then
    [[ $note == "the 32-bit packages could not be installed (libgl1:i386 : Depends: libglx0:i386"* ]] || problems+=("32-bit note [$note]")
  elif [ "$code" = 0 ] && [ -n "$note" ]; then
    problems+=("a 32-bit note is left: [$note]")
  fi
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok      $name"
  else
    failures=$((failures + 1))
    printf 'FAILED  %s: %s\n%s\n' "$name" "$(IFS=';'; echo "${problems[*]}")" "$out" | sed '2,$s/^/        /'
  fi
done <<'EOF'
update-fails-once|fail ok|ok|none|0|update sleep10 update install|apt-get update failed (try 1 of 3); trying again in 10 s
update-keeps-failing|fail|plain-fails|none|0|update sleep10 update sleep10 update install install-t|going on without http://deb.debian.org/debian-security @suite@-security/main i386 Packages
install-resolves-with-suite|ok|plain-fails|none|0|update install install-t|trying once more with the release's own suite preferred (apt-get install -t @suite@)
only-32-bit-fails|ok|i386-fails|none|0|update install install-t install/64|the rest is installed, and the 32-bit tests will not run
nothing-installs|ok|all-fail|none|1|update install install-t install/64 install-t/64|FAILED: the tool chain and Wine cannot be installed: libgl1:i386 : Depends
all-installed|fail|all-fail|all|0||setup: everything is installed
EOF
echo "setup cases: $failures failed"
[ $failures -eq 0 ]

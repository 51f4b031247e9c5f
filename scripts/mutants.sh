#!/usr/bin/env bash
# Mutation check: plants each fault in turn into a copy of this tree,
# rebuilds the 64-bit test build there and runs the whole suite; a mutant is
# killed when a test fails, invalid when it does not build. About a minute a
# mutant.
#   bash scripts/mutants.sh [list, default tests/mutants.txt]
#   bash scripts/mutants.sh --generate N [--seed S, default 1] [--operators old|new|all, default all]
#                           [--part K/M: only the sites K, K+M, K+2M, ... of the sample (or the
#                            list), from 0, so that M clones of the tree can share the work]
#                           [--sites FILE: that list of sites (in the list's format) instead of a
#                            sample, to judge again the sites of an earlier run]
# A line of the list: file <TAB> exact original text <TAB> replacement <TAB>
# the fault in a few words ("equivalent: why" for one no user or file could
# tell). The original must occur exactly once in the file. Lines starting
# with # are comments.
# --generate draws N of the sites that scripts/mutant_sites.py finds by
# applying mutation operators mechanically to src/, reproducibly for a seed,
# and prints each verdict with file:line, the operator and the change. A
# family or sibling replacement that does not build is replaced by the next
# of its site's further replacements; the site is invalid when none builds.
set -euo pipefail
cd "$(dirname "$0")/.."
generate=0; seed=1; operators=all; part=0/1; sites=; list=
while [ $# -gt 0 ]; do
  case $1 in
    --generate) generate=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --operators) operators=$2; shift 2 ;;
    --part) part=$2; shift 2 ;;
    --sites) sites=$(realpath "$2"); generate=1; shift 2 ;;
    *) list=$1; shift ;;
  esac
done
list=$(realpath "${list:-tests/mutants.txt}")

bash scripts/setup.sh >/dev/null
# A copy of its own, so that the working tree and its builds stay untouched.
# Made anew every time: copied files keep their old times, which would let
# the build keep objects of an earlier run's mutants.
work=build/mutants
rm -rf "$work"
mkdir -p "$work"
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work"

cd "$work"
cmake --preset x64-test >/dev/null
cmake --build --preset x64-test >/dev/null

source scripts/xvfb.sh
start_private_display
WINEPREFIX="$PWD/build/x64-test/wineprefix" scripts/wine-run.sh win64 --prepare >/dev/null 2>&1 || true
if ! ctest --preset x64-test > build/unmutated.log 2>&1; then
  tail -12 build/unmutated.log
  echo "mutants: the suite fails without any mutant (see $work/build/unmutated.log)"
  exit 1
fi

# The files of the test build's data areas (the test executables' folder and
# the program folders beside them) after a clean run. Whatever a mutant's run
# leaves there is removed before the next one: a file left behind would fail
# every later mutant's suite and count them all as killed.
data_files() {
  find build/x64-test/tests -path build/x64-test/tests/CMakeFiles -prune -o -type f -print | sort
}
data_files > build/clean-data-files.txt
remove_leftovers() {
  data_files | comm -13 build/clean-data-files.txt - | while IFS= read -r left; do
    rm -f "$left"
    echo "          (removed what the run left: ${left#build/x64-test/tests/})"
  done
}

killed=0; survived=0; equivalent=0; invalid=0

# Builds and runs the suite against the planted mutant of `file`, restores
# the file and says the verdict.
judge() {  # file description [equivalent]
  local verdict
  if ! cmake --build --preset x64-test >/dev/null 2>&1; then
    verdict="invalid  "; invalid=$((invalid + 1))
    [ -z "${on_invalid:-}" ] || { mv "$1.orig" "$1"; touch "$1"; return 1; }
  elif ctest --preset x64-test --stop-on-failure >/dev/null 2>&1; then
    verdict="survived "; survived=$((survived + 1))
    [ -z "${3:-}" ] || equivalent=$((equivalent + 1))
  else
    verdict="killed   "; killed=$((killed + 1))
  fi
  mv "$1.orig" "$1"
  touch "$1"  # newer than the mutant's object file, so the next build recompiles it
  echo "$verdict $2"
  remove_leftovers
}

tab=$'\t'
index=-1
in_part() {  # counts the entry and says whether it is this part's
  index=$((index + 1))
  [ $((index % ${part#*/})) -eq "${part%/*}" ]
}
if [ "$generate" -gt 0 ]; then
  if [ -n "$sites" ]; then cp "$sites" build/generated.txt
  else python3 scripts/mutant_sites.py list "$seed" "$generate" "$operators" > build/generated.txt; fi
  head -2 build/generated.txt
  while IFS= read -r entry; do
    [ "${entry:0:1}" = "#" ] && continue
    in_part || continue
    # A separator that is no blank, so that empty fields stay fields.
    IFS=$'\x1f' read -r file line column original replacement operator further <<< "${entry//"$tab"/$'\x1f'}"
    for choice in "$replacement" $further; do
      cp "$file" "$file.orig"
      python3 scripts/mutant_sites.py apply "$file" "$line" "$column" "$original" "$choice"
      if [ -z "$original$choice" ]; then change="rows $line and $((line + 1)) swapped"
      else change="'$original' -> '$choice'"; fi
      # Another replacement is tried only while one is left.
      on_invalid=; [ "$choice" = "${further##* }" ] || [ -z "$further" ] || on_invalid=next
      if judge "$file" "$file:$line: $operator: $change" < /dev/null; then break; fi
      invalid=$((invalid - 1))
      echo "          ('$choice' does not build; the next replacement)"
    done
  done < build/generated.txt
else
  while IFS= read -r line || [ -n "$line" ]; do
    [ -z "$line" ] || [ "${line:0:1}" = "#" ] && continue
    in_part || continue
    # Split by hand: read would merge the two tabs around an empty replacement.
    file=${line%%"$tab"*}; rest=${line#*"$tab"}
    original=${rest%%"$tab"*}; rest=${rest#*"$tab"}
    replacement=${rest%%"$tab"*}; fault=${rest#*"$tab"}
    content=$(cat "$file"; printf x); content=${content%x}
    rest=${content#*"$original"}
    if [ "$rest" = "$content" ] || [ "${rest#*"$original"}" != "$rest" ]; then
      echo "invalid   $file: the original text is not there exactly once: $original"
      invalid=$((invalid + 1)); continue
    fi
    cp "$file" "$file.orig"
    printf '%s' "${content/"$original"/"$replacement"}" > "$file"
    marked=; [ "${fault#equivalent:}" = "$fault" ] || marked=yes
    judge "$file" "$file: $fault" "$marked" < /dev/null
  done < "$list"
fi

[ "$invalid" -eq 0 ] || echo "mutants: $invalid mutants did not build or did not apply"
[ "$equivalent" -eq 0 ] || echo "mutants: $equivalent of the survivors are marked equivalent"
echo "$killed killed, $survived survived"

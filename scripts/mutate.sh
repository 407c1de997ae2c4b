#!/usr/bin/env bash
# A check of the tests themselves: applies each one-line mutant of scripts/mutants.txt in turn,
# rebuilds build/, runs the mutant's area with CTest and counts the mutant caught when a test
# fails. Prints each surviving mutant and the catch rate per area; the sources are restored
# after every mutant (and on interruption). Not part of the test command: it takes minutes.
# The sources are changed in place: build nothing else from this tree (build-sanitize/ included)
# while it runs, or that build may take in a mutant.
#   scripts/mutate.sh [AREA...]        (no area: every area in the list)
#   scripts/mutate.sh --check [AREA...]   (only reports stale lines; builds and tests nothing)
# A list line: AREA<TAB>FILE<TAB>TEXT<TAB>REPLACEMENT, TEXT standing exactly once in FILE. A line
# whose text stands there no longer (or more than once) is stale: it is reported, counted and
# makes the script end with status 1, since a mutant left out silently would flatter the rate.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/scripts/mutants.txt
build=$root/build
jobs=${PIGMORA_JOBS:-2}
cd "$root"
check_only=0
if [ "${1:-}" = --check ]; then check_only=1; shift; fi

# Exit status 3 and the reason on stderr when the text does not stand exactly once.
apply_mutant() {
  python3 - "$@" <<'PY'
import sys
path, text, replacement, write = sys.argv[1:]
try:
    source = open(path).read()
except OSError as error:
    sys.stderr.write(f"cannot read it ({error.strerror})\n")
    sys.exit(3)
count = source.count(text)
if count != 1:
    sys.stderr.write(f"the text stands {count} times\n")
    sys.exit(3)
if write == "1":
    open(path, "w").write(source.replace(text, replacement))
PY
}

if [ "$check_only" = 1 ]; then
  areas=("$@")
  status=0
  while IFS= read -r entry; do
    IFS=$'\t' read -r area file text replacement <<<"$entry"
    [[ -z "$area" || "$area" == \#* ]] && continue
    if [ ${#areas[@]} -gt 0 ] && [[ ! " ${areas[*]} " == *" $area "* ]]; then continue; fi
    if ! reason=$(apply_mutant "$file" "$text" "$replacement" 0 2>&1); then
      echo "stale ($area): $file: $reason: $text"
      status=1
    fi
  done <"$list"
  exit $status
fi

"$root/scripts/build.sh" release >/dev/null || { echo "mutate.sh: the unmutated tree does not build" >&2; exit 1; }

backup=$(mktemp)
current=
restore() { if [ -n "$current" ]; then cp "$backup" "$current"; current=; fi; }
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

declare -A tried caught broken stale
areas=("$@")
mapfile -t entries <"$list"  # read up front: the list may be edited while this runs
for entry in "${entries[@]}"; do
  IFS=$'\t' read -r area file text replacement <<<"$entry"
  [[ -z "$area" || "$area" == \#* ]] && continue
  if [ ${#areas[@]} -gt 0 ] && [[ ! " ${areas[*]} " == *" $area "* ]]; then continue; fi
  if [ -f "$file" ]; then cp "$file" "$backup" && current=$file; fi
  if ! reason=$(apply_mutant "$file" "$text" "$replacement" 1 2>&1); then
    stale[$area]=$(( ${stale[$area]:-0} + 1 ))
    echo "stale ($area): $file: $reason: $text"
    restore
    continue
  fi
  tried[$area]=$(( ${tried[$area]:-0} + 1 ))
  if ! cmake --build "$build" -j "$jobs" >/dev/null 2>&1; then
    broken[$area]=$(( ${broken[$area]:-0} + 1 ))
    echo "does not build ($area): $file: $text -> $replacement"
  elif ctest --test-dir "$build" -R "^${area}\\." -j "$jobs" --timeout 60 >/dev/null 2>&1; then
    echo "survived ($area): $file: $text -> $replacement"
  else
    caught[$area]=$(( ${caught[$area]:-0} + 1 ))
  fi
  restore
done

cmake --build "$build" -j "$jobs" >/dev/null 2>&1  # back to the sources as they are
echo "Caught per area (mutants that do not build are left out):"
status=0
for area in $(printf '%s\n' "${!tried[@]}" "${!stale[@]}" | sort -u); do
  viable=$(( ${tried[$area]:-0} - ${broken[$area]:-0} ))
  line="  $area: ${caught[$area]:-0} of $viable"
  [ "$viable" -gt 0 ] && line+=" ($(( 100 * ${caught[$area]:-0} / viable ))%)"
  if [ -n "${stale[$area]:-}" ]; then
    line+=", ${stale[$area]} stale line(s) not tried"
    status=1
  fi
  echo "$line"
done
exit $status

#!/usr/bin/env bash
# A check of the tests themselves: applies each one-line mutant of scripts/mutants.txt in turn,
# rebuilds build/, runs the mutant's area with CTest and counts the mutant caught when a test
# fails. Prints each surviving mutant and the catch rate per area; the sources are restored
# after every mutant (and on interruption). Not part of the test command: it takes minutes.
#   scripts/mutate.sh [AREA...]        (no area: every area in the list)
# A list line: AREA<TAB>FILE<TAB>TEXT<TAB>REPLACEMENT, TEXT standing exactly once in FILE.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/scripts/mutants.txt
build=$root/build
jobs=${PIGMORA_JOBS:-2}
cd "$root"

"$root/scripts/build.sh" release >/dev/null || { echo "mutate.sh: the unmutated tree does not build" >&2; exit 1; }

backup=$(mktemp)
current=
restore() { if [ -n "$current" ]; then cp "$backup" "$current"; current=; fi; }
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

declare -A tried caught broken
areas=("$@")
mapfile -t entries <"$list"  # read up front: the list may be edited while this runs
for entry in "${entries[@]}"; do
  IFS=$'\t' read -r area file text replacement <<<"$entry"
  [[ -z "$area" || "$area" == \#* ]] && continue
  if [ ${#areas[@]} -gt 0 ] && [[ ! " ${areas[*]} " == *" $area "* ]]; then continue; fi
  cp "$file" "$backup"
  current=$file
  if ! python3 - "$file" "$text" "$replacement" <<'PY'; then
import sys
path, text, replacement = sys.argv[1:]
source = open(path).read()
if source.count(text) != 1:
    sys.exit(f"{path}: the text stands {source.count(text)} times: {text}")
open(path, "w").write(source.replace(text, replacement))
PY
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
for area in $(printf '%s\n' "${!tried[@]}" | sort); do
  viable=$(( ${tried[$area]} - ${broken[$area]:-0} ))
  echo "  $area: ${caught[$area]:-0} of $viable"
done

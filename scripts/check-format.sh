#!/usr/bin/env bash
# Lists the C++ files that differ from .clang-format (fix with clang-format -i FILE).
# Reports only: the exit status is 0 either way, so a formatting slip never hides a test result.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null 2>&1; then
  echo "Format: clang-format is not installed; not checked"
  exit 0
fi
unformatted=()
while IFS= read -r -d '' file; do
  clang-format "$file" | cmp -s - "$file" || unformatted+=("$file")
done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' '*.hpp' '*.cc')
if [ ${#unformatted[@]} -eq 0 ]; then
  echo "Format: every C++ file matches .clang-format"
else
  echo "Format: ${#unformatted[@]} file(s) differ from .clang-format (run clang-format -i on them):"
  printf '  %s\n' "${unformatted[@]}"
fi

#!/usr/bin/env bash
# Sets up, builds and runs every test: the release build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzz run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=${PIGMORA_JOBS:-2}

"$root/scripts/build.sh" release
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

"$root/scripts/build.sh" sanitize
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"

if [ -x "$root/scripts/fuzz.sh" ]; then
  "$root/scripts/fuzz.sh" "${PIGMORA_FUZZ_SECONDS:-60}"
fi

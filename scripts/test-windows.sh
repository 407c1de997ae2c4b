#!/usr/bin/env bash
# Builds the Windows flavour (MinGW-w64) and runs its tests as Windows programs under Wine:
# the plug-in's areas and those of the platform libraries with a Win32 side.
#   scripts/test-windows.sh [CTEST ARGUMENT...]
# One wineserver serves the whole run (each program would otherwise start and stop its own); the
# Wine prefix lives in build-windows/wineprefix, and no display is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${PIGMORA_JOBS:-2}
build=$root/build-windows

"$root/scripts/build.sh" windows

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=d
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
# Stopped however the run ends, so that no Wine process outlives it.
trap 'wineserver -k 2>/dev/null || true' EXIT
# One already serving this prefix (an earlier run's, or the round trip's) is used as it is.
wineserver -p 2>/dev/null || true
# The first start makes the prefix: done once here, not inside the first test's time limit.
wineboot -i >/dev/null 2>&1
# Wine links the prefix's user folders (Documents, Desktop, ...) to the Linux user's own: a
# program that falls back to the system's documents folder must not write into the real one.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$folder" ]; then rm -f "$folder" && mkdir "$folder"; fi
done

ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"

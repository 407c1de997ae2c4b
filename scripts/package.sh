#!/usr/bin/env bash
# Sets up, builds the release tree and makes the Debian package build/pigmora-applink_VERSION_ARCH.deb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
cd "$root/build"
cpack -G DEB --config CPackConfig.cmake
ls -1 "$root"/build/*.deb

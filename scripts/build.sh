#!/usr/bin/env bash
# Configures and builds one flavour: scripts/build.sh [release|sanitize|fuzz]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-release}
jobs=${PIGMORA_JOBS:-2}
case "$flavour" in
  release)  dir=$root/build;          args=() ;;
  sanitize) dir=$root/build-sanitize; args=(-DPIGMORA_SANITIZE=ON -DPIGMORA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  fuzz)     dir=$root/build-fuzz;     args=(-DPIGMORA_FUZZ=ON -DPIGMORA_TESTS=OFF -DPIGMORA_BENCH=OFF
                                             -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"

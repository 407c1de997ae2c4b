#!/usr/bin/env bash
# Configures and builds one flavour, all of it or the named targets:
#   scripts/build.sh [release|sanitize|clang|fuzz|windows] [TARGET...]
# windows cross-compiles with MinGW-w64 into build-windows/ (DLLs and .exe files for Wine).
# Every flavour treats warnings as errors; a plain CMake build does not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-release}
shift || true
jobs=${PIGMORA_JOBS:-2}
clang=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
case "$flavour" in
  release)  dir=$root/build;          args=() ;;
  sanitize) dir=$root/build-sanitize; args=(-DPIGMORA_SANITIZE=ON -DPIGMORA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  clang)    dir=$root/build-clang;    args=("${clang[@]}" -DPIGMORA_BENCH=OFF -DCMAKE_BUILD_TYPE=Release) ;;
  fuzz)     dir=$root/build-fuzz;     args=("${clang[@]}" -DPIGMORA_FUZZ=ON -DPIGMORA_TESTS=OFF -DPIGMORA_BENCH=OFF) ;;
  windows)  dir=$root/build-windows;  args=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
                                            -DPIGMORA_BENCH=OFF -DPIGMORA_TESTS=ON -DCMAKE_BUILD_TYPE=Release) ;;
  *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja -DPIGMORA_WERROR=ON "${args[@]}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$dir" -j "$jobs" "${targets[@]}"

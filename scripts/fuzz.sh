#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) and shares SECONDS (default 60) between them: half for the
# FBX reader fuzzer, a third for the receive fuzzer, a sixth for the registry file fuzzer:
#   scripts/fuzz.sh [SECONDS]
# The runs start from a fixed random seed (PIGMORA_FUZZ_SEED, default 1), so a
# clean run here is a clean run in CI; set another seed to explore further.
# Seeds: the shared FBX corpus (when present), the writers' own output, the stand-in peer's
# answers (fuzz/receive-seeds) and the kept regression inputs. Findings go to fuzz-artifacts/; the script then exits non-zero.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
seed=${PIGMORA_FUZZ_SEED:-1}

"$root/scripts/build.sh" fuzz fbx_reader_fuzzer registry_document_fuzzer receive_fuzzer
fuzzer=$root/build-fuzz/bin/fbx_reader_fuzzer
if [ ! -x "$fuzzer" ]; then
  echo "fuzz.sh: $fuzzer was not built (needs clang and libclang-rt)" >&2
  exit 1
fi

corpus=$root/build-fuzz/fuzz-corpus
seeds=$root/build-fuzz/fuzz-seeds
artifacts=$root/fuzz-artifacts
mkdir -p "$corpus" "$seeds" "$artifacts"
shared=${FBX_CORPUS_DIR:-$root/../shared/fbx-corpus}
if [ -d "$shared" ]; then cp -f "$shared"/*.fbx "$seeds"/ 2>/dev/null || true; fi
cp -f "$root"/tests/fbxsdk/regressions/*.fbx "$seeds"/ 2>/dev/null || true
# Writes the writers' own output into the seeds and checks that every seed reads cleanly.
if ! FBX_FUZZ_SEED_DIR=$seeds "$fuzzer" -runs=0 "$seeds" >"$artifacts/seed-check.log" 2>&1; then
  cat "$artifacts/seed-check.log" >&2
  exit 1
fi

# One process: the machine's two cores are shared with the rest of the test run.
"$fuzzer" "$corpus" "$seeds" \
  -dict="$root/fuzz/fbx.dict" -seed="$seed" \
  -max_total_time=$(( (seconds + 1) / 2 )) -max_len=131072 -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
  -artifact_prefix="$artifacts/" -print_final_stats=1

# The receive: answers (FBX and texture list) into a project. The FBX context's version
# lines on standard output are silenced.
receive_fuzzer=$root/build-fuzz/bin/receive_fuzzer
receive_corpus=$root/build-fuzz/receive-corpus
receive_seeds=$root/build-fuzz/receive-seeds
mkdir -p "$receive_corpus" "$receive_seeds"
cp -f "$root"/fuzz/receive-seeds/* "$root"/tests/receive/fuzz-regressions/*.bin "$receive_seeds"/ 2>/dev/null || true
if [ -d "$shared" ]; then cp -f "$shared"/*.fbx "$receive_seeds"/ 2>/dev/null || true; fi
cat "$root/fuzz/fbx.dict" "$root/fuzz/textures.dict" >"$root/build-fuzz/receive.dict"
"$receive_fuzzer" "$receive_corpus" "$receive_seeds" \
  -dict="$root/build-fuzz/receive.dict" -seed="$seed" -close_fd_mask=1 \
  -max_total_time=$(( (seconds + 2) / 3 )) -max_len=131072 -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
  -artifact_prefix="$artifacts/receive-" -print_final_stats=1

registry_fuzzer=$root/build-fuzz/bin/registry_document_fuzzer
if [ -x "$registry_fuzzer" ]; then
  registry_corpus=$root/build-fuzz/registry-corpus
  mkdir -p "$registry_corpus"
  "$registry_fuzzer" "$registry_corpus" -seed="$seed" -max_total_time=$(( (seconds + 5) / 6 )) \
    -max_len=4096 -timeout=10 -artifact_prefix="$artifacts/registry-" -print_final_stats=1
fi

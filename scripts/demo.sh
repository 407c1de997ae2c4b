#!/usr/bin/env bash
# Sets up, builds and runs the main job: the stand-in host loads Pigmora.hxt and
# shows what it offers. Documents and registry go to a scratch folder unless
# HASH_DOCUMENTS_DIR / HASH_REGISTRY_FILE say otherwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
scratch=${PIGMORA_DEMO_DIR:-$root/build/demo}
mkdir -p "$scratch"
export HASH_DOCUMENTS_DIR=${HASH_DOCUMENTS_DIR:-$scratch/Documents}
export HASH_REGISTRY_FILE=${HASH_REGISTRY_FILE:-$scratch/registry.ini}
mkdir -p "$HASH_DOCUMENTS_DIR"
"$root/build/bin/hashhost" -c "plugins; tree"
echo "Exchange folder: $HASH_DOCUMENTS_DIR/PigmoraV3/Exchange"
echo "Registry file:   $HASH_REGISTRY_FILE"

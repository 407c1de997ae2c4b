#!/bin/sh
# Installs the build tree into a temporary prefix and runs the installed host from there:
# it must find its libraries and the plug-in relative to itself, never in the build tree.
#   check_install.sh CMAKE BUILD_DIR
set -eu
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in "$prefix"/bin/hashhost "$prefix"/bin/pigmora-peer "$prefix"/lib/*/hashhost/*.so "$prefix"/lib/*/hashhost/plugins/Pigmora.hxt; do
  if readelf -d "$file" | grep -E 'R(UN)?PATH' | grep -qv 'ORIGIN'; then
    echo "$file keeps a path outside the installed tree:" >&2
    readelf -d "$file" | grep -E 'R(UN)?PATH' >&2
    exit 1
  fi
done
[ -f "$prefix"/share/hashhost/data/sample_color.tga ] || { echo "sample images not installed" >&2; exit 1; }

# Documents and registry in the temporary prefix, never the user's own.
HASH_DOCUMENTS_DIR=$prefix/documents HASH_REGISTRY_FILE=$prefix/registry.ini \
  "$prefix"/bin/hashhost -c 'plugins; tree' >"$prefix/out.txt" 2>&1 || { cat "$prefix/out.txt" >&2; exit 1; }
cat "$prefix/out.txt"
grep -q 'Pigmora' "$prefix/out.txt" || { echo "the installed host did not load Pigmora.hxt" >&2; exit 1; }
grep -q 'Model "Sample"' "$prefix/out.txt" || { echo "the installed host has no sample model" >&2; exit 1; }
# The sample model's images are the installed ones.
images=$(sed -n 's/.*Image ".*" file="\(.*\)"$/\1/p' "$prefix/out.txt")
[ -n "$images" ] || { echo "the sample model has no images" >&2; exit 1; }
for image in $images; do
  case "$image" in
    "$prefix"/share/hashhost/data/*) [ -f "$image" ] || { echo "missing image $image" >&2; exit 1; } ;;
    *) echo "image outside the installed tree: $image" >&2; exit 1 ;;
  esac
done

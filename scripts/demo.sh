#!/usr/bin/env bash
# The main job: sets up, builds, then sends the stand-in host's built-in sample
# model to the stand-in peer, lets the peer paint and answer, and brings the
# painted model back into the host's project, where it replaces the sample.
# Everything runs headless with a fresh documents folder and registry in
# build/demo (or PIGMORA_DEMO_DIR); the received model is written there as OBJ
# with its textures, and pictures of the model before and after are drawn.
# With --windows the same round trip then runs once more with the Windows build
# under Wine (the host, its plug-in and the peer as Windows programs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
windows=0
for arg in "$@"; do
  case "$arg" in
    --windows) windows=1 ;;
    *) echo "usage: scripts/demo.sh [--windows]" >&2; exit 2 ;;
  esac
done
"$root/scripts/setup.sh"
# Only what the job runs: the host, its plug-in and the peer (scripts/test.sh builds the rest).
"$root/scripts/build.sh" release hashhost Pigmora pigmora-peer
bin=$root/build/bin

demo=${PIGMORA_DEMO_DIR:-$root/build/demo}
rm -rf "$demo"
mkdir -p "$demo/Documents" "$demo/received"
export HASH_DOCUMENTS_DIR=$demo/Documents
export HASH_REGISTRY_FILE=$demo/registry.ini
exchange=$HASH_DOCUMENTS_DIR/PigmoraV3/Exchange

# Pigmora's path is set (the send refuses while it is not), colour, specular and
# normal map are asked for, colour as PNG, and the answer is picked up by the
# plug-in's one-second timer.
cat > "$HASH_REGISTRY_FILE" <<EOF
[Pigmora]
exePath=$bin/pigmora-peer
ExportColor=1
ExportSpecular=1
ExportNormalmap=1
ColorFileExtension=2
AutoImport=1
EOF

# The peer watches the exchange folder while the host runs.
"$bin/pigmora-peer" --watch --stop-after 60 --size 256 >"$demo/peer.log" 2>&1 &
peer=$!
trap 'kill $peer 2>/dev/null || true' EXIT

echo "== The host sends the sample (Pigmora command 0, first mode button), the peer answers, the timer receives"
# Pictures of the model before the send and after the receive, drawn off screen.
"$bin/hashhost" -c "render Sample $demo/sent.png; run Pigmora 0 Objects/Sample; click 1001; wait 6; tree;
                    save-obj Sample $demo/received/Sample.obj; render Sample $demo/received/Sample.png" \
  >"$demo/host.log" 2>&1 || { cat "$demo/host.log"; echo "demo: the host run failed" >&2; exit 1; }
kill $peer 2>/dev/null || true
wait $peer 2>/dev/null || true

echo
echo "== Written by the send"
ls -l "$exchange/import.txt" "$exchange/Hash/data/export.fbx" | awk '{print "  " $5 " bytes  " $9}'
echo
echo "== Written by the peer"
grep -v '^pigmora-peer: watching' "$demo/peer.log" | sed 's/^/  /'
echo
if [ -e "$exchange/export.txt" ] || [ -e "$exchange/textures.txt" ]; then
  echo "demo: the answer was not picked up" >&2
  cat "$demo/host.log" >&2
  exit 1
fi
echo "== The host's project afterwards (the answer files are gone from the exchange folder)"
grep -E '^(run|status:|saved|rendered|\[)|^ *(Project|Folder|Model|Group|Decal|DecalClip|Image|Scene|Instance) ' "$demo/host.log" |
  sed 's/^/  /'
echo
echo "== The received model as OBJ with its textures beside it, ready for any viewer: $demo/received"
ls "$demo/received" | sed 's/^/  /'
echo
echo "== Pictures of the model as the host's view draws it"
echo "  before the send:   $demo/sent.png"
echo "  after the receive: $demo/received/Sample.png"

if [ "$windows" = 1 ]; then
  echo
  echo "== The same round trip with the Windows build under Wine (documents and registry as Z:\\ paths)"
  "$root/scripts/build.sh" windows hashhost Pigmora pigmora-peer
  "$root/tests/roundtrip/wine_roundtrip.sh" "$root/build-windows/bin" "$demo/windows" |
    grep -E '^ *(Project|Folder|Model|Group|Decal|DecalClip|Image|Scene|Instance) ' | sed 's/^/  /'
  echo "  written under $demo/windows (host.log, peer.log, Documents/PigmoraV3/Exchange)"
fi

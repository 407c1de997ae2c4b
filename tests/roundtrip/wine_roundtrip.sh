#!/bin/sh
# The round trip of the Windows build under Wine:
#   wine_roundtrip.sh BIN_DIR WORK_DIR
# hashhost.exe sends its sample, pigmora-peer.exe (watching) answers, the plug-in's timer
# receives it, and the project must then hold the painted model with a decal per material.
# The documents folder and the registry file are given as Windows paths (Z:\...). Everything
# is written under WORK_DIR, which is emptied first; the host's output is WORK_DIR/host.log.
# Wine: WINEPREFIX as given, else a prefix inside BIN_DIR's build folder; one wineserver
# serves every program of the run (it stays a minute after the last one ends).
set -eu
bin=$(cd "$1" && pwd)
work=$2
: "${WINEPREFIX:=$(dirname "$bin")/wineprefix}"
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG

fail() {
  echo "wine_roundtrip: $*" >&2
  [ -f "$work/host.log" ] && sed 's/^/  host: /' "$work/host.log" >&2
  [ -f "$work/peer.log" ] && sed 's/^/  peer: /' "$work/peer.log" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work/Documents"
work=$(cd "$work" && pwd)
wineserver -p 60 </dev/null >/dev/null 2>&1 || true
# Windows paths, as Wine's drive Z: shows the Linux root.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
HASH_DOCUMENTS_DIR=$(windows_path "$work/Documents")
HASH_REGISTRY_FILE=$(windows_path "$work/registry.ini")
export HASH_DOCUMENTS_DIR HASH_REGISTRY_FILE
exchange=$work/Documents/PigmoraV3/Exchange

printf '[Pigmora]\r\nexePath=%s\r\nExportColor=1\r\nExportSpecular=1\r\nExportNormalmap=1\r\nAutoImport=1\r\n' \
  "$(windows_path "$bin/pigmora-peer.exe")" >"$work/registry.ini"

wine "$bin/pigmora-peer.exe" --watch --stop-after 180 --size 64 </dev/null >"$work/peer.log" 2>&1 &
peer=$!
trap 'kill $peer 2>/dev/null || true' EXIT

# The status line says "Received" once the timer has taken the answer; a busy machine gets two minutes.
wine "$bin/hashhost.exe" -c 'run Pigmora 0 Objects/Sample; click 1001; wait-for Received 120; tree' \
  </dev/null >"$work/host.log" 2>&1 || fail "the host's run failed"

grep -q 'status: Received "Sample" from Pigmora' "$work/host.log" || fail "no answer was received"
[ ! -e "$exchange/export.txt" ] && [ ! -e "$exchange/textures.txt" ] || fail "the answer was left in the exchange folder"
# The send wrote Windows paths, joined with backslashes.
grep -qxF "$(windows_path "$exchange/Hash/data/export.fbx")" "$exchange/import.txt" ||
  fail "import.txt does not name the model file by its Windows path"

# The received model replaced the sample: a group per material, each with its decal of painted images.
groups=$(sed -n 's/^ *Group "\([^"]*\)".*/\1/p' "$work/host.log")
[ "$(printf '%s\n' "$groups" | grep -c .)" -eq 3 ] || fail "the received model does not have its three groups"
printf '%s\n' "$groups" | while read -r group; do
  grep -q "^ *Decal \"$group\" " "$work/host.log" || fail "material '$group' has no decal"
done
[ "$(grep -c '^ *DecalClip .* use=color ' "$work/host.log")" -eq 3 ] || fail "not every material got its colour map"
sed -n '/^Project /,$p' "$work/host.log"

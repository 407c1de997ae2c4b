#!/bin/sh
# The round trip of the Windows build under Wine:
#   wine_roundtrip.sh BIN_DIR WORK_DIR
# hashhost.exe sends its sample, pigmora-peer.exe (watching) answers, the plug-in's timer
# receives it, and the project must then hold the painted model with a decal per material.
# The documents folder and the registry file are given as Windows paths (Z:\...). Everything
# is written under WORK_DIR, which is emptied first; the host's output is WORK_DIR/host.log.
# Wine: WINEPREFIX as given, else a prefix inside BIN_DIR's build folder; one wineserver
# serves every program of the run.
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
# A wineserver this run starts is stopped at its end, with Wine's own services, which would
# otherwise outlive it; one that already served the prefix (the test stage's) is left running.
started_server=false
wineserver -p 60 </dev/null >/dev/null 2>&1 && started_server=true
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
trap 'kill $peer 2>/dev/null || true; if $started_server; then wineserver -k 2>/dev/null || true; fi' EXIT

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

# Bad input gets the refusals it gets on Linux, in the same words, and loses nothing.
refused() {  # SCRIPT TEXT: the host's run fails with TEXT in an error box
  if wine "$bin/hashhost.exe" -c "$1" </dev/null >"$work/refused.log" 2>&1; then fail "accepted: $1"; fi
  grep -qF "$2" "$work/refused.log" || { cat "$work/refused.log" >&2; fail "no box saying: $2"; }
}
rm "$exchange/import.txt"
mkdir -p "$exchange/import.txt/kept"
refused 'run Pigmora 0 Objects/Sample; click 1001' \
  "Can't write the command file '$(windows_path "$exchange/import.txt")': a folder is in its place"
[ -d "$exchange/import.txt/kept" ] || fail "the folder in the command file's place was touched"
long=$(printf '%0300d' 0 | tr 0 g)
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\ng %s\nf 1 2 3\n' "$long" >"$work/long.obj"
refused "open $(windows_path "$work/long.obj"); run Pigmora 0 Objects/long; click 1001" \
  "has a name of 300 characters; a group name sent to Pigmora may have at most 255."

sed -n '/^Project /,$p' "$work/host.log"

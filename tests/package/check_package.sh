#!/bin/sh
# Makes the Debian package from the build tree, unpacks it into a temporary root as dpkg would
# install it, and runs the installed programs from there.
#   check_package.sh CPACK BUILD_DIR
set -eu
cpack=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.txt" 2>&1 || { cat "$work/cpack.txt" >&2; exit 1; }
set -- "$work"/out/*.deb
[ -f "$1" ] || { echo "no package was made" >&2; cat "$work/cpack.txt" >&2; exit 1; }
deb=$1

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pigmora-applink ] || { echo "package name: $(field Package)" >&2; exit 1; }
[ -n "$(field Version)" ] && [ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || { echo "control fields missing" >&2; exit 1; }
# Dependencies computed from the binaries: the C++ runtime and FLTK at least.
case "$(field Depends)" in
  *libstdc++6*libfltk* | *libfltk*libstdc++6*) ;;
  *) echo "dependencies not computed from the binaries: $(field Depends)" >&2; exit 1 ;;
esac
# And the dialogs' font, which no binary names.
case "$(field Depends)" in
  *fonts-dejavu-extra*) ;;
  *) echo "the package does not depend on the dialogs' font: $(field Depends)" >&2; exit 1 ;;
esac
# Debian's own checks find no error (a missing copyright file or changelog, a malformed description,
# ldconfig called for private libraries, ...).
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 ||
    { echo "lintian finds errors in the package:" >&2; cat "$work/lintian.txt" >&2; exit 1; }
  if dpkg-deb --ctrl-tarfile "$deb" | tar -xO 2>/dev/null | grep -q ldconfig; then
    echo "the package's maintainer scripts call ldconfig for its private libraries" >&2; exit 1
  fi
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
for path in usr/bin/hashhost usr/bin/pigmora-peer usr/bin/fbxinfo usr/bin/fbxconvert \
            usr/lib/*/hashhost/plugins/Pigmora.hxt usr/share/hashhost/data/sample_color.tga \
            usr/share/man/man1/hashhost.1.gz usr/share/man/man1/pigmora-peer.1.gz \
            usr/share/man/man1/fbxinfo.1.gz usr/share/man/man1/fbxconvert.1.gz \
            usr/share/applications/hashhost.desktop usr/share/icons/hicolor/scalable/apps/hashhost.svg \
            usr/share/doc/pigmora-applink/copyright usr/share/doc/pigmora-applink/changelog.gz; do
  # shellcheck disable=SC2086 # the multiarch folder is a pattern
  set -- "$root"/$path
  [ -f "$1" ] || { echo "the package lacks /$path" >&2; dpkg-deb -c "$deb" >&2; exit 1; }
done
# Nothing of the project's lands in the system's own library folder.
if dpkg-deb -c "$deb" | grep -E '\./usr/lib/[^/]+\.so'; then echo "private libraries in /usr/lib" >&2; exit 1; fi
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$root/usr/share/applications/hashhost.desktop"; fi
# The manual page is the program's own help.
zcat "$root/usr/share/man/man1/fbxinfo.1.gz" | grep -q -- '--json' || { echo "fbxinfo's manual page lacks --json" >&2; exit 1; }
for page in "$root"/usr/share/man/man1/*.1.gz; do
  for section in 'EXIT STATUS' 'SEE ALSO'; do
    zcat "$page" | grep -q "^\.SH \"$section\"" || { echo "$(basename "$page") has no $section section" >&2; exit 1; }
  done
done

HASH_DOCUMENTS_DIR=$work/documents HASH_REGISTRY_FILE=$work/registry.ini \
  "$root/usr/bin/hashhost" -c 'plugins; tree' >"$work/out.txt" 2>&1 || { cat "$work/out.txt" >&2; exit 1; }
grep -q 'Pigmora' "$work/out.txt" || { echo "the packaged host did not load Pigmora.hxt" >&2; cat "$work/out.txt" >&2; exit 1; }
grep -q "file=\"$root/usr/share/hashhost/data/sample_color.tga\"" "$work/out.txt" ||
  { echo "the packaged host does not use its own sample images" >&2; cat "$work/out.txt" >&2; exit 1; }
"$root/usr/bin/fbxinfo" --version | grep -q "$(field Version)" || { echo "fbxinfo --version differs from the package" >&2; exit 1; }
echo "package $(basename "$deb") installs and runs"

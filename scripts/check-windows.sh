#!/usr/bin/env bash
# The plug-in is meant for the host's Windows version: compiles every source
# under pigmora/ with the MinGW-w64 cross compiler (syntax only, C++20) against
# the SDK headers, so that a POSIX call or a Linux-only header in the plug-in
# fails here. The platform stand-ins are allowed to be Linux-only; the plug-in is not.
#   scripts/check-windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
compiler=${PIGMORA_WINDOWS_CXX:-x86_64-w64-mingw32-g++}
command -v "$compiler" >/dev/null || { echo "check-windows.sh: $compiler is missing (Debian package g++-mingw-w64-x86-64)" >&2; exit 1; }
cd "$root"

sdk=()
for folder in platform/hostsdk/fileio/include platform/hostsdk/interchange/include platform/hostsdk/plugin/include \
              platform/fbxsdk/include platform/afx/include platform/common/include; do
  sdk+=(-isystem "$folder")
done

failed=0
count=0
# platform/common is private to the stand-ins; the plug-in may use only its
# header-only EntryGuard and the exchange's names, which it shares with the
# host and the peer (files are replaced through the framework).
while IFS= read -r line; do
  echo "check-windows.sh: the plug-in uses the platform's private helpers: $line" >&2
  failed=$((failed + 1))
done < <(grep -rn '#include *[<"]common/' pigmora | grep -v -E 'common/(EntryGuard|ExchangeNames)\.h' || true)

# GNU and POSIX extensions a Windows compiler lacks, which MinGW would let through.
while IFS= read -r line; do
  echo "check-windows.sh: the plug-in uses a GNU or POSIX extension: $line" >&2
  failed=$((failed + 1))
done < <(grep -rnE '__attribute__|\b(strdup|strndup|strnlen|strcasecmp|strncasecmp|strtok_r|realpath|ssize_t)\b' \
           pigmora || true)

while IFS= read -r source; do
  count=$((count + 1))
  if ! "$compiler" -std=c++20 -fsyntax-only -pedantic-errors -Wall -Wextra -Werror -Ipigmora "${sdk[@]}" "$source"; then
    echo "check-windows.sh: $source does not compile for Windows" >&2
    failed=$((failed + 1))
  fi
done < <(find pigmora -name '*.cpp' | sort)

if [ "$failed" -ne 0 ]; then
  echo "check-windows.sh: $failed problems in $count plug-in sources" >&2
  exit 1
fi
echo "Windows syntax check: all $count plug-in sources compile"

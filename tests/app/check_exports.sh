#!/bin/sh
# The host finds a module's commands by name: exactly the three entry points
# may be defined functions in its dynamic symbol table (ELF) or its export
# table (a Windows DLL, read with MinGW's objdump).
if [ "$(head -c 2 "$1")" = "MZ" ]; then
  found=$(LC_ALL=C x86_64-w64-mingw32-objdump -p "$1" |
          awk '/^\[Ordinal\/Name Pointer\] Table/ {names = 1; next} names && NF == 0 {names = 0} names {print $NF}' |
          LC_ALL=C sort | tr '\n' ' ')
else
  found=$(LC_ALL=C nm -D --defined-only "$1" | awk '$2 ~ /^[TtWi]$/ {print $3}' | LC_ALL=C sort | tr '\n' ' ')
fi
expected="HxtLoadCommandEntry HxtOnAddCommandMenu HxtOnCommand "
echo "exported functions: $found"
[ "$found" = "$expected" ]

#!/bin/sh
# The host finds a module's commands by name: exactly the three entry points
# may be defined functions in its dynamic symbol table.
found=$(LC_ALL=C nm -D --defined-only "$1" | awk '$2 ~ /^[TtWi]$/ {print $3}' | LC_ALL=C sort | tr '\n' ' ')
expected="HxtLoadCommandEntry HxtOnAddCommandMenu HxtOnCommand "
echo "exported functions: $found"
[ "$found" = "$expected" ]

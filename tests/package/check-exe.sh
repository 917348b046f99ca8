#!/usr/bin/env bash
# The program is one 32-bit executable that needs no DLL beyond Windows' own.
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump

headers=$("$objdump" -f -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || { echo "not a 32-bit PE: $exe"; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "not a GUI program"; exit 1; }

allowed='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|msvcrt|ole32|shlwapi|version)\.dll$'
bad=0
while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
        echo "imports a DLL that is not Windows' own: $dll"
        bad=1
    fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ "$bad" = 0 ] && echo "imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
exit "$bad"

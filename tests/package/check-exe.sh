#!/usr/bin/env bash
# The program is one 32-bit GUI executable for Vista and later that needs no DLL beyond
# Windows' own, and carries its icon (five sizes in three depths), its version and its manifest.
# Usage: check-exe.sh <Tarvex.exe> <version>
set -euo pipefail
exe=$1 version=$2
fail() { echo "$*"; exit 1; }

headers=$(i686-w64-mingw32-objdump -f -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit PE: $exe"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
# The oldest Windows the header claims, as OS and as subsystem: major, minor each.
windows=$(awk '/^(Major|Minor)(OSystem|Subsystem)Version/ { printf "%s ", $2 }' <<<"$headers")
[ "$windows" = "6 0 6 0 " ] || fail "the header claims Windows (OS, subsystem) $windows, not 6.0"
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
others=$(tr ' ' '\n' <<<"$dlls" |
    grep -Ev '^(kernel32|user32|gdi32|advapi32|shell32|comctl32|msvcrt)\.dll$|^$' || true)
[ -z "$others" ] || fail "imports DLLs that are not Windows' own: $others"

# The resources as windres decompiles them.
rc=$(i686-w64-mingw32-windres -i "$exe" -O rc)
icons=$(sed -n 's/^ *"\\\([0-7]*\)\\.*", 1, \([0-9]*\),.*Element.*/\1 \2/p' <<<"$rc" |
    while read -r size bits; do echo "$((8#$size)):$bits"; done | sort -t: -k1,1n -k2,2n | tr '\n' ' ')
[ "$icons" = "16:4 16:8 16:32 24:4 24:8 24:32 32:4 32:8 32:32 48:4 48:8 48:32 128:4 128:8 128:32 " ] ||
    fail "the icon's images: $icons"
for value in '"ProductName", "Tarvex"' '"CompanyName", "Brenholt"' "\"FileVersion\", \"$version.0\"" \
    'Microsoft.Windows.Common-Controls"" version=""6.0.0.0' 'level=""asInvoker""' \
    "name=\"\"Brenholt.Tarvex\"\" version=\"\"$version.0\"\"" 'supportedOS'; do
    grep -qF "$value" <<<"$rc" || fail "no $value in the resources"
done
echo "Windows (OS, subsystem): $windows; imports: $dlls; icon: $icons"

#!/usr/bin/env bash
# The product's packages: the zip holds exactly the program, the README and the licence; the
# setup is a 32-bit package of the project's version that carries the same program.
set -euo pipefail
release=$1 exe=$2 version=$3 sources=$4
zip=$release/Tarvex-$version.zip
msi=$release/Tarvex-$version.msi
fail() { echo "$*"; exit 1; }

listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listing" = "LICENSE.txt README.txt Tarvex.exe " ] || fail "the zip holds: $listing"
unzip -p "$zip" Tarvex.exe | cmp -s - "$exe" || fail "the zip's Tarvex.exe is not the build's"
for text in README.md LICENSE.txt; do
    # As Windows text: every line ends in CR LF, and the words are the repository's.
    unzip -p "$zip" "${text%.*}.txt" | grep -qv $'\r$' && fail "${text%.*}.txt has a bare LF"
    unzip -p "$zip" "${text%.*}.txt" | tr -d '\r' | cmp -s - "$sources/$text" ||
        fail "${text%.*}.txt differs from $text"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
msiextract -C "$work" "$msi" >/dev/null
[ "$(cd "$work" && find . -type f)" = ./Programs/Tarvex/Tarvex.exe ] || fail "the setup holds other files"
cmp -s "$work/Programs/Tarvex/Tarvex.exe" "$exe" || fail "the setup's Tarvex.exe is not the build's"
msiinfo suminfo "$msi" | grep -qx 'Template: Intel;1033' || fail "the setup is not a 32-bit package"
msiinfo export "$msi" Property | tr -d '\r' | grep -qx "ProductVersion"$'\t'"$version" ||
    fail "the setup's version is not $version"
# As validation wants of a per-user package: each component keys on a value under HKCU, and each
# folder made below the profile's own folders goes at uninstall.
table() { msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4; }
keyed=$(table Component | cut -f6 | while read -r key; do
    table Registry | awk -F'\t' -v key="$key" '$1 == key && $2 == 1 { print $3 "\\" $4 }'
done | sort | tr '\n' ' ')
[ "$keyed" = 'Software\Brenholt\Tarvex\InstallFolder Software\Brenholt\Tarvex\Mq5Entry ' ] ||
    fail "the components key on $keyed"
profile='^(LocalAppData|AppData|ProgramMenu|StartMenu|Desktop|Startup|Personal)Folder$'
made=$(table Directory | awk -F'\t' -v profile="$profile" '{ up[$1] = $2 } END { for (d in up)
    for (p = up[d]; p != ""; p = up[p]) if (p ~ profile) { print d; break } }' | sort | tr '\n' ' ')
removed=$(table RemoveFile | awk -F'\t' '$3 == "" && $5 >= 2 { print $4 }' | sort | tr '\n' ' ')
[ -n "$made" ] && [ "$made" = "$removed" ] || fail "profile folders made: $made; removed: $removed"
echo "zip: $listing; setup: Tarvex $version, Intel, Programs/Tarvex/Tarvex.exe, key path" \
    "HKCU: $keyed; removed at uninstall: $removed"

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
echo "zip: $listing; setup: Tarvex $version, Intel, Programs/Tarvex/Tarvex.exe"

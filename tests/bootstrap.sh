#!/usr/bin/env bash
# script/bootstrap on a fresh machine whose mirror is in the middle of a sync: a package list
# cannot be refreshed, and what needs it cannot be installed. apt-get, dpkg and locale are stood in
# for; what the script installs, says and ends with is checked. Usage: bootstrap.sh <script>
set -uo pipefail
bootstrap=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cd "$work"
# Installed packages are lines of $work/installed; apt-get installs all it is asked for, or, as
# the real one, nothing when one of them is in $UNAVAILABLE.
cat >bin/dpkg-query <<'EOF'
#!/bin/sh
for p; do :; done # the package, last
grep -qxF -- "$p" "$STATE/installed" && printf 'install ok installed'
EOF
cat >bin/dpkg <<'EOF'
#!/bin/sh
[ "$1" = --print-foreign-architectures ] && echo i386
EOF
cat >bin/locale <<'EOF'
#!/bin/sh
printf 'ru_RU.utf8\nzh_CN.utf8\n'
EOF
cat >bin/apt-get <<'EOF'
#!/bin/sh
echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
    echo "E: Failed to fetch .../binary-i386/Packages.xz File has unexpected size. Mirror sync in progress?" >&2
    exit 100
fi
shift 4 # install -y -qq --no-install-recommends
for p in "$@"; do
    case " $UNAVAILABLE " in *" $p "*) echo "E: Unable to locate package $p" >&2; exit 100 ;; esac
done
printf '%s\n' "$@" >>"$STATE/installed"
EOF
chmod +x bin/*

failed=0
# unavailable | installed before | exit code | what it says (an extended regular expression;
# empty: nothing)
while IFS='|' read -r unavailable before code said; do
    printf '%s' "$before" | tr ' ' '\n' >installed
    : >calls
    output=$(STATE=$work UNAVAILABLE=$unavailable PATH="$work/bin:$PATH" "$bootstrap" 2>&1)
    result=$?
    if [ "$result" != "$code" ] || { [ -z "$said" ] && [ -n "$output" ]; } ||
        { [ -n "$said" ] && ! printf '%s' "$output" | grep -qzE "$said"; } ||
        { [ "$code" = 0 ] && [ -n "$unavailable" ] && ! grep -qx xvfb installed; }; then
        printf 'FAILED with %s unavailable: exit %s (expected %s)\n%s\n' \
            "${unavailable:-nothing}" "$result" "$code" "$output"
        failed=1
    fi
done <<'ROWS'
wine32:i386||0|could not be refreshed.*wine32:i386 could not be installed; the Wine tiers run the 64-bit build
xvfb wine32:i386||1|xvfb could not be installed.*cannot build or test without: xvfb$
wine32:i386|cmake make g++ clang libclang-rt-14-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64 fonts-wine xvfb procps locales wixl msitools unzip wine32:i386|0|
ROWS
exit $failed

#!/usr/bin/env bash
# Compares the kind scan with grep over the same marker texts on 16 and 256 MiB sources.
# Usage: bench-scan.sh <bench_scan binary> <work folder>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <bench_scan> <work folder>" >&2; exit 2; }
bench=$1
work=$2
mkdir -p "$work"

# Wall seconds of a command, its output discarded.
seconds() {
    local TIMEFORMAT=%R
    { time "$@" >/dev/null; } 2>&1
}

# Best of three, so a stray hiccup does not count; the page cache is warmed first.
best_grep() {
    local best='' t
    for _ in 1 2 3; do
        t=$(seconds grep -c -i -F -e 'indicator_chart_window' -e 'indicator_separate_window' \
            -e '#property library' -e '#property show' "$1") || true
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$t
        fi
    done
    echo "$best"
}

best_scan() {
    local best='' best_line='' line rate
    for _ in 1 2 3; do
        line=$("$bench" scan "$1")
        rate=$(sed -n 's/.*mib_per_s=\([0-9.]*\).*/\1/p' <<<"$line")
        if [ -z "$best" ] || awk -v a="$rate" -v b="$best" 'BEGIN { exit !(a > b) }'; then
            best=$rate
            best_line=$line
        fi
    done
    echo "$best_line"
}

field() { sed -n "s/.*$1=\([^ ]*\).*/\1/p" <<<"$2"; }

printf '%-8s %-10s %14s %14s %18s %12s\n' size kind 'scan MiB/s' 'grep MiB/s' 'scan peak RSS KiB' 'grep lines'
declare -A rss
for mib in 16 256; do
    file=$work/source-${mib}MiB.mq4
    [ -f "$file" ] || "$bench" generate "$file" "$mib"
    cat "$file" >/dev/null
    scan=$(best_scan "$file")
    size=$(field size_mib "$scan")
    grep_rate=$(awk -v s="$size" -v t="$(best_grep "$file")" 'BEGIN { printf "%.1f", s / t }')
    lines=$(grep -c -i -F -e 'indicator_chart_window' -e 'indicator_separate_window' \
        -e '#property library' -e '#property show' "$file" || true)
    rss[$mib]=$(field peak_rss_kib "$scan")
    printf '%-8s %-10s %14s %14s %18s %12s\n' "${mib} MiB" "$(field kind "$scan")" \
        "$(field mib_per_s "$scan")" "$grep_rate" "${rss[$mib]}" "$lines"
done
echo "scan peak RSS, 256 MiB minus 16 MiB: $((rss[256] - rss[16])) KiB"

#!/usr/bin/env bash
# Compares the kind scans with grep over the texts they look for on 16 and 256 MiB sources:
# the MQL4 markers, and the names of MQL5's deciding handlers as whole words.
# Usage: bench-scan.sh <bench_scan binary> <work folder>
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <bench_scan> <work folder>" >&2; exit 2; }
bench=$1
work=$2
mkdir -p "$work"

# Wall seconds of a command, its output discarded; not into /dev/null, where grep would stop at
# its first match.
seconds() {
    local TIMEFORMAT=%R
    { time "$@" >"$work/discarded"; } 2>&1
}

# grep's fixed-string search for what the scan of that source looks for.
grep_texts() {
    case $1 in
    *.mq5) grep -c -w -F -e 'OnCalculate' -e 'OnStart' "$1" ;;
    *) grep -c -i -F -e 'indicator_chart_window' -e 'indicator_separate_window' \
        -e '#property library' -e '#property show' "$1" ;;
    esac
}

# Best of three, so a stray hiccup does not count; the page cache is warmed first.
best_grep() {
    local best='' t
    for _ in 1 2 3; do
        t=$(seconds grep_texts "$1") || true
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

printf '%-8s %-6s %-10s %14s %14s %18s %12s\n' size source kind 'scan MiB/s' 'grep MiB/s' \
    'scan peak RSS KiB' 'grep lines'
declare -A rss
for ext in mq4 mq5; do
    for mib in 16 256; do
        file=$work/source-${mib}MiB.$ext
        [ -f "$file" ] || "$bench" generate "$file" "$mib"
        cat "$file" >/dev/null
        scan=$(best_scan "$file")
        size=$(field size_mib "$scan")
        grep_rate=$(awk -v s="$size" -v t="$(best_grep "$file")" 'BEGIN { printf "%.1f", s / t }')
        lines=$(grep_texts "$file" || true)
        rss[$ext$mib]=$(field peak_rss_kib "$scan")
        printf '%-8s %-6s %-10s %14s %14s %18s %12s\n' "${mib} MiB" "$ext" "$(field kind "$scan")" \
            "$(field mib_per_s "$scan")" "$grep_rate" "${rss[$ext$mib]}" "$lines"
    done
done
for ext in mq4 mq5; do
    echo "scan peak RSS of .$ext, 256 MiB minus 16 MiB: $((rss[${ext}256] - rss[${ext}16])) KiB"
done

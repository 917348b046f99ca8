#!/usr/bin/env bash
# Runs a test program that waits minutes in a Wine prefix and on a display of its own, so that
# its waits go on beside the other tests. The prefix is a copy of $TARVEX_WINE_TEMPLATE, which
# script/test makes before any test runs. Usage: own-prefix.sh <name> <program> [arguments...]
set -uo pipefail
name=$1
shift
source "$(dirname "$0")/../script/lib/wine-env.sh"
trap stop_wine_env EXIT
unset DISPLAY
start_display || exit 1
copy_prefix "$TARVEX_WINE_TEMPLATE" "$(dirname "$TARVEX_WINE_TEMPLATE")/wine-test-$name"
"$TARVEX_WINE" "$@"

#!/bin/sh
# Runs a Windows program under the loader of its architecture (WINELOADER), its output passed
# on through a file: Wine's own processes start with the first program and outlive it, and
# would hold ctest's pipe open.
# shellcheck source=wine_probe.sh
. "$(dirname "$0")/wine_probe.sh"
wine_probe
log=$(mktemp "${TMPDIR:-/tmp}/ardudf-wine.XXXXXX")
trap 'rm -f "$log"' EXIT
trap 'exit 1' INT TERM
"$WINELOADER" "$@" >"$log" 2>&1 </dev/null
rc=$?
tr -d '\r' <"$log"
exit $rc

#!/bin/sh
# Runs a Windows program under Wine, its output passed on through a file: Wine's own
# processes start with the first program and outlive it, and would hold ctest's pipe open.
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
rc=$?
tr -d '\r' <"$log"
rm -f "$log"
exit $rc

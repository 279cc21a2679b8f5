#!/bin/sh
# The sweep of tick counts and fields through the Windows kernel (under Wine) against the
# same sweep through the posix clock layer.
#   clock_crosscheck.sh clock_sweep.exe clock_sweep_posix output-file
set -eu
"$(dirname "$0")/run_wine.sh" "$1" >"$3"
"$2" "$3"

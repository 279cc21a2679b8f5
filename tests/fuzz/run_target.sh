#!/usr/bin/env bash
# Runs one fuzz target for a bounded time and prints one line of figures.
#   run_target.sh <target> <seed corpus dir> <work dir> <seconds>
# New inputs go to <work dir>/corpus (the seeds stay as they are), crashes to
# <work dir>/artifacts.
set -uo pipefail
target=$1 seeds=$2 work=$3 seconds=$4
name=$(basename "$target")
rm -rf "$work/artifacts" "$work/summary"
mkdir -p "$work/corpus" "$work/artifacts"
dirs=("$work/corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
"$target" -max_total_time="$seconds" -print_final_stats=1 -error_exitcode=1 -timeout_exitcode=1 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" "${dirs[@]}" >"$work/log" 2>&1
rc=$?
execs=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/log" | tail -1)
cov=$(grep -o 'cov: [0-9]*' "$work/log" | tail -1 | awk '{print $2}')
ft=$(grep -o 'ft: [0-9]*' "$work/log" | tail -1 | awk '{print $2}')
crashes=$(find "$work/artifacts" -type f | wc -l)
printf '%-32s %4ss  execs %10s  cov %5s  ft %6s  corpus %5s  crashes %d\n' "$name" "$seconds" \
  "${execs:-0}" "${cov:-0}" "${ft:-0}" "$(find "$work/corpus" -type f | wc -l)" "$crashes" | tee "$work/summary"
if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ]; then
  tail -60 "$work/log"
  exit 1
fi

#!/usr/bin/env bash
# Runs every fuzz target for longer than the test command does, one after the other, and
# prints its figures: executions, coverage (cov: edges, ft: features), corpus, crashes.
#   scripts/fuzz.sh [seconds per target, default 60] [ctest regex, default all]
# New inputs stay in build/fuzz/tests/fuzz/runs/<target>/corpus; crashes in .../artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
filter=${2:-.}
scripts/bootstrap.sh build fuzz
cmake --preset fuzz -DARDUDF_FUZZ_SECONDS="$seconds" -DARDUDF_FUZZ_BALANCE_SECONDS="$seconds" >/dev/null
cmake --build build/fuzz
rm -f build/fuzz/tests/fuzz/runs/*/summary
status=0
ctest --preset fuzz -R "$filter" || status=$?
echo "== figures ($seconds s per target)"
cat build/fuzz/tests/fuzz/runs/*/summary
exit $status

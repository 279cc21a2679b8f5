#!/usr/bin/env bash
# Line and branch coverage of src/ by the unit, export and fault tests (clang source-based
# coverage, the coverage preset). Prints the per-file table and the total; the HTML report
# goes to build/coverage/report when asked for.
#   scripts/coverage.sh [--html]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh build firebird fuzz
cmake --preset coverage >/dev/null
cmake --build build/coverage
profiles=build/coverage/profiles
rm -rf "$profiles"
mkdir -p "$profiles"
# %m keeps one pool per binary, so the module's copies that the export tests load merge.
LLVM_PROFILE_FILE="$PWD/$profiles/%p-%m.profraw" \
  ctest --preset coverage -j2 -E '^(server|engine|catalogue)\.' >/dev/null
llvm-profdata merge -sparse "$profiles"/*.profraw -o build/coverage/tests.profdata
objects=(build/coverage/ardudf.so -object build/coverage/tests/unit_tests
         -object build/coverage/tests/faults/fault_tests)
llvm-cov report -instr-profile build/coverage/tests.profdata "${objects[@]}" src/ \
  -show-region-summary=false -show-instantiation-summary=false
if [ "${1:-}" = "--html" ]; then
  llvm-cov show -format=html -show-branches=count -output-dir build/coverage/report \
    -instr-profile build/coverage/tests.profdata "${objects[@]}" src/
  echo "report: build/coverage/report/index.html"
fi

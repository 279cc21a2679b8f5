#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests each preset.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

for preset in default asan tsan mingw-i686 mingw-x64; do
  echo "== preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset"
  ctest --preset "$preset" -j2
done

# Each fuzz target for a few seconds (scripts/fuzz.sh runs them longer).
echo "== preset fuzz"
cmake --preset fuzz -DARDUDF_FUZZ_SECONDS=3 -DARDUDF_FUZZ_BALANCE_SECONDS=20 >/dev/null
cmake --build build/fuzz
rm -f build/fuzz/tests/fuzz/runs/*/summary
ctest --preset fuzz -j2
cat build/fuzz/tests/fuzz/runs/*/summary

#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests each preset.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

for preset in default asan mingw-i686 mingw-x64; do
  echo "== preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset"
  ctest --preset "$preset" -j2
done

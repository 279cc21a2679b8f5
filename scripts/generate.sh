#!/usr/bin/env bash
# Rewrites the files generated from the catalogue (src/catalogue/catalogue.h) by
# tools/catalogue, those its manifest tools/catalogue/generated_files.txt lists;
# tests/check_generated.cmake checks that they are current. Needs only CMake and a C++
# compiler: the configure in build/generate makes the generator alone.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=lib/generator.sh
. scripts/lib/generator.sh
gen=$(generator_build "$(pwd)")
while read -r what file; do
  "$gen" "$what" > "$file"
  echo "generated $file"
done < tools/catalogue/generated_files.txt

#!/usr/bin/env bash
# Rewrites the files generated from the catalogue (src/catalogue/catalogue.h) by
# tools/catalogue; tests/check_generated.cmake checks that they are current. Needs only
# CMake and a C++ compiler: the configure in build/generate makes the generator alone.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/generate -DARDUDF_GENERATOR_ONLY=ON >/dev/null
cmake --build build/generate --target ardudf_catalogue >/dev/null
gen=build/generate/ardudf_catalogue
while read -r what file; do
  "$gen" "$what" > "$file"
  echo "generated $file"
done < tools/catalogue/generated_files.txt

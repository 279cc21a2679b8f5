#!/usr/bin/env bash
# Rewrites the files generated from the catalogue (src/catalogue/catalogue.h) by
# tools/catalogue; tests/check_generated.cmake checks that they are current.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build/default --target ardudf_catalogue >/dev/null
gen=build/default/ardudf_catalogue
while read -r what file; do
  "$gen" "$what" > "$file"
  echo "generated $file"
done < tests/generated_files.txt

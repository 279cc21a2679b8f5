#!/usr/bin/env bash
# Rewrites the files generated from the catalogue (src/catalogue/catalogue.h) by
# tools/catalogue, those its manifest tools/catalogue/generated_files.txt lists;
# tests/check_generated.cmake checks that they are current. Needs only CMake and a C++
# compiler: the configure in build/generate makes the generator alone.
# All or nothing: every output is written beside its file first, and the files are replaced
# only when the generator made all of them; a failure names the output and changes nothing.
# ARDUDF_GENERATOR: another generator program (tests/check_generate.sh plants a failing one).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=lib/generator.sh
. scripts/lib/generator.sh
gen=${ARDUDF_GENERATOR:-}
[ -n "$gen" ] || gen=$(generator_build "$(pwd)")
pending=()
trap 'rm -f "${pending[@]/%/.generating}"' EXIT
while read -r what file; do
  pending+=("$file")
  if ! "$gen" "$what" > "$file.generating"; then
    echo "generate: the generator failed on '$what' ($file); no file was changed" >&2
    exit 1
  fi
done < tools/catalogue/generated_files.txt
# A file that is already current is left alone: a rewrite would make the next build run
# CMake and compile again.
for file in "${pending[@]}"; do
  if cmp -s "$file.generating" "$file"; then
    rm "$file.generating"
  else
    mv "$file.generating" "$file"
    echo "generated $file"
  fi
done
pending=()

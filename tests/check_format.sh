#!/usr/bin/env bash
# The C++ sources of the tree as .clang-format lays them out: clang-format would change nothing.
#   tests/check_format.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src include tests tools bench -name '*.cpp' -o -name '*.h')
[ ${#files[@]} -gt 0 ] || { echo "check_format: no C++ sources found" >&2; exit 1; }
if clang-format --dry-run --Werror "${files[@]}"; then
  echo "clang-format: ${#files[@]} files as .clang-format lays them out"
else
  echo "clang-format would change the files above: clang-format -i FILE" >&2
  exit 1
fi

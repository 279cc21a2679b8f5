#!/usr/bin/env bash
# scripts/generate.sh is all or nothing: in a copy of the tree, a generator that fails on one
# output leaves every generated file as it was, names that output, and leaves no temporary
# file; one that succeeds replaces them all.
#   tests/check_generate.sh SOURCE_DIR
set -euo pipefail
src=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-generate.XXXXXX")
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/scripts/lib" "$tree/tools/catalogue"
cp "$src/scripts/generate.sh" "$tree/scripts/"
cp "$src/scripts/lib/generator.sh" "$tree/scripts/lib/"
cp "$src/tools/catalogue/generated_files.txt" "$tree/tools/catalogue/"
while read -r _ file; do
  mkdir -p "$tree/$(dirname "$file")"
  cp "$src/$file" "$tree/$file"
done < "$src/tools/catalogue/generated_files.txt"
snapshot() { (cd "$tree" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
before=$(snapshot)

# Fails on the PSQL script, after printing part of it (as a generator that dies midway does).
cat > "$work/gen" <<'GEN'
#!/bin/sh
echo "partial output of $1"
[ "$1" != psql ]
GEN
chmod +x "$work/gen"
set +e # each check below says what failed
out=$(ARDUDF_GENERATOR=$work/gen "$tree/scripts/generate.sh" 2>&1)
status=$?
failures=0
check() { if [ "$2" = 0 ]; then echo "ok: $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi; }
[ $status -ne 0 ]; check "a failing generator fails the run" $?
grep -q "on 'psql' (sql/ardudf_psql.sql)" <<<"$out"; check "the failure names the output" $?
[ "$(snapshot)" = "$before" ]; check "no generated file changed" $?
[ -z "$(find "$tree" -name '*.generating')" ]; check "no temporary file left" $?

cat > "$work/gen" <<'GEN'
#!/bin/sh
echo "new $1"
GEN
ARDUDF_GENERATOR=$work/gen "$tree/scripts/generate.sh" >/dev/null
[ "$(cat "$tree/sql/ardudf_psql.sql")" = "new psql" ] && [ "$(cat "$tree/src/legacy/ardudf.def")" = "new def" ]
check "a succeeding generator replaces every file" $?
[ $failures -eq 0 ]

#!/usr/bin/env bash
# Every ```sql block of the README and docs/ runs in Firebird's embedded engine, in a
# database of its own with the module's functions declared (a block may declare a function);
# a walk a block's comment describes is checked (snippets.awk says how a block is run).
#
#   tests/server/snippets.sh --module-dir DIR --charset NONE|UTF8 [--udr] [--tcp] [--sql-dir DIR] [--keep]
#   tests/server/snippets.sh --psql --charset NONE|UTF8 [--tcp] [--sql-dir DIR] [--keep]
#
# The options are those of tests/server/lib.sh.
set -uo pipefail
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
server_options "$@"
server_start
server_database snippets
server_declare "$declare_sql"

for file in "$source_dir/README.md" "$source_dir"/docs/*.md; do
  awk -v mode="$mode" -v file="$(basename "$file")" -f "$here/snippets.awk" "$file"
done > "$work/snippets.sql"
out=$(fbenv_isql "$db" -m -i "$work/snippets.sql" 2>&1 | server_normalise)
count=$(grep -c '^snippet ' <<<"$out")
if grep -q 'SQLSTATE\|the docs say' <<<"$out"; then
  fail "snippets of the README and docs/ ($label):"
  grep -B1 -A3 'SQLSTATE\|the docs say\|^snippet ' <<<"$out" | grep -v '^SNIPPET' | sed 's/  */ /g'
else
  echo "ok: $count snippets of the README and docs/ ($label)"
fi

server_finish

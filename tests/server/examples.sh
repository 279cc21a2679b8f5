#!/usr/bin/env bash
# The examples of docs/functions.md, each run in Firebird's embedded engine: lines of the form
#   Example: `CALL` → `RESULT`
# where RESULT is an SQL literal (or NULL). Each becomes one row that says ok, or what
# the server returned instead. And every declared function has its section and an example.
#
#   tests/server/examples.sh --module-dir DIR --charset NONE|UTF8 [--udr] [--tcp] [--sql-dir DIR] [--keep]
#   tests/server/examples.sh --psql --charset NONE|UTF8 [--tcp] [--sql-dir DIR] [--keep]
#
# The options are those of tests/server/lib.sh. The UDR module gives NULL for a NULL
# argument: with --udr the examples are those without NULL in the call, and the lines
# "UDR example:" in their place. The PSQL functions (--psql) answer as the UDR module.
set -uo pipefail
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
server_options "$@"
server_start
server_database examples
server_declare "$declare_sql"

docs=$source_dir/docs/functions.md
[ -f "$docs" ] || { echo "FAIL: no $docs"; exit 1; }
# The UDR module gives NULL for a NULL argument: its own lines stand for those examples.
if [ $udr -eq 1 ] || [ $psql -eq 1 ]; then
  grep -n '^\(Example\|UDR example\): `' "$docs" | grep -v '^[0-9]*:Example: `[^`]*\<NULL\>'
else
  grep -n '^Example: `' "$docs"
fi > "$work/example_lines"
examples=$work/examples.sql
{
  echo "SET LIST ON;"
  echo "SET HEADING OFF;"
  while IFS= read -r line; do
    no=${line%%:*}
    body=${line#*xample: \`}
    call=${body%%\` → \`*}
    result=${body#*\` → \`}
    result=${result%\`*}
    # '=' ignores trailing blanks: a text result is compared with a mark behind it.
    check="($call) IS NOT DISTINCT FROM ($result)"
    got="COALESCE(CAST(($call) AS VARCHAR(8000)), 'NULL')"
    case "$result" in
      \'*) check="($call) || '|' IS NOT DISTINCT FROM ($result) || '|'" ;;
      # A predicate: Firebird 2.5 has no BOOLEAN to compare or cast.
      TRUE) check="$call" got="IIF(NOT ($call), 'FALSE', 'NULL')" ;;
    esac
    printf "SELECT 'line %s: ' || IIF(%s, 'ok', 'got ' || %s) FROM RDB\$DATABASE;\n" "$no" "$check" "$got"
  done < "$work/example_lines"
} > "$examples"
count=$(grep -c '^SELECT' "$examples")
out=$(fbenv_isql "$db" -m -i "$examples" 2>&1 | server_normalise | sed '/^$/d')
ok=$(grep -c ': ok$' <<<"$out")
if [ "$ok" -ne "$count" ]; then
  fail "docs/functions.md: $ok of $count examples hold ($label)"
  grep -v ': ok$' <<<"$out"
else
  echo "ok: docs/functions.md, $count examples ($label)"
fi
# Every declared function has its section and at least one example.
for f in $(sed -n 's/^DECLARE EXTERNAL FUNCTION //p' "$source_dir/sql/ardudf.sql"); do
  grep -q "^### $f\$" "$docs" || fail "docs/functions.md has no section for $f"
  grep -q "^Example: \`.*\<$f(" "$docs" || fail "docs/functions.md has no example of $f"
done

server_finish

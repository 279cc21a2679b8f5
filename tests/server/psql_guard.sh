#!/usr/bin/env bash
# What sql/ardudf_psql.sql may replace, and what its functions do where nothing can be
# written, in the embedded engine:
#   tests/server/psql_guard.sh --udr-dir DIR [--keep]
# DIR holds libardudf_udr.so. Each case below puts routines of someone else under ardudf's
# names into a database: the script must refuse, name each of them and change nothing;
# named in ARDUDF_REPLACE, they are replaced and what calls them answers. Over the UDR
# module's declarations and over itself it runs without a word. In a read-only copy every
# function answers, and ib_scbcreate refuses with the script's own sentence.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
udr_dir="" keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --udr-dir) udr_dir=$(cd "$2" && pwd); shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: psql_guard.sh --udr-dir DIR [--keep]" >&2; exit 2 ;;
  esac
done
[ -f "$udr_dir/libardudf_udr.so" ] || { echo "usage: psql_guard.sh --udr-dir DIR_WITH_libardudf_udr.so" >&2; exit 2; }
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-psql-guard.XXXXXX")
if [ $keep -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
fbenv_setup "$work/root" "$udr_dir" udr || exit 1
psql=$source_dir/sql/ardudf_psql.sql
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
run() { fbenv_isql "$1" -m -i "$2" 2>&1; } # database script
# Every routine as declared: name, engine, module, entry point, source and comment.
routines() {
  echo "SET LIST ON; SELECT RDB\$FUNCTION_NAME, RDB\$ENGINE_NAME, RDB\$MODULE_NAME, RDB\$ENTRYPOINT,
    RDB\$FUNCTION_SOURCE, RDB\$DESCRIPTION FROM RDB\$FUNCTIONS WHERE RDB\$SYSTEM_FLAG = 0 ORDER BY 1;
    SELECT RDB\$PROCEDURE_NAME, RDB\$PROCEDURE_SOURCE, RDB\$DESCRIPTION FROM RDB\$PROCEDURES
    WHERE RDB\$SYSTEM_FLAG = 0 ORDER BY 1;" | fbenv_isql "$1" 2>&1 | sed '/^RDB\$\(FUNCTION\|PROCEDURE\)_SOURCE\|^RDB\$DESCRIPTION/d'
}
check() { # what pattern file
  if grep -q -- "$2" "$3"; then echo "ok: $1"; else fail "$1: no '$2' in"; cat "$3"; fi
}

# case | what the database holds before the script (statements end in ; or ^) | what the refusal names
cases=(
  "another library's legacy function|DECLARE EXTERNAL FUNCTION ib_string_length CSTRING(255) RETURNS INTEGER BY VALUE
  ENTRY_POINT 'strlen' MODULE_NAME 'ib_udf';|FUNCTION IB_STRING_LENGTH (a legacy declaration of the module ib_udf"
  "a PSQL function of the user's, called by a column|CREATE FUNCTION ib_greatest (a DOUBLE PRECISION, b DOUBLE PRECISION)
  RETURNS DOUBLE PRECISION AS BEGIN RETURN MAXVALUE(a, b) + 1000; END^
  COMMENT ON FUNCTION ib_greatest IS 'the greater, plus 1000'^
  CREATE TABLE uses (a DOUBLE PRECISION, g COMPUTED BY (ib_greatest(a, 1)))^|FUNCTION IB_GREATEST (a PSQL function not declared"
  "another module's UDR function|CREATE FUNCTION ib_least (a DOUBLE PRECISION, b DOUBLE PRECISION) RETURNS DOUBLE PRECISION
  EXTERNAL NAME 'ardudf_udr!ib_greatest' ENGINE UDR;|FUNCTION IB_LEAST (engine UDR, external name ardudf_udr!ib_greatest)"
  "a PSQL procedure of the user's|CREATE PROCEDURE ib_scbwalk (h INTEGER) RETURNS (x INTEGER) AS BEGIN x = h; SUSPEND; END^|PROCEDURE IB_SCBWALK (a PSQL procedure not declared"
  "a helper's name taken|CREATE FUNCTION ardudf_psql_cstring (t VARCHAR(10)) RETURNS VARCHAR(10) AS BEGIN RETURN t; END^|FUNCTION ARDUDF_PSQL_CSTRING (a PSQL function"
)
split() { what=${1%%|*}; ddl=${1#*|}; named=${ddl#*|}; ddl=${ddl%%|*}; } # a case -> what ddl named

# All of them in one database: refused together, each named; named but one in
# ARDUDF_REPLACE (in any case, with blanks), still refused for that one; all named, replaced.
db=$work/own.fdb
fbenv_create_db "$db" NONE || exit 1
{ echo 'SET TERM ^ ;'; for c in "${cases[@]}"; do split "$c"; sed 's/;$/^/' <<<"$ddl"; done; echo 'COMMIT^'; } > "$work/own.sql"
out=$(run "$db" "$work/own.sql")
[ -z "$out" ] || { fail "setting up printed"; echo "$out"; }
replace() { # names... -> the script with them in ARDUDF_REPLACE
  printf "SELECT RDB\$SET_CONTEXT('USER_SESSION', 'ARDUDF_REPLACE', ' other,%s ') FROM RDB\$DATABASE;\nINPUT '%s';\n" \
    "$(IFS=,; tr 'A-Z' 'a-z' <<<"$*")" "$psql" > "$work/replace.sql"
  run "$db" "$work/replace.sql"
}
names=()
for c in "${cases[@]}"; do split "$c"; names+=("$(sed -E 's/^(FUNCTION|PROCEDURE) ([A-Z_]*) .*/\2/' <<<"$named")"); done
routines "$db" > "$work/before"
for pass in plain but_one; do
  if [ $pass = plain ]; then run "$db" "$psql" > "$work/refused"; else replace "${names[@]:1}" > "$work/refused"; fi
  for c in "${cases[@]}"; do
    split "$c"
    if [ $pass = plain ] || [ "$c" = "${cases[0]}" ]; then
      check "$what: refused, named ($pass)" "not ardudf's, not replaced: $named" "$work/refused"
    else
      grep -q "not replaced: $named" "$work/refused" && fail "$what: named in ARDUDF_REPLACE, still refused"
    fi
  done
  check "nothing changed, says the script ($pass)" 'ardudf_psql.sql: nothing changed' "$work/refused"
  routines "$db" > "$work/after"
  diff -u "$work/before" "$work/after" > /dev/null && echo "ok: nothing changed ($pass)" ||
    fail "the refused script changed the routines ($pass)"
done
replace "${names[@]}" > "$work/replaced"
for c in "${cases[@]}"; do
  split "$c"
  check "$what: replaced when named" "replaced, as ARDUDF_REPLACE asks: $named" "$work/replaced"
done
grep -q 'Statement failed' "$work/replaced" && { fail "the replacing run failed"; cat "$work/replaced"; }
# The column that called the user's IB_GREATEST now calls ardudf's.
echo "INSERT INTO uses (a) VALUES (5); SET LIST ON; SELECT g FROM uses;" | fbenv_isql "$db" > "$work/uses" 2>&1
check "a caller of a replaced function answers with ardudf's" '^G  *5\.0*$' "$work/uses"

# A function named as a built-in the routines call would stand in for it in them: refused.
printf "DECLARE EXTERNAL FUNCTION reverse CSTRING(255) RETURNS CSTRING(255) FREE_IT\n  %s\nCOMMIT;\n" \
  "ENTRY_POINT 'rev' MODULE_NAME 'other';" > "$work/builtin.sql"
fbenv_create_db "$work/builtin.fdb" NONE && run "$work/builtin.fdb" "$work/builtin.sql" &&
  run "$work/builtin.fdb" "$psql" > "$work/builtin.out"
check "a function named as a built-in the routines call: refused" 'FUNCTION REVERSE bears the name of a built-in' \
  "$work/builtin.out"
[ "$(fbenv_value "$work/builtin.fdb" "SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE RDB\$FUNCTION_NAME = 'IB_LPAD';")" = 0 ] &&
  echo "ok: ... and nothing declared" || fail "a function named as a built-in: the script declared"

# Over the UDR module's declarations, and over itself: silent.
db=$work/udr.fdb
fbenv_create_db "$db" NONE && run "$db" "$source_dir/sql/ardudf_udr.sql" > "$work/udr.out"
for pass in "over the UDR module's declarations" "over itself"; do
  run "$db" "$psql" > "$work/psql.out"
  [ -s "$work/psql.out" ] && { fail "$pass: the script printed"; cat "$work/psql.out"; } || echo "ok: $pass, silent"
done

# A read-only copy: every function answers but ib_scbcreate, which refuses in ardudf's words.
cp "$db" "$work/ro.fdb" && gfix -mode read_only "$work/ro.fdb" || fail "gfix -mode read_only"
echo "SET LIST ON; SELECT ib_lpad('7', 3, '0') AS padded, ib_scbaddrow(0, 'A', 1, 0) AS nothing
  FROM RDB\$DATABASE; SELECT ib_scbcreate() FROM RDB\$DATABASE;" | fbenv_isql "$work/ro.fdb" > "$work/ro.out" 2>&1
check "read-only: a text function answers" '^PADDED  *007$' "$work/ro.out"
check "read-only: an unknown handle gives 0" '^NOTHING  *0$' "$work/ro.out"
check "read-only: ib_scbcreate refuses in ardudf's words" '^-this database is read-only: the PSQL settlement' "$work/ro.out"

if [ $failures -gt 0 ]; then echo "$failures failure(s)"; exit 1; fi
echo "all passed: psql_guard (Firebird $(fbenv_engine_version "$db"))"

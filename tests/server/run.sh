#!/usr/bin/env bash
# SQL regression tests of ardudf in Firebird's embedded engine.
#
#   tests/server/run.sh --module-dir DIR --charset NONE|UTF8 [--udr] [--sql-dir DIR] [--accept] [--keep] [test ...]
#
# --sql-dir takes the declare and drop scripts from DIR (an installed package's) instead of sql/.
# Builds a private engine root whose firebird.conf allows UDFs from DIR (the folder of the
# built ardudf.so), creates a database of the given default character set in a temporary
# folder, declares the functions with sql/ardudf.sql, and then:
#   - runs each tests/server/sql/NAME.sql with isql-fb (UTF8 connection, statements echoed)
#     and compares its output with tests/server/expected/NAME.out;
#   - runs NAME.sql files whose first line says "-- concurrent: N" a second time in N
#     processes at once, each against the same expected output;
#   - checks every example of docs/functions.md (the call and its result) in the server;
#   - drops the functions with sql/ardudf_drop.sql and checks that none is left.
# --accept writes the actual outputs over the expected ones (review them with git diff).
#
# --udr runs the same through the UDR module: DIR holds libardudf_udr.so, firebird.conf says
# UdfAccess = None, and the declarations are sql/ardudf_udr.sql and its drop script. Where
# the two modules legitimately differ (a NULL argument, a handle of another attachment) the
# expected output is tests/server/expected/udr/NAME.out; every other test compares with the
# same file as the legacy module. The docs examples are those without NULL in the call,
# and the lines "UDR example:" in their place.
#
# --tcp runs the same over TCP against the server that tests/tcp/server.sh started for
# the same module (ARDUDF_SERVER, ISC_USER and ISC_PASSWORD in the environment): the
# database is created and used through that server rather than the embedded engine.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
module_dir="" charset="" accept=0 keep=0 udr=0 tcp=0 only=() sql_dir=$source_dir/sql
while [ $# -gt 0 ]; do
  case "$1" in
    --module-dir) module_dir=$2; shift 2 ;;
    --sql-dir) sql_dir=$(cd "$2" && pwd); shift 2 ;;
    --charset) charset=$2; shift 2 ;;
    --accept) accept=1; shift ;;
    --udr) udr=1; shift ;;
    --tcp) tcp=1; shift ;;
    --keep) keep=1; shift ;;
    -*) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    *) only+=("$1"); shift ;;
  esac
done
module_file=ardudf.so declare_sql=ardudf.sql drop_sql=ardudf_drop.sql mode=udf label=$charset
if [ $udr -eq 1 ]; then
  module_file=libardudf_udr.so declare_sql=ardudf_udr.sql drop_sql=ardudf_udr_drop.sql mode=udr label="$charset, UDR"
fi
if [ -z "$module_dir" ] || [ -z "$charset" ] || [ ! -f "$module_dir/$module_file" ]; then
  echo "usage: run.sh --module-dir DIR_WITH_$module_file --charset NONE|UTF8 [--udr] [--accept] [--keep] [test ...]" >&2
  exit 2
fi

# shellcheck source=../../scripts/fbenv.sh
. "$source_dir/scripts/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-server.XXXXXX")
if [ $keep -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
fbenv_setup "$work/root" "$module_dir" "$mode" || exit 1
# The databases' names: a file, or with --tcp the file through the server.
at=""
if [ $tcp -eq 1 ]; then
  [ -n "${ARDUDF_SERVER:-}" ] || { echo "run.sh --tcp: no ARDUDF_SERVER (run it under tests/tcp/server.sh)" >&2; exit 2; }
  at=$ARDUDF_SERVER: label="$label, TCP"
fi
db=$at$work/test.fdb
fbenv_create_db "$db" "$charset" || { echo "FAIL: cannot create the database"; exit 1; }
# Which engine answers (the embedded one that isql-fb loads): each result line names it.
engine=$(echo "SET HEADING OFF; SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB\$DATABASE;" |
  isql-fb -q "$db" 2>&1 | tr -d '[:space:]')
label="$label, Firebird $engine"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# isql output that does not depend on the run: trailing blanks (padding differs between
# character sets) and runs of blank lines removed. And the one place where Firebird 3 and 4
# print the same result differently: the rule under a column heading. Firebird 4's isql
# rules a column as wide as it is declared even when the statement then fails (8191 '=' for
# an 8191-byte text in declared_widths), Firebird 3's stops at 79; a rule alone on its line
# is cut to 79.
normalise() { sed -E -e 's/[[:space:]]*$//' -e 's/^(={79})=+$/\1/' | cat -s; }

# An error names the routine it came from as "-UDF: NAME" (legacy) or "-At function
# 'NAME'" (UDR), or not at all when the engine refuses an argument before the call: the
# UDR run compares errors without that line.
context_free() {
  if [ $udr -eq 1 ]; then sed -e "/^-UDF: /d" -e "/^-At function '/d"; else cat; fi
}

# Declaring must be silent. The legacy module's way to a new release is its drop and
# declare scripts; the UDR script is run over the previous release's declarations (the
# upgrade) and then once more.
declare_all() {
  local out
  out=$(cd "${2:-$sql_dir}" && isql-fb -q -ch UTF8 -b -m -i "$1" "$db" 2>&1)
  [ -z "$out" ] || { fail "$1 printed:"; echo "$out"; }
}
if [ $udr -eq 1 ]; then
  declare_all ardudf_udr-1.0.0.sql "$here/previous"
  declare_all "$declare_sql"
  declare_all "$declare_sql"
else
  declare_all "$declare_sql"
  declare_all "$drop_sql"
  declare_all "$declare_sql"
fi

# Every routine carries its description and the release that declared it.
version=$(sed -n 's/^project(ardudf VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
described=$(echo "SET HEADING OFF; SELECT CAST(RDB\$DESCRIPTION AS VARCHAR(200)) FROM RDB\$FUNCTIONS WHERE RDB\$FUNCTION_NAME = 'IB_LPAD';" |
  isql-fb -q -ch UTF8 "$db" 2>&1 | sed -e '/^[[:space:]]*$/d' -e 's/[[:space:]]*$//')
case "$described" in
  *" (ardudf $version)") echo "ok: IB_LPAD described as '$described' ($label)" ;;
  *) fail "RDB\$DESCRIPTION of IB_LPAD is '$described', not '... (ardudf $version)' ($label)" ;;
esac
undescribed=$(echo "SET HEADING OFF; SELECT (SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE (RDB\$MODULE_NAME = 'ardudf'
    OR RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!') AND RDB\$DESCRIPTION NOT LIKE '% (ardudf $version)')
    + (SELECT COUNT(*) FROM RDB\$PROCEDURES WHERE RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!'
    AND RDB\$DESCRIPTION NOT LIKE '% (ardudf $version)') FROM RDB\$DATABASE;" |
  isql-fb -q -ch UTF8 "$db" 2>&1 | tr -d '[:space:]')
[ "$undescribed" = "0" ] || fail "$undescribed routines lack the description of ardudf $version ($label)"

run_sql() { # name -> normalised output on stdout
  (cd "$here/sql" && isql-fb -q -ch UTF8 -e -m -i "$1.sql" "$db" 2>&1) | normalise
}

names=()
if [ ${#only[@]} -gt 0 ]; then
  names=("${only[@]}")
else
  for f in "$here"/sql/*.sql; do
    # "-- module: udr" near the top: a test of what only the UDR module has.
    if [ $udr -eq 0 ] && head -3 "$f" | grep -qx -- '-- module: udr'; then continue; fi
    names+=("$(basename "$f" .sql)")
  done
fi

mkdir -p "$work/out"
for name in "${names[@]}"; do
  expected=$here/expected/$name.out
  [ $udr -eq 1 ] && [ -f "$here/expected/udr/$name.out" ] && expected=$here/expected/udr/$name.out
  actual=$work/out/$name.out
  run_sql "$name" > "$actual"
  if [ $accept -eq 1 ]; then
    # A UDR run accepts into expected/udr/: name only the tests whose results differ.
    [ $udr -eq 1 ] && expected=$here/expected/udr/$name.out && mkdir -p "$here/expected/udr"
    cp "$actual" "$expected"
    echo "accepted: $name"
  elif ! diff -u <(context_free < "$expected") <(context_free < "$actual") > "$work/out/$name.diff"; then
    fail "$name ($label)"
    cat "$work/out/$name.diff"
  else
    echo "ok: $name ($label)"
  fi
  # The same script in several processes at once: each sees only its own contexts.
  n=$(sed -n '1s/^-- concurrent: \([0-9]\+\).*/\1/p' "$here/sql/$name.sql")
  if [ -n "$n" ] && [ $accept -eq 0 ]; then
    pids=()
    for i in $(seq "$n"); do
      run_sql "$name" > "$work/out/$name.$i.out" &
      pids+=($!)
    done
    for p in "${pids[@]}"; do wait "$p"; done
    for i in $(seq "$n"); do
      diff -u <(context_free < "$expected") <(context_free < "$work/out/$name.$i.out") || fail "$name in process $i of $n ($label)"
    done
    echo "ok: $name in $n processes at once ($label)"
  fi
done

# Examples of docs/functions.md: lines of the form
#   Example: `CALL` → `RESULT`
# where RESULT is an SQL literal (or NULL). Each becomes one row that says ok, or what
# the server returned instead.
docs=$source_dir/docs/functions.md
if [ ${#only[@]} -eq 0 ] && [ -f "$docs" ]; then
  # The UDR module gives NULL for a NULL argument: its own lines stand for those examples.
  if [ $udr -eq 1 ]; then
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
      case "$result" in
        \'*) check="($call) || '|' IS NOT DISTINCT FROM ($result) || '|'" ;;
      esac
      printf "SELECT 'line %s: ' || IIF(%s, 'ok', 'got ' || COALESCE(CAST((%s) AS VARCHAR(8000)), 'NULL')) FROM RDB\$DATABASE;\n" \
        "$no" "$check" "$call"
    done < "$work/example_lines"
  } > "$examples"
  count=$(grep -c '^SELECT' "$examples")
  out=$(isql-fb -q -ch UTF8 -m -i "$examples" "$db" 2>&1 | normalise | sed '/^$/d')
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
fi

# Every ```sql snippet of the README and docs/ runs, in a database of its own (a snippet may
# declare a function); a walk a snippet's comment describes is checked (snippets.sh).
if [ ${#only[@]} -eq 0 ]; then
  fbenv_create_db "$at$work/snippets.fdb" "$charset" && (cd "$sql_dir" && isql-fb -q -ch UTF8 -b -i "$declare_sql" "$at$work/snippets.fdb")
  "$here/snippets.sh" "$mode" "$source_dir/README.md" "$source_dir"/docs/*.md > "$work/snippets.sql"
  out=$(isql-fb -q -ch UTF8 -m -i "$work/snippets.sql" "$at$work/snippets.fdb" 2>&1 | normalise)
  count=$(grep -c '^snippet ' <<<"$out")
  if grep -q 'SQLSTATE\|the docs say' <<<"$out"; then
    fail "snippets of the README and docs/ ($label):"
    grep -B1 -A3 'SQLSTATE\|the docs say\|^snippet ' <<<"$out" | grep -v '^SNIPPET' | sed 's/  */ /g'
  else
    echo "ok: $count snippets of the README and docs/ ($label)"
  fi
fi

# Dropping leaves no function (or procedure) of the module behind.
declare_all "$drop_sql"
left=$(echo "SET HEADING OFF; SELECT (SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE RDB\$MODULE_NAME = 'ardudf'
    OR RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!') + (SELECT COUNT(*) FROM RDB\$PROCEDURES
    WHERE RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!') FROM RDB\$DATABASE;" |
  isql-fb -q -ch UTF8 "$db" 2>&1 | tr -d '[:space:]')
[ "$left" = "0" ] || fail "sql/$drop_sql left $left routines"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s) ($label)"
  exit 1
fi
echo "all server tests passed ($label)"

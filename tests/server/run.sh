#!/usr/bin/env bash
# SQL regression tests of ardudf in Firebird's embedded engine.
#
#   tests/server/run.sh --module-dir DIR --charset NONE|UTF8 [--accept] [--keep] [test ...]
#
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
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
module_dir="" charset="" accept=0 keep=0 only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --module-dir) module_dir=$2; shift 2 ;;
    --charset) charset=$2; shift 2 ;;
    --accept) accept=1; shift ;;
    --keep) keep=1; shift ;;
    -*) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    *) only+=("$1"); shift ;;
  esac
done
if [ -z "$module_dir" ] || [ -z "$charset" ] || [ ! -f "$module_dir/ardudf.so" ]; then
  echo "usage: run.sh --module-dir DIR_WITH_ardudf.so --charset NONE|UTF8 [--accept] [--keep] [test ...]" >&2
  exit 2
fi

# shellcheck source=../../scripts/fbenv.sh
. "$source_dir/scripts/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-server.XXXXXX")
if [ $keep -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
fbenv_setup "$work/root" "$module_dir" || exit 1
db=$work/test.fdb
fbenv_create_db "$db" "$charset" || { echo "FAIL: cannot create the database"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# isql output that does not depend on the run: trailing blanks (padding differs between
# character sets) and runs of blank lines removed.
normalise() { sed -e 's/[[:space:]]*$//' | cat -s; }

# Declaring must be silent; a second run of the drop and declare scripts is the upgrade path.
declare_all() {
  local out
  out=$(cd "$source_dir/sql" && isql-fb -q -ch UTF8 -b -m -i "$1" "$db" 2>&1)
  [ -z "$out" ] || { fail "$1 printed:"; echo "$out"; }
}
declare_all ardudf.sql
declare_all ardudf_drop.sql
declare_all ardudf.sql

run_sql() { # name -> normalised output on stdout
  (cd "$here/sql" && isql-fb -q -ch UTF8 -e -m -i "$1.sql" "$db" 2>&1) | normalise
}

names=()
if [ ${#only[@]} -gt 0 ]; then
  names=("${only[@]}")
else
  for f in "$here"/sql/*.sql; do names+=("$(basename "$f" .sql)"); done
fi

mkdir -p "$work/out"
for name in "${names[@]}"; do
  expected=$here/expected/$name.out
  actual=$work/out/$name.out
  run_sql "$name" > "$actual"
  if [ $accept -eq 1 ]; then
    cp "$actual" "$expected"
    echo "accepted: $name"
  elif ! diff -u "$expected" "$actual" > "$work/out/$name.diff"; then
    fail "$name ($charset)"
    cat "$work/out/$name.diff"
  else
    echo "ok: $name ($charset)"
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
      diff -u "$expected" "$work/out/$name.$i.out" || fail "$name in process $i of $n ($charset)"
    done
    echo "ok: $name in $n processes at once ($charset)"
  fi
done

# Examples of docs/functions.md: lines of the form
#   Example: `CALL` → `RESULT`
# where RESULT is an SQL literal (or NULL). Each becomes one row that says ok, or what
# the server returned instead.
docs=$source_dir/docs/functions.md
if [ ${#only[@]} -eq 0 ] && [ -f "$docs" ]; then
  nm -D --defined-only "$module_dir/ardudf.so" | awk '{print $3}' > "$work/exported"
  examples=$work/examples.sql
  {
    echo "SET LIST ON;"
    echo "SET HEADING OFF;"
    grep -n '^Example: `' "$docs" | while IFS= read -r line; do
      no=${line%%:*}
      # An example of a function that this build does not export yet is left out.
      if grep -o 'ib_[a-z0-9_]*' <<<"$line" | grep -qvxF -f "$work/exported"; then
        echo "-- skipped line $no"
        continue
      fi
      body=${line#*:Example: \`}
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
    done
  } > "$examples"
  count=$(grep -c '^SELECT' "$examples")
  skipped=$(grep -c '^-- skipped' "$examples")
  out=$(isql-fb -q -ch UTF8 -m -i "$examples" "$db" 2>&1 | normalise | sed '/^$/d')
  ok=$(grep -c ': ok$' <<<"$out")
  if [ "$ok" -ne "$count" ]; then
    fail "docs/functions.md: $ok of $count examples hold ($charset)"
    grep -v ': ok$' <<<"$out"
  else
    echo "ok: docs/functions.md, $count examples, $skipped left out: functions not in this build ($charset)"
  fi
  # Every declared function has its section and at least one example.
  for f in $(sed -n 's/^DECLARE EXTERNAL FUNCTION //p' "$source_dir/sql/ardudf.sql"); do
    grep -q "^### $f\$" "$docs" || fail "docs/functions.md has no section for $f"
    grep -q "^Example: \`.*\<$f(" "$docs" || fail "docs/functions.md has no example of $f"
  done
fi

# Dropping leaves no function of the module behind.
declare_all ardudf_drop.sql
left=$(echo "SET HEADING OFF; SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE RDB\$MODULE_NAME = 'ardudf';" |
  isql-fb -q -ch UTF8 "$db" 2>&1 | tr -d '[:space:]')
[ "$left" = "0" ] || fail "sql/ardudf_drop.sql left $left functions"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s) ($charset)"
  exit 1
fi
echo "all server tests passed ($charset)"

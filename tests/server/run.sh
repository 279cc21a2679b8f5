#!/usr/bin/env bash
# SQL regression tests of ardudf in Firebird's embedded engine.
#
#   tests/server/run.sh --module-dir DIR --charset NONE|UTF8 [--udr] [--tcp] [--sql-dir DIR] [--accept] [--keep] [test ...]
#   tests/server/run.sh --psql --charset NONE|UTF8 [--tcp] [--sql-dir DIR] [--accept] [--keep] [--user NAME] [test ...]
#
# The options are those of tests/server/lib.sh. Builds a private engine root whose
# firebird.conf allows UDFs from DIR (the folder of the built ardudf.so), creates a database
# of the given default character set in a temporary folder, declares the functions with
# sql/ardudf.sql, and then:
#   - runs each tests/server/sql/NAME.sql with isql-fb (UTF8 connection, statements echoed)
#     and compares its output with tests/server/expected/NAME.out;
#   - runs NAME.sql files whose first line says "-- concurrent: N" a second time in N
#     processes at once, each against the same expected output;
#   - drops the functions with sql/ardudf_drop.sql and checks that none is left.
# --accept writes the actual outputs over the expected ones (review them with git diff).
# The cases run in every engine the legacy module serves, Firebird 2.5 included
# (scripts/engine.sh fb25 run): they select no bare predicate (2.5 has no BOOLEAN), a check answers
# 'yes' or 'no'.
# The examples of docs/functions.md and the SQL blocks of the README and docs/ are tested
# by examples.sh and snippets.sh beside this file.
#
# --udr runs the same through the UDR module. Where the two modules legitimately differ (a
# NULL argument, a handle of another attachment) the expected output is
# tests/server/expected/udr/NAME.out; every other test compares with the same file as the
# legacy module.
#
# --psql runs the same over the PSQL declarations, with no module: the expected outputs
# are the UDR module's, expected/udr/NAME.out where there is one. A test that declares
# routines of the UDR module itself says "-- module: udr" near its top and is left out;
# "-- module: udr psql", a test of what the UDR and PSQL declarations have and the legacy
# module has not. There is no --accept with --psql: the PSQL functions are held to the UDR
# module's outputs (docs/psql.md).
set -uo pipefail
# shellcheck source=lib.sh
. "$(dirname "$0")/lib.sh"
server_options "$@"
[ $psql -eq 1 ] && [ $accept -eq 1 ] && { echo "run.sh: --psql compares with the UDR module's outputs; accept those from a --udr run" >&2; exit 2; }
server_start
server_database test
# An error names the routine it came from as "-UDF: NAME" (legacy) or "-At function
# 'NAME'" (UDR), or not at all when the engine refuses an argument before the call: the
# UDR run compares errors without that line.
# A PSQL function's error names the routine and where in it ("-At function 'NAME' line: ...",
# "-At procedure 'NAME' line: ..."): those lines are left out too.
# Firebird 2.5 names neither the routine of an error nor the lengths of a truncation
# ("-expected length 255, actual 256"), and writes the date it could not convert without
# the day's leading zero ("5-MAR-2024"): its outputs are compared without those.
context_free() {
  if [ $udr -eq 1 ] || [ $psql -eq 1 ]; then
    sed -e "/^-UDF: /d" -e "/^-At function '/d" -e "/^-At procedure '/d"
  elif [[ $engine == 2.* ]]; then
    sed -E -e "/^-UDF: /d" -e "/^-expected length [0-9]+, actual [0-9]+$/d" \
      -e 's/^(conversion error from string ")0([1-9]-)/\1\2/'
  else
    cat
  fi
}

# Declaring must be silent. The legacy module's way to a new release is its drop and
# declare scripts; the UDR script is run over the previous release's declarations (the
# upgrade) and then once more.
if [ $udr -eq 1 ]; then
  server_declare ardudf_udr-1.0.0.sql "$here/previous"
  server_declare "$declare_sql"
  server_declare "$declare_sql"
elif [ $psql -eq 1 ]; then
  # Run again over itself: every routine replaced, the tables kept.
  server_declare "$declare_sql"
  server_declare "$declare_sql"
  server_declare "$drop_sql"
  server_declare "$declare_sql"
else
  server_declare "$declare_sql"
  server_declare "$drop_sql"
  server_declare "$declare_sql"
fi

# Every routine carries its description and the release that declared it.
version=$(sed -n 's/^project(ardudf VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
described=$(fbenv_value "$db" "SELECT CAST(RDB\$DESCRIPTION AS VARCHAR(200)) FROM RDB\$FUNCTIONS WHERE RDB\$FUNCTION_NAME = 'IB_LPAD';")
case "$described" in
  *" (ardudf $version)") echo "ok: IB_LPAD described as '$described' ($label)" ;;
  *) fail "RDB\$DESCRIPTION of IB_LPAD is '$described', not '... (ardudf $version)' ($label)" ;;
esac
# The routines of the declarations: the modules' by their entry points; the PSQL ones by
# their names, as routines of no engine.
ours_f="(RDB\$MODULE_NAME = 'ardudf' OR RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!')"
ours_p="RDB\$ENTRYPOINT STARTING WITH 'ardudf_udr!'"
# Firebird 2.5 has no external procedures (nor their RDB$ENTRYPOINT).
[[ $engine == 2.* ]] && ours_p="RDB\$PROCEDURE_NAME IS NULL"
if [ $psql -eq 1 ]; then
  # Every routine the script creates, whatever its name.
  routines() {
    sed -n "s/^CREATE OR ALTER $1 \([A-Za-z0-9_\$]*\).*/'\1'/p" "$sql_dir/$declare_sql" | tr '[:lower:]' '[:upper:]' |
      paste -sd, -
  }
  ours_f="(RDB\$ENGINE_NAME IS NULL AND RDB\$MODULE_NAME IS NULL AND RDB\$FUNCTION_NAME IN ($(routines FUNCTION)))"
  ours_p="RDB\$ENGINE_NAME IS NULL AND RDB\$PROCEDURE_NAME IN ($(routines PROCEDURE))"
fi
undescribed=$(fbenv_value "$db" "SELECT (SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE $ours_f
    AND RDB\$DESCRIPTION NOT LIKE '% (ardudf $version)')
    + (SELECT COUNT(*) FROM RDB\$PROCEDURES WHERE $ours_p
    AND RDB\$DESCRIPTION NOT LIKE '% (ardudf $version)') FROM RDB\$DATABASE;")
[ "$undescribed" = "0" ] || fail "$undescribed routines lack the description of ardudf $version ($label)"

# --user: the cases run as a user granted EXECUTE on each function and procedure of ardudf
# (every routine there is, before the cases, but ardudf's helpers; nothing on its tables) and the right to make the tables and routines they make.
if [ -n "$user" ]; then
  fbenv_isql "$db" -b -m <<EOF || fail "granting to $user"
SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE ddl VARCHAR(200);
BEGIN
  FOR SELECT 'GRANT EXECUTE ON FUNCTION ' || TRIM(RDB\$FUNCTION_NAME) || ' TO USER $user' FROM RDB\$FUNCTIONS
      WHERE RDB\$SYSTEM_FLAG = 0 AND RDB\$FUNCTION_NAME NOT STARTING WITH 'ARDUDF_PSQL_'
      UNION ALL SELECT 'GRANT EXECUTE ON PROCEDURE ' || TRIM(RDB\$PROCEDURE_NAME) || ' TO USER $user'
      FROM RDB\$PROCEDURES WHERE RDB\$SYSTEM_FLAG = 0 AND RDB\$PROCEDURE_NAME NOT STARTING WITH 'ARDUDF_PSQL_'
      INTO ddl DO EXECUTE STATEMENT ddl;
END^
SET TERM ; ^
GRANT CREATE TABLE TO USER $user;
GRANT CREATE FUNCTION TO USER $user;
GRANT CREATE PROCEDURE TO USER $user;
COMMIT;
EOF
fi

run_sql() { # name -> normalised output on stdout
  (cd "$here/sql" && fbenv_isql "$db" ${user:+-user "$user"} -e -m -i "$1.sql" 2>&1) | server_normalise
}

names=()
if [ ${#only[@]} -gt 0 ]; then
  names=("${only[@]}")
else
  for f in "$here"/sql/*.sql; do
    # "-- module: udr [psql]" near the top: a test of what only those declarations have.
    modules=$(head -3 "$f" | sed -n 's/^-- module: //p')
    if [ -n "$modules" ] && ! grep -qw "$mode" <<<"$modules"; then continue; fi
    names+=("$(basename "$f" .sql)")
  done
fi

mkdir -p "$work/out"
for name in "${names[@]}"; do
  expected=$here/expected/$name.out
  [ $udr -eq 1 ] || [ $psql -eq 1 ] && [ -f "$here/expected/udr/$name.out" ] && expected=$here/expected/udr/$name.out
  # Firebird 2.5's own answers, kept where they differ from 3's (expected/fb25/README):
  # expected/fb25/CHARSET/NAME.out, else expected/fb25/NAME.out.
  fb25=""
  if [[ $engine == 2.* ]]; then
    fb25=$here/expected/fb25
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$charset")
    if [ -f "$fb25/$lower/$name.out" ]; then expected=$fb25/$lower/$name.out
    elif [ -f "$fb25/$name.out" ]; then expected=$fb25/$name.out
    fi
  fi
  actual=$work/out/$name.out
  run_sql "$name" > "$actual"
  if [ $accept -eq 1 ]; then
    # A UDR run accepts into expected/udr/: name only the tests whose results differ.
    [ $udr -eq 1 ] && expected=$here/expected/udr/$name.out && mkdir -p "$here/expected/udr"
    # A 2.5 run accepts into expected/fb25/CHARSET/: keep only the files that differ from 3's.
    [ -n "$fb25" ] && expected=$fb25/$lower/$name.out && mkdir -p "$fb25/$lower"
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

# Dropping leaves no function (or procedure) of the module behind.
server_declare "$drop_sql"
left=$(fbenv_value "$db" "SELECT (SELECT COUNT(*) FROM RDB\$FUNCTIONS WHERE $ours_f) + (SELECT COUNT(*)
    FROM RDB\$PROCEDURES WHERE $ours_p) + (SELECT COUNT(*) FROM RDB\$RELATIONS
    WHERE RDB\$RELATION_NAME STARTING WITH 'ARDUDF_PSQL_') FROM RDB\$DATABASE;")
[ "$left" = "0" ] || fail "sql/$drop_sql left $left routines"

server_finish

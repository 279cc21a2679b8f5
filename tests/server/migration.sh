#!/usr/bin/env bash
# The move of a database from the legacy module to the UDR module in place, in the embedded
# engine:
#   tests/server/migration.sh --build-dir DIR --charset NONE|UTF8 [--dialect 1|3] [--to-fb5] [--target psql] [--keep]
# DIR holds ardudf.so and src/udr/libardudf_udr.so. A database declared with sql/ardudf.sql
# and by hand (own names, a duplicate, another library's function), that calls the functions
# from every kind of object (migration/schema.sql), gives what migration/report.sql reads.
# sql/ardudf_legacy_to_udr.sql must leave it giving the same, byte for byte: in the
# attachment that ran it, after a reconnect with UdfAccess = None, after every shipped
# declare script run over it (the upgrade), after a backup and restore, and when the legacy
# backup is restored first into an engine without legacy UDFs and moved there. Also: the
# preview and the refusals (another attachment, the drop scripts) change nothing; the check
# after the move passes, and fails on a legacy declaration left behind; the way back, from
# the backup taken before the move. --to-fb5: the engine upgrade too, the Firebird 3 backups
# restored into Firebird 5 (scripts/engine.sh fb5) in both orders of docs/migration.md.
# --target psql: the same over the move to PSQL, sql/ardudf_legacy_to_psql.sql (docs/psql.md),
# where the UDR module's own steps (the preview, the check, its option) do not apply.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build_dir="" charset="" dialect=3 keep=0 to_fb5=0 target=udr
usage="usage: migration.sh --build-dir DIR --charset NONE|UTF8 [--dialect 1|3] [--to-fb5] [--target psql] [--keep]"
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$(cd "$2" && pwd); shift 2 ;;
    --charset) charset=$2; shift 2 ;;
    --dialect) dialect=$2; shift 2 ;;
    --to-fb5) to_fb5=1; shift ;;
    --target) target=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ -n "$build_dir" ] && [ -n "$charset" ] && [[ $target =~ ^(udr|psql)$ ]] || { echo "$usage" >&2; exit 2; }
# The move, and what it says when it has moved them.
move=$source_dir/sql/ardudf_legacy_to_udr.sql moved_to="moved to the UDR module ardudf_udr" again="on ardudf_udr already"
if [ $target = psql ]; then
  move=$source_dir/sql/ardudf_legacy_to_psql.sql moved_to="moved to PSQL" again="moved to PSQL already"
fi
udr() { [ $target = udr ]; } # the steps of the UDR module alone

# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-migration.XXXXXX")
if [ $keep -eq 0 ]; then trap 'exec 3>&- 2>/dev/null; rm -rf "$work"' EXIT; else echo "kept: $work"; fi
# Both modules in one folder: the legacy one allowed while the database is on it, the UDR
# one found by the UDR engine throughout.
mkdir -p "$work/modules"
cp "$build_dir/ardudf.so" "$build_dir/src/udr/libardudf_udr.so" "$work/modules/" || exit 1
fbenv_setup "$work/root" "$work/modules" udr || exit 1
udf_access() { sed -i "s|^UdfAccess = .*|UdfAccess = $1|" "$work/root/firebird.conf"; }
udf_access "Restrict $work/modules"

failures=0
# The failures on purpose, the module missing, stale keys and bin/move_to_udr.sh: in two of
# the four runs of an engine (dialect 3 with NONE, dialect 1 with UTF8), and not again in
# the run that goes on to Firebird 5.
extras=0
case "$charset/$dialect/$to_fb5" in NONE/3/0 | UTF8/1/0) extras=1 ;; esac
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# isql on a database; no line of its output depends on the run or on which module raised an
# error ("-UDF: NAME" against "-At function 'NAME'").
run() { # script database
  fbenv_isql "$2" -i "$1" 2>&1 |
    sed -E -e 's/[[:space:]]*$//' -e "/^-UDF: /d" -e "/^-At function '/d" | cat -s | sed '/./,$!d'
}
report() { run "$here/migration/report.sql" "$1"; }
# How the routines and indexes are declared: what "nothing changed" compares.
declared() {
  echo "SET LIST ON; SELECT RDB\$FUNCTION_NAME, RDB\$MODULE_NAME, RDB\$ENTRYPOINT, RDB\$ENGINE_NAME,
    CAST(RDB\$DESCRIPTION AS VARCHAR(200)) AS note FROM RDB\$FUNCTIONS
    WHERE COALESCE(RDB\$SYSTEM_FLAG, 0) = 0 ORDER BY 1; SELECT RDB\$PROCEDURE_NAME, RDB\$ENTRYPOINT FROM RDB\$PROCEDURES
    WHERE COALESCE(RDB\$SYSTEM_FLAG, 0) = 0 ORDER BY 1; SELECT RDB\$INDEX_NAME, RDB\$INDEX_INACTIVE FROM RDB\$INDICES
    WHERE COALESCE(RDB\$SYSTEM_FLAG, 0) = 0 ORDER BY 1; SELECT RDB\$FUNCTION_NAME, RDB\$ARGUMENT_POSITION,
    RDB\$FIELD_LENGTH, RDB\$CHARACTER_SET_ID FROM RDB\$FUNCTION_ARGUMENTS WHERE RDB\$PACKAGE_NAME IS NULL
    ORDER BY 1, 2;" | fbenv_isql "$1" 2>&1
}
# A script that must refuse: its words, and nothing changed.
refused() { # what script database pattern
  declared "$3" > "$work/declared.before"
  run "$2" "$3" > "$work/refused.out"
  expect "$1 refused" "$4" "$work/refused.out"
  declared "$3" > "$work/declared.now"
  same "$1 changed nothing" "$work/declared.before" "$work/declared.now"
}
same() { # what expected actual
  if diff -u "$2" "$3" > "$work/diff"; then echo "ok: $1 ($label)"; else fail "$1 ($label)"; cat "$work/diff"; fi
}
# The names of the inactive indexes, one line.
inactive() {
  echo "SET HEADING OFF; SELECT TRIM(RDB\$INDEX_NAME) FROM RDB\$INDICES WHERE COALESCE(RDB\$INDEX_INACTIVE, 0) <> 0
    ORDER BY 1;" | fbenv_isql "$1" 2>&1 | sed '/^[[:space:]]*$/d; s/[[:space:]]*$//' | tr '\n' ' '
}
absent() { # what pattern output-file
  if grep -q -- "$2" "$3"; then fail "$1: '$2' in ($label)"; cat "$3"; else echo "ok: $1 ($label)"; fi
}
expect() { # what pattern output-file
  if grep -q -- "$2" "$3"; then echo "ok: $1 ($label)"; else fail "$1: no '$2' in ($label)"; cat "$3"; fi
}

db=$work/moved.fdb
fbenv_create_db "$db" "$charset" "$dialect" || { fail "cannot create the database"; exit 1; }
label="$charset, dialect $dialect, to $target, Firebird $(fbenv_value "$db" "SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB\$DATABASE;")"
# What the move finds: the catalogue's declarations and those made by hand in schema.sql.
to_move=$(( $(grep -c '^DECLARE EXTERNAL FUNCTION' "$source_dir/sql/ardudf.sql") +
  $(grep -ci "MODULE_NAME '[^']*ardudf" "$here/migration/schema.sql") ))
run "$source_dir/sql/ardudf.sql" "$db" > "$work/declare.out"
run "$here/migration/schema.sql" "$db" >> "$work/declare.out"
[ -s "$work/declare.out" ] && { fail "declaring the legacy module and its callers printed:"; cat "$work/declare.out"; }
if [ $target = psql ] && [ "$dialect" = 3 ]; then
  # REVERSE, a name of ib_reversestring, would stand in for the built-in the PSQL functions
  # call: the move refuses, and goes on once the DBA has dropped it (nothing calls it).
  run "$move" "$db" > "$work/reverse.out"
  expect "the move to PSQL refuses a function named REVERSE" 'REVERSE bears the name of a built-in' "$work/reverse.out"
  printf "DROP EXTERNAL FUNCTION reverse;\nCOMMIT;\n" > "$work/reverse.sql"
  run "$work/reverse.sql" "$db"
  to_move=$((to_move - 1))
fi
report "$db" > "$work/before.out"
if grep -q 'not defined\|could not be found\|not loaded' "$work/before.out"; then
  fail "the legacy module did not answer:"; cat "$work/before.out"
fi
gbak -b "$db" "$work/legacy.fbk" || fail "gbak -b of the legacy database"
declared "$db" > "$work/declared.legacy"

# Both drop scripts, blocked by the callers: nothing dropped, and the callers named.
run "$source_dir/sql/ardudf_drop.sql" "$db" > "$work/drop.out"
expect "ardudf_drop.sql refused" 'nothing dropped' "$work/drop.out"
expect "ardudf_drop.sql names a computed column" 'IB_LPAD is called by column ITEM.PADDED' "$work/drop.out"
declared "$db" > "$work/declared.now"
same "ardudf_drop.sql dropped nothing" "$work/declared.legacy" "$work/declared.now"

if udr; then
# The preview: what the move would do, and nothing changed.
declared "$db" > "$work/declared.before"
run "$source_dir/sql/ardudf_legacy_to_udr_preview.sql" "$db" > "$work/preview.out"
expect "the preview" "preview only, nothing changed: $to_move declaration(s) to move" "$work/preview.out"
expect "the preview finds an own name" 'to move: STRLEN (ib_string_length)' "$work/preview.out"
expect "the preview shows the declaration after" "after: ALTER FUNCTION .*PADL.* (text VARCHAR(255)" "$work/preview.out"
expect "the preview names a caller" 'called by column ITEM.PADDED' "$work/preview.out"
expect "the preview names an index" 'index OWN_LENGTH: the move would rebuild it' "$work/preview.out"
expect "the preview names another library's function" "left as it is, not ardudf's: OTHER_LPAD" "$work/preview.out"
expect "the preview says why it would rebuild an index" \
  'index ITEM_SLASHED: the move would rebuild it (by its dependencies: it calls IB_LPAD through function SLASHED)' \
  "$work/preview.out"
expect "the preview leaves an index the DBA names" 'index ITEM_KEPT: left as it is, as ARDUDF_LEAVE_INDEXES asks' \
  "$work/preview.out"
absent "the preview names no index that calls nothing of ardudf's" 'ITEM_LOW\|ITEM_QUOTED' "$work/preview.out"
expect "the preview keeps a comment of the database's own" \
  "comment kept, it is not ardudf's: length in bytes, as billing counts it" "$work/preview.out"
expect "the preview flags a built-in's name" 'note: REVERSE (ib_reversestring) bears the name of a built-in' \
  "$work/preview.out"
declared "$db" > "$work/declared.now"
same "the preview changed nothing" "$work/declared.before" "$work/declared.now"
fi

# Another attachment open: the move refused, nothing changed.
mkfifo "$work/hold"
fbenv_isql "$db" < "$work/hold" > /dev/null 2>&1 &
exec 3> "$work/hold"
echo "SELECT 1 FROM RDB\$DATABASE;" >&3
for _ in $(seq 50); do
  n=$(fbenv_value "$db" "SELECT COUNT(*) FROM MON\$ATTACHMENTS WHERE MON\$SYSTEM_FLAG = 0;")
  [ "$n" -ge 2 ] 2>/dev/null && break
  sleep 0.2
done
run "$move" "$db" > "$work/refused.out"
exec 3>&-
wait
expect "the move refused while another attachment is connected" 'is connected to this database too' "$work/refused.out"
expect "the move says it changed nothing" "$(basename "$move") changed nothing" "$work/refused.out"
expect "the refusal is an exception of its own" '^-ARDUDF_REFUSED' "$work/refused.out"
absent "the refusal is no conversion error" 'conversion error' "$work/refused.out"
declared "$db" > "$work/declared.now"
same "the refused move changed nothing" "$work/declared.legacy" "$work/declared.now"

# A dialect 1 database cannot hold the PSQL functions: the move to PSQL refuses it.
if [ $target = psql ] && [ "$dialect" = 1 ]; then
  refused "the move to PSQL in dialect 1" "$move" "$db" 'this is a dialect 1 database, which cannot hold'
  fbenv_create_db "$work/empty.fdb" "$charset" 1 &&
    refused "ardudf_psql.sql in dialect 1" "$source_dir/sql/ardudf_psql.sql" "$work/empty.fdb" 'dialect 1 database'
  [ $failures -eq 0 ] || { echo "$failures failure(s) ($label)"; exit 1; }
  echo "the move to PSQL refuses a dialect 1 database, changing nothing ($label)"
  exit 0
fi

if [ $extras -eq 1 ]; then
  # Copies of the legacy database, for the moves that fail below.
  for copy in no_udr half_move half_index fleet_a fleet_b fleet_c; do cp "$db" "$work/$copy.fdb"; done
fi
if [ $extras -eq 1 ] && udr; then
  # No UDR module in the server: the move refuses before its first change, in the engine's words.
  mv "$work/modules/libardudf_udr.so" "$work/udr.away"
  refused "the move without the UDR module" "$source_dir/sql/ardudf_legacy_to_udr.sql" "$work/no_udr.fdb" \
    'nothing changed: the UDR module ardudf_udr does not load in this server'
  expect "the move without the UDR module: the engine's words" 'UDR module not loaded' "$work/refused.out"
  absent "the move without the UDR module moved nothing" 'function(s) moved' "$work/refused.out"
  mv "$work/udr.away" "$work/modules/libardudf_udr.so"
fi

# The move, and the callers read in the same attachment.
printf "INPUT '%s';\nSET BAIL OFF;\nINPUT '%s';\n" "$move" "$here/migration/report.sql" > "$work/move.sql"
run "$work/move.sql" "$db" > "$work/move.out"
sed -n '/^ARDUDF_REPORT/,$p' "$work/move.out" > "$work/after.out"
sed '/^ARDUDF_REPORT/,$d' "$work/move.out" > "$work/moved.out"
expect "the move" "$to_move function(s) $moved_to" "$work/moved.out"
for index in ITEM_LABEL ITEM_NOTE_LENGTH ITEM_SLASHED ITEM_YEAR OWN_LENGTH; do
  expect "index $index rebuilt" "index rebuilt: $index" "$work/moved.out"
done
expect "a duplicate under a folder's module name moved" 'moved under its own name: TEXT_LENGTH' "$work/moved.out"
expect "another library's function named" "left as it is, not ardudf's: OTHER_LPAD" "$work/moved.out"
same "every caller, in the attachment that moved" "$work/before.out" "$work/after.out"
left=$(fbenv_value "$db" "SELECT CAST(LIST(TRIM(RDB\$FUNCTION_NAME)) AS VARCHAR(2000)) FROM RDB\$FUNCTIONS WHERE RDB\$MODULE_NAME IS NOT NULL;")
[ "$left" = OTHER_LPAD ] || fail "left on a legacy module: $left, not just OTHER_LPAD ($label)"
expect "the move leaves the index the DBA names" 'index left as it is, as ARDUDF_LEAVE_INDEXES asks: ITEM_KEPT' \
  "$work/moved.out"
[ "$(inactive "$db")" = "ITEM_KEPT ITEM_LOW ITEM_QUOTED " ] ||
  fail "inactive after the move: $(inactive "$db") ($label)"
note=$(fbenv_value "$db" "SELECT CAST(RDB\$DESCRIPTION AS VARCHAR(200)) FROM RDB\$FUNCTIONS
  WHERE RDB\$FUNCTION_NAME = 'STRLEN';")
[ "$note" = "length in bytes, as billing counts it" ] || fail "the comment on STRLEN is now: $note ($label)"
declared "$db" > "$work/declared.moved"

if [ $extras -eq 1 ]; then
  # The move failed halfway by a DDL trigger, in the functions' step and in the index step,
  # then run again without it: it finishes, and the database is as the move in one go left it.
  halfway() { # NAME EVENT CONDITION
    cat > "$work/halfway.sql" <<EOF
CREATE EXCEPTION halfway 'failed on purpose';
SET TERM ^ ;
CREATE TRIGGER halfway BEFORE $2 AS
BEGIN
  IF ($3) THEN EXCEPTION halfway;
END^
SET TERM ; ^
COMMIT;
EOF
    run "$work/halfway.sql" "$work/$1.fdb"
    run "$move" "$work/$1.fdb" > "$work/$1.first"
    declared "$work/$1.fdb" > "$work/$1.declared"
    udr && run "$source_dir/sql/ardudf_udr_check.sql" "$work/$1.fdb" > "$work/$1.check"
    printf "DROP TRIGGER halfway;\nDROP EXCEPTION halfway;\nCOMMIT;\n" > "$work/halfway.sql"
    run "$work/halfway.sql" "$work/$1.fdb"
    run "$move" "$work/$1.fdb" > "$work/$1.again"
    report "$work/$1.fdb" > "$work/$1.out"
    declared "$work/$1.fdb" > "$work/$1.declared_again"
    same "$1: every caller after the second run" "$work/before.out" "$work/$1.out"
    same "$1: declared as after the move in one go" "$work/declared.moved" "$work/$1.declared_again"
  }
  halfway half_move "ALTER FUNCTION" "RDB\$GET_CONTEXT('DDL_TRIGGER', 'OBJECT_NAME') = 'PADL'"
  expect "failed in the functions' step" 'failed on purpose' "$work/half_move.first"
  if udr; then
    same "failed in the functions' step: nothing changed" "$work/declared.legacy" "$work/half_move.declared"
  else
    # The PSQL helpers and package are there already; no declaration has moved.
    legacy_left() { grep -c '^RDB\$MODULE_NAME  *[^< ]' "$1"; }
    [ "$(legacy_left "$work/half_move.declared")" = "$(legacy_left "$work/declared.legacy")" ] &&
      echo "ok: failed in the functions' step: no declaration moved ($label)" ||
      fail "failed in the functions' step: declarations moved ($label)"
  fi
  expect "failed in the functions' step, run again" "$to_move function(s) moved" "$work/half_move.again"
  halfway half_index "ALTER INDEX" "RDB\$GET_CONTEXT('DDL_TRIGGER', 'OBJECT_NAME') = 'ITEM_SLASHED'
      AND RDB\$GET_CONTEXT('DDL_TRIGGER', 'SQL_TEXT') NOT CONTAINING 'INACTIVE'"
  expect "failed in the index step: the others built" 'index rebuilt: OWN_LENGTH' "$work/half_index.first"
  expect "failed in the index step: the index named" 'index not built: ITEM_SLASHED' "$work/half_index.first"
  expect "failed in the index step: the engine's words" 'failed on purpose' "$work/half_index.first"
  udr && expect "failed in the index step: the check names it" \
    'problem: index ITEM_SLASHED calls the functions and is inactive' \
    "$work/half_index.check"
  expect "failed in the index step, run again" 'index activated: ITEM_SLASHED' "$work/half_index.again"
fi

# From now on the engine loads no legacy module at all.
udf_access None
report "$db" > "$work/after.out"
same "every caller, reconnected, UdfAccess = None" "$work/before.out" "$work/after.out"
if [ $target = psql ]; then
  # A user granted EXECUTE on three moved functions, and nothing else, calls them.
  printf "GRANT EXECUTE ON FUNCTION %s TO USER bob;\n" IB_LPAD STRLEN IB_SCBCREATE > "$work/grants.sql"
  run "$work/grants.sql" "$db"
  echo "SET LIST ON; SELECT ib_lpad(NULL, 3, '0') AS padded, strlen('abc') AS len, SIGN(ib_scbcreate()) AS handle
    FROM RDB\$DATABASE;" | fbenv_isql "$db" -user BOB > "$work/bob.out" 2>&1
  expect "a user granted EXECUTE alone calls the moved functions" '^HANDLE  *1$' "$work/bob.out"
  expect "... and they read NULL as the legacy module did" '^PADDED  *000$' "$work/bob.out"
fi
if udr; then
  run "$source_dir/sql/ardudf_udr_check.sql" "$db" > "$work/check.out"
  expect "the check after the move" "ok: $to_move function(s) of the UDR module answer" "$work/check.out"
  expect "the check leaves out the index the DBA names" \
    'index left out, as ARDUDF_LEAVE_INDEXES asks: ITEM_KEPT (inactive)' "$work/check.out"
  expect "the check flags a built-in's name" 'note: REVERSE (ib_reversestring)' "$work/check.out"
fi

if [ $extras -eq 1 ] && udr; then
  # Keys the expression no longer gives (a routine it calls changed): the check finds them,
  # the move run again rebuilds the index.
  cp "$db" "$work/stale.fdb"
  cat > "$work/stale.sql" <<'EOF'
SET TERM ^ ;
ALTER FUNCTION slashed (c VARCHAR(20)) RETURNS VARCHAR(40) AS
BEGIN
  RETURN '#' || ib_lpad(c, 6, '0') || '#';
END^
SET TERM ; ^
COMMIT;
EOF
  run "$work/stale.sql" "$work/stale.fdb"
  run "$source_dir/sql/ardudf_udr_check.sql" "$work/stale.fdb" > "$work/stale.check"
  expect "the check finds stale keys" 'problem: index ITEM_SLASHED holds stale keys' "$work/stale.check"
  run "$source_dir/sql/ardudf_legacy_to_udr.sql" "$work/stale.fdb" > "$work/stale.moved"
  expect "the move run again rebuilds stale keys" 'index rebuilt, [0-9]* of its keys were stale: ITEM_SLASHED' \
    "$work/stale.moved"
  run "$source_dir/sql/ardudf_udr_check.sql" "$work/stale.fdb" > "$work/stale.check"
  expect "the check after the stale keys were rebuilt" "ok: $to_move function(s)" "$work/stale.check"
fi

if [ $extras -eq 1 ] && udr; then
  # bin/move_to_udr.sh: a dry run, then three databases, of which one refuses (a declaration
  # that cannot move); a log, a report and an exit status for each.
  cp "$work/fleet_a.fdb" "$work/dry.fdb"
  ISQL=$FB_ISQL "$source_dir/bin/move_to_udr.sh" --dry-run --out "$work/dry" "$work/dry.fdb" > "$work/dry.out" ||
    fail "bin/move_to_udr.sh --dry-run: exit status $? ($label)"
  expect "the dry run writes the moves" "^ALTER FUNCTION .*PADL.* (text VARCHAR(255) .*!legacy_nulls' ENGINE UDR;$" \
    "$work/dry/dry.ddl.sql"
  expect "the dry run writes the index step" '^ALTER INDEX ITEM_SLASHED ACTIVE;$' "$work/dry/dry.ddl.sql"
  absent "the dry run leaves the index the DBA names" 'ITEM_KEPT' "$work/dry/dry.ddl.sql"
  declared "$work/dry.fdb" > "$work/declared.now"
  same "the dry run changed nothing" "$work/declared.legacy" "$work/declared.now"
  cat > "$work/bad.sql" <<'EOF'
DECLARE EXTERNAL FUNCTION bad_length INTEGER RETURNS INTEGER BY VALUE
  ENTRY_POINT 'ib_string_length' MODULE_NAME 'ardudf';
COMMIT;
EOF
  run "$work/bad.sql" "$work/fleet_c.fdb"
  start=$(date +%s)
  ISQL=$FB_ISQL "$source_dir/bin/move_to_udr.sh" --out "$work/fleet" "$work"/fleet_[abc].fdb > "$work/fleet.out"
  rc=$?
  echo "bin/move_to_udr.sh: 3 databases in $(( $(date +%s) - start )) s ($label)"
  [ $rc -eq 1 ] || fail "bin/move_to_udr.sh over a database that refuses: exit status $rc ($label)"
  expect "bin/move_to_udr.sh moved one" "fleet_a.fdb\",\"moved\",\"0\"" "$work/fleet/summary.csv"
  expect "bin/move_to_udr.sh moved the next" "fleet_b.fdb\",\"moved\",\"0\"" "$work/fleet/summary.csv"
  expect "bin/move_to_udr.sh names the one that refused" "fleet_c.fdb\",\"refused\",\"1\"" "$work/fleet/summary.csv"
  expect "the log of the one that refused says why" 'nothing changed: BAD_LENGTH is declared with other arguments' \
    "$work/fleet/fleet_c.log"
  report "$work/fleet_b.fdb" > "$work/after.out"
  same "every caller, moved by bin/move_to_udr.sh" "$work/before.out" "$work/after.out"
  for row in '"fleet_a","before","declaration","PADL","ib_lpad","legacy ardudf.so"' \
    '"fleet_a","after","declaration","PADL","ib_lpad","moved ardudf_udr!ib_lpad!legacy_nulls"' \
    '"fleet_a","before","caller","PADL","column OWN.P",""' \
    '"fleet_a","move","index","ITEM_SLASHED","rebuilt",""' \
    '"fleet_a","move","index","ITEM_KEPT","left as it is",""' \
    '"fleet_a","kept","comment","STRLEN","","length in bytes, as billing counts it"' \
    '"fleet_a","kept","grant","PADL","SYSDBA","X WITH GRANT OPTION"'; do
    if grep -qxF -- "$row" "$work/fleet/fleet_a.report.csv"; then echo "ok: the report holds $row ($label)"
    else fail "the report lacks $row ($label)"; fi
  done
  absent "the report finds no grant or comment lost" '^"fleet_a","lost"' "$work/fleet/fleet_a.report.csv"
fi

# A later release's scripts over the moved database: each refuses or changes nothing.
if udr; then
  refused "the move run again" "$move" "$db" "nothing to move: $to_move function(s) $again"
else
  # Over a database moved to PSQL, the move is its upgrade: the package brought up to date.
  run "$move" "$db" > "$work/again.out"
  expect "the move run again" "nothing to move: $to_move function(s) $again" "$work/again.out"
fi
refused "ardudf_udr.sql over the moved database" "$source_dir/sql/ardudf_udr.sql" "$db" \
  'PADL was moved in place and reads NULL as the legacy module did'
udr && refused "ardudf.sql over the moved database" "$source_dir/sql/ardudf.sql" "$db" \
  'IB_LPAD is declared on the UDR module'
refused "ardudf_psql.sql over the moved database" "$source_dir/sql/ardudf_psql.sql" "$db" \
  'STRLEN was moved in place and reads NULL as the legacy module did'
refused "ardudf_udr_drop.sql" "$source_dir/sql/ardudf_udr_drop.sql" "$db" 'nothing dropped'
report "$db" > "$work/after.out"
same "every caller, after the upgrades" "$work/before.out" "$work/after.out"

if udr; then
# The check finds a legacy declaration left behind, under any name.
printf "DECLARE EXTERNAL FUNCTION left_behind CSTRING(10) RETURNS INTEGER BY VALUE\n  ENTRY_POINT 'ib_string_length' MODULE_NAME 'ardudf';\nCOMMIT;\n" > "$work/left.sql"
cp "$db" "$work/left.fdb"
udf_access "Restrict $work/modules"
run "$work/left.sql" "$work/left.fdb"
udf_access None
run "$source_dir/sql/ardudf_udr_check.sql" "$work/left.fdb" > "$work/check.out"
expect "the check names a legacy declaration left behind" 'problem: LEFT_BEHIND is declared on the legacy module' "$work/check.out"
expect "the check fails" 'ardudf_udr_check.sql found 1 problem(s)' "$work/check.out"
fi

gbak -b "$db" "$work/moved.fbk" && gbak -c "$work/moved.fbk" "$work/restored.fdb" || fail "gbak of the moved database"
report "$work/restored.fdb" > "$work/after.out"
same "every caller, after backup and restore" "$work/before.out" "$work/after.out"
if udr; then
  run "$source_dir/sql/ardudf_udr_indexes.sql" "$work/restored.fdb" > "$work/indexes.out"
  expect "the index step on its own" 'index rebuilt: OWN_LENGTH' "$work/indexes.out"
fi

# The other order: the legacy backup restored first into an engine that loads no legacy
# module (its expression indexes left inactive, the database offline), then moved there.
restore_then_move() { # NAME: $work/NAME.fdb, and what each step printed in $work/NAME.*
  gbak -c "$work/legacy.fbk" "$work/$1.fdb" > "$work/$1.gbak" 2>&1
  gfix -online "$work/$1.fdb" >> "$work/$1.gbak" 2>&1
  run "$move" "$work/$1.fdb" > "$work/$1.moved"
  udr && run "$source_dir/sql/ardudf_udr_check.sql" "$work/$1.fdb" > "$work/$1.check"
  report "$work/$1.fdb" > "$work/$1.out"
  inactive "$work/$1.fdb" > "$work/$1.inactive"
}
restored_then_moved() { # NAME WHAT
  expect "$2: the restore asks for gfix -online" 'gfix -online' "$work/$1.gbak"
  expect "$2: the move" "$to_move function(s) $moved_to" "$work/$1.moved"
  for index in ITEM_LABEL ITEM_NOTE_LENGTH ITEM_SLASHED ITEM_YEAR OWN_LENGTH; do
    expect "$2: index $index activated" "index activated: $index" "$work/$1.moved"
  done
  udr && expect "$2: the check" "ok: $to_move function(s)" "$work/$1.check"
  [ "$(cat "$work/$1.inactive")" = "ITEM_KEPT ITEM_LOW ITEM_QUOTED " ] ||
    fail "$2: inactive after the move: $(cat "$work/$1.inactive")"
  same "$2: every caller" "$work/before.out" "$work/$1.out"
}
restore_then_move restored_first
restored_then_moved restored_first "restored first without legacy UDFs, moved then"

# A database declared for the UDR module from the start is left as it is.
fbenv_create_db "$work/udr.fdb" "$charset" "$dialect" && run "$source_dir/sql/ardudf_udr.sql" "$work/udr.fdb" > /dev/null
n_udr=$(grep -c '^CREATE OR ALTER FUNCTION' "$source_dir/sql/ardudf_udr.sql")
if udr; then
  refused "the move over sql/ardudf_udr.sql" "$move" "$work/udr.fdb" "nothing to move: $n_udr function(s) $again"
else
  refused "the move over sql/ardudf_udr.sql" "$move" "$work/udr.fdb" "no function of ardudf's legacy module"
fi
refused "ardudf.sql over sql/ardudf_udr.sql" "$source_dir/sql/ardudf.sql" "$work/udr.fdb" 'is declared on the UDR module'

if udr; then
# A typing error in the option is an error, never the other NULL rule.
printf "ALTER FUNCTION ib_string_length (text VARCHAR(10)) RETURNS INTEGER\n  EXTERNAL NAME 'ardudf_udr!ib_string_length!legacy_null' ENGINE UDR;\nSELECT ib_string_length(NULL) FROM RDB\$DATABASE;\n" > "$work/option.sql"
run "$work/option.sql" "$work/restored.fdb" > "$work/option.out"
expect "an unknown option refused" "the one option is 'legacy_nulls'" "$work/option.out"
run "$source_dir/sql/ardudf_udr_check.sql" "$work/restored.fdb" > "$work/check.out"
expect "the check names a function that does not answer" 'problem: IB_STRING_LENGTH does not answer a call' \
  "$work/check.out"
expect "the check gives the engine's words for it" "the one option is 'legacy_nulls'" "$work/check.out"
fi

# The way back: the backup taken before the move, with the legacy module allowed again.
udf_access "Restrict $work/modules"
gbak -c "$work/legacy.fbk" "$work/back.fdb" || fail "gbak -c of the legacy backup"
report "$work/back.fdb" > "$work/after.out"
same "every caller, back on the legacy module from the backup" "$work/before.out" "$work/after.out"

# The engine upgrade: the Firebird 3 backups into Firebird 5 (ODS 12 to 13.1), which loads
# no legacy module, with the UDR module installed. (a) Moved on Firebird 3, then restored;
# (b) restored first (gbak leaves the indexes over the functions inactive and the database
# offline), then moved there. Each in a subshell with a root of its own.
if [ $to_fb5 -eq 1 ]; then
  (
    fbenv_use fb5 && fbenv_setup "$work/root5" "$work/modules" udr || exit 1
    fbenv_value "$db" "SELECT 1 FROM RDB\$DATABASE;" > "$work/fb5.ods" # Firebird 5 refuses ODS 12
    gbak -c "$work/moved.fbk" "$work/fb5_a.fdb" > "$work/fb5_a.gbak" 2>&1
    fbenv_value "$work/fb5_a.fdb" "SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') || ', ODS ' || MON\$ODS_MAJOR
      || '.' || MON\$ODS_MINOR FROM MON\$DATABASE;" >> "$work/fb5.ods"
    report "$work/fb5_a.fdb" > "$work/fb5_a.out"
    restore_then_move fb5_b
    true # the report's refused statements make isql's status non-zero
  ) || fail "no Firebird 5 to upgrade to"
  label="$label, to Firebird 5"
  expect "Firebird 5 refuses the Firebird 3 database file itself" 'unsupported on-disk structure' "$work/fb5.ods"
  expect "restored in Firebird 5" '^5\.0\.[0-9]*, ODS 13\.1$' "$work/fb5.ods"
  same "(a) every caller, moved in Firebird 3 and restored in Firebird 5" "$work/before.out" "$work/fb5_a.out"
  restored_then_moved fb5_b "(b) restored in Firebird 5 and moved there"
fi

if [ $failures -gt 0 ]; then
  echo "$failures failure(s) ($label)"
  exit 1
fi
echo "the move to $target in place keeps every result ($label)"

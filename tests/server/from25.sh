#!/usr/bin/env bash
# The road from Firebird 2.5, with databases the real 2.5 engine made:
#   tests/server/from25.sh --windows-build DIR --udr-dir DIR --charset NONE|UTF8|WIN1250 [--dialect 1|3]
#                          [--engine fb3|fb4|fb5]... [--keep]
# In Firebird 2.5 (the 32-bit Windows embedded kit under Wine, tests/fb25) a database is
# declared with sql/ardudf.sql and by hand under names of its own, calls the functions from
# every kind of object 2.5 has (migration/schema25.sql), and gives what
# migration/report25.sql reads; it is backed up by the 2.5 engine. Each --engine (default:
# all three) then does what docs/migration.md says for a 2.5 server: restore the backup into
# a new file on the new server (no legacy UDFs: UdfAccess = None, the UDR module installed),
# gfix -online, the preview, the move, the check. Every caller must answer what it answered
# in 2.5, and no index over the functions may stay inactive.
# --windows-build: the mingw-i686 build (ardudf.dll, tests/fb25/ardudf_isql25.exe);
# --udr-dir: the folder of the Linux libardudf_udr.so.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"

# isql's output without what names the engine that raised an error: the legacy module's
# "-UDF: NAME", a routine's "-At ..." lines, which 2.5 does not print; and without plans,
# which our 2.5 client does not print (the indexes are checked active instead).
run() { # script database
  fbenv_isql "$2" -m -i "$1" 2>&1 |
    sed -E -e 's/[[:space:]]*$//' -e "/^-UDF: /d" -e "/^-At (function|procedure|trigger) '/d" -e '/^PLAN /d' |
    cat -s | sed '/./,$!d'
}
report() { run "$here/migration/report25.sql" "$1"; }

# The guide's steps in engine NAME, whose environment this shell has: each step's output in
# WORK/NAME.*.
road() { # NAME WORK
  local name=$1 work=$2
  fbenv_setup "$work/root_$name" "$work/modules" udr || return 1
  gbak -c "$work/legacy25.fbk" "$work/$name.fdb" > "$work/$name.restore" 2>&1
  gfix -online single "$work/$name.fdb" >> "$work/$name.restore" 2>&1
  run "$source_dir/sql/ardudf_legacy_to_udr_preview.sql" "$work/$name.fdb" > "$work/$name.preview"
  run "$source_dir/sql/ardudf_legacy_to_udr.sql" "$work/$name.fdb" > "$work/$name.moved"
  run "$source_dir/sql/ardudf_udr_check.sql" "$work/$name.fdb" > "$work/$name.check"
  gfix -online normal "$work/$name.fdb" >> "$work/$name.restore" 2>&1
  report "$work/$name.fdb" > "$work/$name.out"
  fbenv_value "$work/$name.fdb" "SELECT COALESCE(CAST(LIST(TRIM(RDB\$INDEX_NAME)) AS VARCHAR(2000)), 'none')
    FROM RDB\$INDICES WHERE COALESCE(RDB\$INDEX_INACTIVE, 0) <> 0;" > "$work/$name.inactive"
  fbenv_value "$work/$name.fdb" "SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') || ', ODS ' || MON\$ODS_MAJOR
    || '.' || MON\$ODS_MINOR FROM MON\$DATABASE;" > "$work/$name.ods"
}
# Inside another engine's environment (scripts/fb4root.sh run): the steps alone.
if [ "${1:-}" = --road ]; then
  road "$2" "$3"
  exit
fi

windows_build="" udr_dir="" charset="" dialect=3 engines=() keep=0
usage="usage: from25.sh --windows-build DIR --udr-dir DIR --charset CS [--dialect 1|3] [--engine fb3|fb4|fb5]... [--keep]"
while [ $# -gt 0 ]; do
  case "$1" in
    --windows-build) windows_build=$(cd "$2" && pwd); shift 2 ;;
    --udr-dir) udr_dir=$(cd "$2" && pwd); shift 2 ;;
    --charset) charset=$2; shift 2 ;;
    --dialect) dialect=$2; shift 2 ;;
    --engine) engines+=("$2"); shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ -n "$windows_build" ] && [ -n "$udr_dir" ] && [ -n "$charset" ] || { echo "$usage" >&2; exit 2; }
[ ${#engines[@]} -gt 0 ] || engines=(fb3 fb4 fb5)

# shellcheck source=../fb25/fb25env.sh
. "$source_dir/tests/fb25/fb25env.sh"
if ! why=$(fb25_source 2>&1); then
  echo "SKIPPED: $why"
  exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-from25.XXXXXX")
if [ $keep -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
mkdir -p "$work/dll" "$work/modules"
cp "$windows_build/ardudf.dll" "$work/dll/" && cp "$udr_dir/libardudf_udr.so" "$work/modules/" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
same() { # what expected actual
  if diff -u "$2" "$3" > "$work/diff"; then echo "ok: $1 ($label)"; else fail "$1 ($label)"; cat "$work/diff"; fi
}
expect() { # what pattern output-file
  if grep -q -- "$2" "$3"; then echo "ok: $1 ($label)"; else fail "$1: no '$2' in ($label)"; cat "$3"; fi
}

# ---- in Firebird 2.5 -----------------------------------------------------------------------
(
  fb25_setup "$work/root25" "$work/dll" || exit 1
  export FB_ISQL=$source_dir/tests/fb25/isql25.sh
  db=$work/legacy25.fdb
  fbenv_create_db "$db" "$charset" "$dialect" || exit 1
  fbenv_engine_version "$db" > "$work/version25"
  { run "$source_dir/sql/ardudf.sql" "$db"; run "$here/migration/schema25.sql" "$db"; } > "$work/declare25.out"
  report "$db" > "$work/before.out"
  "$FB_ISQL" -backup "$db" "$work/legacy25.fbk" > "$work/backup25.out" 2>&1 || { cat "$work/backup25.out"; exit 1; }
) || { echo "FAIL: the database could not be made in Firebird 2.5"; exit 1; }
label="$charset, dialect $dialect, from Firebird $(cat "$work/version25")"
[ -s "$work/declare25.out" ] && fail "declaring and the schema printed in 2.5: $(cat "$work/declare25.out")"
case "$(cat "$work/version25")" in
  2.5.*) echo "ok: made in Firebird $(cat "$work/version25")" ;;
  *) fail "the database was not made by a 2.5 engine" ;;
esac
if grep -q 'not defined\|could not be found\|not loaded\|Statement failed' "$work/before.out" &&
  ! grep -q 'CHECK constraint' "$work/before.out"; then
  fail "the legacy module did not answer in 2.5:"; cat "$work/before.out"
fi
to_move=$(( $(grep -c '^DECLARE EXTERNAL FUNCTION' "$source_dir/sql/ardudf.sql") +
  $(grep -ci "MODULE_NAME '[^']*ardudf" "$here/migration/schema25.sql") ))

# ---- in each newer engine, as the guide orders it -------------------------------------------
for engine in "${engines[@]}"; do
  case "$engine" in
    fb3) ( road fb3 "$work" ) ;;
    fb4) "$source_dir/scripts/fb4root.sh" run --bind "$work" -- "$0" --road fb4 "$work" ;;
    fb5) ( fbenv_use_fb5 && road fb5 "$work" ) ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
  label="$charset, dialect $dialect, from Firebird $(cat "$work/version25") to $(cat "$work/$engine.ods" 2>/dev/null)"
  expect "the restore asks for gfix -online" 'gfix -online' "$work/$engine.restore"
  expect "the preview" "preview only, nothing changed: $to_move declaration(s) to move" "$work/$engine.preview"
  expect "the move" "$to_move function(s) moved to the UDR module ardudf_udr" "$work/$engine.moved"
  for index in ITEM_LABEL ITEM_NOTE_LENGTH ITEM_SLASHED ITEM_YEAR OWN_LENGTH; do
    expect "index $index activated" "index activated: $index" "$work/$engine.moved"
  done
  expect "the check" "ok: $to_move function(s)" "$work/$engine.check"
  [ "$(cat "$work/$engine.inactive")" = none ] || fail "inactive indexes left: $(cat "$work/$engine.inactive") ($label)"
  same "every caller answers what it answered in 2.5" "$work/before.out" "$work/$engine.out"
done

if [ $failures -gt 0 ]; then
  echo "$failures failure(s) ($charset, dialect $dialect)"
  exit 1
fi
echo "the road from Firebird 2.5 keeps every result ($charset, dialect $dialect: ${engines[*]})"

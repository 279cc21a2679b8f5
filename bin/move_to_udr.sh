#!/usr/bin/env bash
# The move from ardudf's legacy module to its UDR module (docs/migration.md) over many
# databases, one after the other:
#
#   bin/move_to_udr.sh [--dry-run] [--shutdown] [--out DIR] [--sql-dir DIR] DATABASE...
#   bin/move_to_udr.sh [options] --list FILE      (one database a line; # starts a comment)
#
# A database is what isql takes: a path, an alias, host:path. The credentials come from
# the environment as isql takes them (ISC_USER, ISC_PASSWORD); ISQL and GFIX name the
# programs (default isql-fb or isql, gfix). For each database, in DIR (default
# ./move_to_udr-DATE):
#   NAME.log          what each step printed: the preview, the move, the check
#   NAME.report.csv   every declaration of ardudf before and after, with its signature,
#                     callers, grants and comment; the indexes and what the move did to
#                     each; whether each grant and comment was kept
#   NAME.ddl.sql      with --dry-run: the statements the move would run; nothing is changed
# and summary.csv: database, status (moved, refused, check failed, previewed), exit status,
# seconds. NAME is the database's file name without its folder and extension, numbered
# when two databases share one. --shutdown: gfix -shut single -force 0 before the move and
# gfix -online after the check (the move refuses while another attachment is connected).
# The exit status is 0 when every database was moved and checked (or previewed), else 1.
set -uo pipefail

usage() {
  sed -n '5,6p' "$0" | sed 's/^# *//' >&2
  exit 2
}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
sql_dir=$source_dir/sql
[ -f "$sql_dir/ardudf_legacy_to_udr.sql" ] || sql_dir=/usr/share/ardudf/sql
out="move_to_udr-$(date +%Y%m%d-%H%M%S)" dry=0 shutdown=0 databases=()
while [ $# -gt 0 ]; do
  case "$1" in
    --dry-run) dry=1; shift ;;
    --shutdown) shutdown=1; shift ;;
    --out) out=$2; shift 2 ;;
    --sql-dir) sql_dir=$2; shift 2 ;;
    --list)
      [ -r "$2" ] || { echo "move_to_udr.sh: cannot read $2" >&2; exit 2; }
      while IFS= read -r line; do
        line=${line%%#*}
        line=$(echo "$line" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
        [ -z "$line" ] || databases+=("$line")
      done < "$2"
      shift 2 ;;
    -*) usage ;;
    *) databases+=("$1"); shift ;;
  esac
done
[ ${#databases[@]} -gt 0 ] || usage
isql=${ISQL:-$(command -v isql-fb || command -v isql || echo isql-fb)}
gfix=${GFIX:-gfix}
mkdir -p "$out" || exit 2

# isql on a database, its output as the scripts print it.
run_isql() { # database script
  "$isql" -q -ch UTF8 -i "$2" "$1" 2>&1
}
# The value of each row of a script whose rows are LIST'ed under COLUMN.
values() { # COLUMN < output
  sed -n "s/^$1  *//p"
}
# A field of CSV: quoted, its quotes doubled.
csv() {
  local f out=""
  for f in "$@"; do
    f=${f//\"/\"\"}
    out+="${out:+,}\"$f\""
  done
  printf '%s\n' "$out"
}
# The report rows of sql/ardudf_move_report.sql as CSV, under one phase.
report_rows() { # database phase
  run_isql "$1" "$sql_dir/ardudf_move_report.sql" | sed 's/[[:space:]]*$//' |
    grep -E '^(declaration|signature|comment|caller|grant|index)\|' |
    while IFS='|' read -r kind name item value; do csv "$db_name" "$2" "$kind" "$name" "$item" "$value"; done
}
# An index name as a statement spells it: quoted unless it is a plain upper-case name.
ident() {
  if [[ $1 =~ ^[A-Z][A-Z0-9_\$]*$ ]]; then echo "$1"; else echo "\"${1//\"/\"\"}\""; fi
}
# The statements the move would run, from the preview's rows.
ddl_from_preview() { # preview-output
  echo "-- What sql/ardudf_legacy_to_udr.sql would run, as its preview shows it (bin/move_to_udr.sh"
  echo "-- --dry-run); it also declares ib_scbwalk where the database has none. Not run."
  echo "SET AUTODDL OFF;"
  values ARDUDF_PREVIEW < "$1" | sed -n 's/^after: \(.*\)$/\1;/p; s/^comment: \(.*\)$/\1;/p'
  local ix
  while read -r ix; do echo "ALTER INDEX $(ident "$ix") INACTIVE;"; done < <(values ARDUDF_PREVIEW < "$1" |
    sed -n 's/^index \(.*\): the move would rebuild it (.*$/\1/p')
  echo "COMMIT;"
  while read -r ix; do echo "ALTER INDEX $(ident "$ix") ACTIVE;"; done < <(values ARDUDF_PREVIEW < "$1" |
    sed -n 's/^index \(.*\): \(the move would rebuild it\|inactive, the move would activate it\) (.*$/\1/p')
  echo "COMMIT;"
}
# Each grant and comment of before, under the phase kept, or lost when after has it not.
kept_rows() { # report.csv
  local row head rest
  grep -E '^"[^"]*","before","(grant|comment)",' "$1" | while IFS= read -r row; do
    head=${row%%\"before\",*} rest=${row#*\"before\",}
    if grep -qxF -- "$head\"after\",$rest" "$1"; then
      printf '%s\n' "$head\"kept\",$rest"
    else
      printf '%s\n' "$head\"lost\",$rest"
    fi
  done
}
# What the move did to each index, from its rows: ITEM|INDEX a line.
index_steps() { # move-output
  values ARDUDF_LEGACY_TO_UDR < "$1" | sed -n -e 's/^index \(rebuilt\|activated\): \(.*\)$/\1|\2/p' \
    -e 's/^index rebuilt, \(.*\) of its keys were stale: \(.*\)$/rebuilt, \1 stale key(s)|\2/p' \
    -e 's/^index not built: \([^ ]*\) .*$/not built|\1/p' \
    -e 's/^index left as it is, as ARDUDF_LEAVE_INDEXES asks: \([^ ]*\).*$/left as it is|\1/p'
}

csv database status exit seconds > "$out/summary.csv"
declare -A seen=()
failed=0
for db in "${databases[@]}"; do
  db_name=$(basename "${db##*:}")
  db_name=${db_name%.*}
  seen[$db_name]=$(( ${seen[$db_name]:-0} + 1 ))
  [ "${seen[$db_name]}" -eq 1 ] || db_name=$db_name-${seen[$db_name]}
  log=$out/$db_name.log report=$out/$db_name.report.csv
  start=$(date +%s)
  status="" rc=0
  {
    echo "== $db ($(date -u '+%Y-%m-%d %H:%M:%S UTC'))"
    echo "== preview"
  } > "$log"
  csv database phase kind name item value > "$report"
  report_rows "$db" before >> "$report"
  run_isql "$db" "$sql_dir/ardudf_legacy_to_udr_preview.sql" > "$out/$db_name.preview"
  cat "$out/$db_name.preview" >> "$log"
  if [ $dry -eq 1 ]; then
    ddl_from_preview "$out/$db_name.preview" > "$out/$db_name.ddl.sql"
    if grep -q 'the move would stop' "$out/$db_name.preview"; then status=refused rc=1; else status=previewed; fi
  else
    [ $shutdown -eq 0 ] || { echo "== gfix -shut single -force 0"; "$gfix" -shut single -force 0 "$db" 2>&1; } >> "$log"
    echo "== move" >> "$log"
    run_isql "$db" "$sql_dir/ardudf_legacy_to_udr.sql" > "$out/$db_name.move"
    rc=$?
    cat "$out/$db_name.move" >> "$log"
    index_steps "$out/$db_name.move" |
      while IFS='|' read -r what ix; do csv "$db_name" move index "$ix" "$what" ""; done >> "$report"
    if [ $rc -ne 0 ]; then
      status=refused
      grep -q 'function(s) moved' "$out/$db_name.move" && status="failed in the index step"
    else
      echo "== check" >> "$log"
      run_isql "$db" "$sql_dir/ardudf_udr_check.sql" >> "$log"
      rc=$?
      if [ $rc -eq 0 ]; then status=moved; else status="check failed"; fi
    fi
    [ $shutdown -eq 0 ] || { echo "== gfix -online"; "$gfix" -online "$db" 2>&1; } >> "$log"
    report_rows "$db" after >> "$report"
    kept_rows "$report" >> "$report"
  fi
  rm -f "$out/$db_name.preview" "$out/$db_name.move"
  [ $rc -eq 0 ] || failed=1
  seconds=$(( $(date +%s) - start ))
  echo "== $status (exit status $rc, $seconds s)" >> "$log"
  csv "$db" "$status" "$rc" "$seconds" >> "$out/summary.csv"
  echo "$db: $status (exit status $rc, $seconds s; $log)"
done
exit $failed

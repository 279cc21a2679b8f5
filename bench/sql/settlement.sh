#!/usr/bin/env bash
# A settlement of N rows in the server, through the UDR module and through the PSQL
# functions (sql/ardudf_psql.sql, declared beside it as ps_NAME) in one database: the rows
# added, a payment of the whole document, the walk of the rows it changed by the loop of
# four calls per row, the payment taken back, and its walk by ib_scbwalk. Each step is
# timed inside the engine; one round per size (the figures of a shared machine scatter).
#
#   bench/sql/settlement.sh [--build DIR] [--floor] [ROWS ...]     (default: 10000 200000)
#
# Prints a Markdown table (bench/results.md keeps one). --floor prints instead what the
# engine itself takes for the least such steps over the PSQL functions' own tables, on a
# context of ROWS rows: a loop that inserts them, one UPDATE of all of them, a loop that
# updates each in turn, and a procedure that returns each (with, and without, an UPDATE).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$source_dir/build/default
if [ "${1:-}" = --build ]; then build=$(cd "$2" && pwd); shift 2; fi
floor=0
if [ "${1:-}" = --floor ]; then floor=1; shift; fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 200000)
[ -f "$build/src/udr/libardudf_udr.so" ] || { echo "settlement.sh: no $build/src/udr/libardudf_udr.so" >&2; exit 2; }
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
fbenv_setup "$work/root" "$build/src/udr" udr
db=$work/settlement.fdb
fbenv_create_db "$db" UTF8
(cd "$source_dir/sql" && fbenv_isql "$db" -b -i ardudf_udr.sql)
sed -E -e 's/^(CREATE OR ALTER (FUNCTION|PROCEDURE)|COMMENT ON (FUNCTION|PROCEDURE)) ib_/\1 ps_/' -e 's/ TO (FUNCTION|PROCEDURE) ib_/ TO \1 ps_/' \
  "$source_dir/sql/ardudf_psql.sql" > "$work/psql.sql"
fbenv_isql "$db" -b -i "$work/psql.sql"

# One settlement through the functions of prefix P: "walked walked_proc" and the five times
# in milliseconds.
settle() { # prefix rows
  local P=$1 n=$2
  fbenv_isql "$db" -b <<SQL | awk '$1 == "RESULT" { $1 = ""; print }'
SET LIST ON;
SET TERM ^;
EXECUTE BLOCK RETURNS (result VARCHAR(200)) AS
DECLARE h INTEGER; DECLARE i INTEGER = 1; DECLARE c INTEGER; DECLARE walked INTEGER = 0;
DECLARE walked_proc INTEGER = 0; DECLARE t VARCHAR(255); DECLARE a DOUBLE PRECISION;
DECLARE v DOUBLE PRECISION; DECLARE t0 TIMESTAMP; DECLARE ms_add INTEGER; DECLARE ms_pay INTEGER;
DECLARE ms_walk INTEGER; DECLARE ms_back INTEGER; DECLARE ms_proc INTEGER;
BEGIN
  h = ${P}scbcreate();
  t0 = CAST('NOW' AS TIMESTAMP);
  WHILE (i <= $n) DO BEGIN c = ${P}scbaddrow(h, 'ROW' || i, 10, 2.1); i = i + 1; END
  ms_add = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  c = ${P}scbaddpayment(h, 12.1 * $n);
  ms_pay = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  WHILE (${P}scbisaffectedrows(h) = 1) DO BEGIN
    t = ${P}scbreadtype(h); a = ${P}scbreadamount(h); v = ${P}scbreadvat(h); walked = walked + 1;
  END
  ms_walk = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  c = ${P}scbaddpayment(h, -12.1 * $n);
  ms_back = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT(*) FROM ${P}scbwalk(:h) INTO walked_proc;
  ms_proc = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  c = ${P}scbfree(h);
  result = walked || ' ' || walked_proc || ' ' || ms_add || ' ' || ms_pay || ' ' || ms_walk || ' ' || ms_back || ' '
    || ms_proc;
  SUSPEND;
END^
SQL
}

# The engine's floor: the same rows in the PSQL functions' table, the least work on them.
if [ $floor -eq 1 ]; then
  fbenv_isql "$db" -b <<'SQL'
SET TERM ^;
CREATE PROCEDURE bench_walk_floor (h INTEGER) RETURNS (t VARCHAR(255), a DOUBLE PRECISION) AS
BEGIN
  FOR SELECT row_type, last_change FROM ardudf_psql_row WHERE handle = :h ORDER BY slot INTO :t, :a DO SUSPEND;
END^
CREATE PROCEDURE bench_walk_update_floor (h INTEGER) RETURNS (t VARCHAR(255), a DOUBLE PRECISION) AS
DECLARE c CURSOR FOR (SELECT row_type, last_change FROM ardudf_psql_row WHERE handle = :h ORDER BY slot);
BEGIN
  OPEN c;
  WHILE (TRUE) DO BEGIN
    FETCH c INTO :t, :a;
    IF (ROW_COUNT = 0) THEN LEAVE;
    UPDATE ardudf_psql_row SET last_change = 0e0 WHERE CURRENT OF c;
    SUSPEND;
  END
  CLOSE c;
END^
SET TERM ;^
COMMIT;
SQL
  echo "| rows | a loop, one INSERT a row | one UPDATE of every row | a loop, one UPDATE a row | a procedure, one row a fetch | the same, one UPDATE a row |"
  echo "|---:|---:|---:|---:|---:|---:|"
  for n in "${sizes[@]}"; do
    fbenv_isql "$db" -b <<SQL | awk '$1 == "RESULT" { $1 = ""; print }' | awk -v n="$n" \
      '{ printf "| %d | %.3f s | %.3f s | %.3f s | %.3f s | %.3f s |\n", n, $1 / 1000, $2 / 1000, $3 / 1000, $4 / 1000, $5 / 1000 }'
SET LIST ON;
SET TERM ^;
EXECUTE BLOCK RETURNS (result VARCHAR(200)) AS
DECLARE h INTEGER; DECLARE i INTEGER = 1; DECLARE c INTEGER; DECLARE t0 TIMESTAMP;
DECLARE ms_all INTEGER; DECLARE ms_loop INTEGER; DECLARE ms_proc INTEGER; DECLARE ms_proc_update INTEGER;
DECLARE s INTEGER; DECLARE ms_insert INTEGER;
BEGIN
  h = ps_scbcreate();
  t0 = CAST('NOW' AS TIMESTAMP);
  WHILE (i <= $n) DO BEGIN
    INSERT INTO ardudf_psql_row (handle, slot, row_type, amount, paid, last_change, affected)
      VALUES (:h, :i - 1, 'ROW' || :i, 10e0, 0e0, 0e0, 0);
    i = i + 1;
  END
  ms_insert = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  UPDATE ardudf_psql_row SET paid = amount, last_change = amount WHERE handle = :h;
  ms_all = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  FOR SELECT slot FROM ardudf_psql_row WHERE handle = :h ORDER BY slot INTO :s DO
    UPDATE ardudf_psql_row SET paid = 0e0 WHERE handle = :h AND slot = :s;
  ms_loop = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT(*) FROM bench_walk_floor(:h) INTO c;
  ms_proc = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  t0 = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT(*) FROM bench_walk_update_floor(:h) INTO c;
  ms_proc_update = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  c = ps_scbfree(h);
  result = ms_insert || ' ' || ms_all || ' ' || ms_loop || ' ' || ms_proc || ' ' || ms_proc_update;
  SUSPEND;
END^
SQL
  done
  exit 0
fi

echo "| rows | functions | add the rows | payment | walk, 4 calls a row | payment back | walk, ib_scbwalk |"
echo "|---:|---|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
  for way in "ib_ UDR module" "ps_ PSQL"; do
    read -r walked walked_proc ms_add ms_pay ms_walk ms_back ms_proc < <(settle "${way%% *}" "$n")
    if [ "$walked" != "$n" ] || [ "$walked_proc" != "$n" ]; then
      echo "settlement.sh: ${way#* } walked $walked and $walked_proc rows of $n" >&2
      exit 1
    fi
    awk -v n="$n" -v w="${way#* }" -v a="$ms_add" -v p="$ms_pay" -v k="$ms_walk" -v b="$ms_back" -v r="$ms_proc" \
      'function s(ms) { return sprintf("%.3f s", ms / 1000) }
       BEGIN { printf "| %d | %s | %s | %s | %s | %s | %s |\n", n, w, s(a), s(p), s(k), s(b), s(r) }'
  done
done

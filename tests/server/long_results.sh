#!/usr/bin/env bash
# A length argument of two thousand million costs the engine no more than the longest result
# a declaration accepts: the legacy module builds at most 32,768 bytes, which the server
# refuses with "string right truncation" as it would the whole. The same statements with
# small lengths are the baseline; the engine runs inside isql-fb, whose peak RSS and time are
# compared.
#   long_results.sh MODULE_DIR
#   long_results.sh --psql       the same over sql/ardudf_psql.sql, in an engine that loads no
#                                module: the PSQL functions build at most 32,765 bytes to refuse
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-long.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [ "$1" = --psql ]; then
  fbenv_setup "$work/root" "$work" psql
  declare_sql=ardudf_psql.sql
else
  fbenv_setup "$work/root" "$1"
  declare_sql=ardudf.sql
fi
fbenv_create_db "$work/t.fdb" UTF8
(cd "$source_dir/sql" && fbenv_isql "$work/t.fdb" -b -i "$declare_sql")

# Peak RSS in kB and wall time in ms of one isql-fb run of the three calls with length N.
run() {
  local sql="SELECT ib_lpad('a', $1, '*') FROM RDB\$DATABASE;
SELECT ib_uniqueid($1) FROM RDB\$DATABASE;
SELECT ib_lpad('a', $1, '*') || 'x' FROM RDB\$DATABASE;"
  local start end
  start=$(date +%s%N)
  # The isql process itself is measured: its program, with fb_isql's options.
  /usr/bin/time -f '%M' -o "$work/rss" "$FB_ISQL" -q -ch UTF8 "$work/t.fdb" <<<"$sql" >"$work/out.$1" 2>&1 || true
  end=$(date +%s%N)
  echo "$(tail -1 "$work/rss") $(((end - start) / 1000000))"
}
read -r base_kb base_ms < <(run 10)
read -r huge_kb huge_ms < <(run 2000000000)
echo "length 10: ${base_kb} kB, ${base_ms} ms; length 2000000000: ${huge_kb} kB, ${huge_ms} ms"
errors=$(grep -c 'string right truncation' "$work/out.2000000000" || true)
fail=0
[ "$errors" -eq 3 ] || { echo "FAIL: $errors of 3 calls refused with string right truncation"; cat "$work/out.2000000000"; fail=1; }
[ $((huge_kb - base_kb)) -le 8192 ] || { echo "FAIL: the engine grew by $((huge_kb - base_kb)) kB"; fail=1; }
# A second, or half the baseline where the baseline itself is long: Firebird 2.5 under Wine
# through qemu takes half a minute for the three calls, give or take several seconds.
slack=$((base_ms / 2 > 1000 ? base_ms / 2 : 1000))
[ $((huge_ms - base_ms)) -le $slack ] || { echo "FAIL: the calls took $((huge_ms - base_ms)) ms longer (at most $slack)"; fail=1; }
exit $fail

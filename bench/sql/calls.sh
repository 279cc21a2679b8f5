#!/usr/bin/env bash
# What a call of each ardudf function costs inside the server: Firebird's embedded engine,
# a generated table, and for each function the same query with
#   ardudf    the function itself (legacy module ardudf.so)
#   builtin   Firebird's built-in that does the same job, where there is one
#   floor     a function of the same declaration that does nothing (ardudf_noop.so)
#   read      no function: the read of the rows itself
# and, where the UDR module is built, the same through it (udr) and its floor (udr floor),
# and declared as a database has it after the move in place from the legacy module (moved:
# its texts as wide as the legacy script declares them, NULL read as the legacy module does).
# Each query counts the function's results over every row; its time is taken inside the
# engine around the SELECT alone. Variants and rounds alternate; medians are reported.
# Then what the declared width of a text costs a call that does nothing, and the walk of a
# 1,000-row settlement from PSQL (bench/sql/run.sh, its own benchmark).
# --psql measures the PSQL functions (sql/ardudf_psql.sql, declared as ps_NAME) against the
# UDR module and the built-ins instead (read, built-in, UDR and PSQL only), and writes only
# its own section of FILE, "## Without a module: the PSQL functions", which the other runs
# keep.
#
#   bench/sql/calls.sh [--build DIR] [--rows N] [--reps N] [--quick] [--smoke] [--only REGEX]
#                      [--out FILE] [--times FILE] [--fb4 | --fb5 | --fb25] [--psql]
#
# Defaults: build/default, 1,000,000 rows, 3 rounds, bench/results.md: about 10 minutes a
# round on 2 idle cores (80 queries of a few microseconds a row). --quick is 100,000 rows
# (a few minutes in all); --smoke 1,000 rows and one round, to keep the script from rotting
# (its figures mean nothing). --only keeps the functions whose name matches REGEX (an
# extended regular expression: --only 'ib_lpad|ib_scb'). The calls are those of calls.txt
# beside this script, one function of the catalogue a line.
# Needs the default preset built (ardudf.so, bench/ardudf_noop.so) and isql-fb.
# --fb4 runs it all in Firebird 4.0 (scripts/engine.sh fb4: a Debian 13 root), the modules
# being the same files; --fb5 in Firebird 5 (scripts/engine.sh fb5); --times keeps
# the raw timings (bench/sql/engines.sh reads them). --fb25 runs the legacy path alone in the
# Firebird 2.5 Win32 engine under Wine (tests/fb25), with the mingw-i686 build's 32-bit
# ardudf.dll and tests/fb25/ardudf_noop.dll (--build build/mingw-i686; bench/sql/fb25.sh). A section "## Firebird 3.0, 4.0 and 5.0"
# at the end of FILE (bench/sql/engines.sh writes it) is kept when the rest is rewritten.
# bench/sql/docs_costs.py then copies the figures into docs/functions.md.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$source_dir/build/default rows=1000000 reps=3 only="" out=$source_dir/bench/results.md
smoke=0 fb4=0 fb5=0 fb25=0 times_out="" psql=0
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --rows) rows=$2; shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --quick) rows=100000; shift ;;
    --smoke) rows=1000 reps=1 smoke=1; shift ;;
    --only) only=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --times) times_out=$2; shift 2 ;;
    --fb4) fb4=1; shift ;;
    --fb5) fb5=1; shift ;;
    --fb25) fb25=1; shift ;;
    --psql) psql=1; shift ;;
    *) echo "usage: $0 [--build DIR] [--rows N] [--reps N] [--quick] [--smoke] [--only REGEX] [--out FILE] [--times FILE] [--fb4 | --fb5 | --fb25] [--psql]" >&2
       exit 2 ;;
  esac
done
module=$build/ardudf.so noop=$build/bench/ardudf_noop.so catalogue=$build/ardudf_catalogue
if [ $fb25 -eq 1 ]; then
  # The Windows build has no catalogue program of its own: the generator's, built for this machine.
  # shellcheck source=../../scripts/lib/generator.sh
  . "$source_dir/scripts/lib/generator.sh"
  module=$build/ardudf.dll noop=$build/tests/fb25/ardudf_noop.dll catalogue=$(generator_build "$source_dir") || exit 2
  export FB_ISQL=$source_dir/tests/fb25/isql25.sh
fi
for f in "$module" "$noop" "$catalogue"; do
  [ -f "$f" ] || { echo "calls.sh: $f is missing (cmake --preset default && cmake --build build/default)" >&2; exit 2; }
done

# The same script, inside the Firebird 4 root (where fbenv.sh is told its configuration folder).
if [ $fb4 -eq 1 ] && [ -z "${ARDUDF_FB_CONF_DIR:-}" ]; then
  "$source_dir/scripts/engine.sh" fb4 provide >/dev/null
  binds=(--bind "$build" --bind "$(cd "$(dirname "$out")" && pwd)")
  [ -n "$times_out" ] && binds+=(--bind "$(cd "$(dirname "$times_out")" && pwd)")
  exec "$source_dir/scripts/engine.sh" fb4 run "${binds[@]}" -- "$0" "${args[@]}"
fi

# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
[ $fb5 -eq 0 ] || fbenv_use fb5 || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-bench.XXXXXX")
[ -n "${ARDUDF_BENCH_KEEP:-}" ] && echo "kept: $work" >&2 || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/udf" "$work/udr"
cp "$module" "$noop" "$work/udf/"
fbenv_setup "$work/root" "$work/udf"
# The whole table in the page cache (about 100 MB at a million rows): the read is then
# the engine's work, not the file system's.
echo "DefaultDbCachePages = 32768" >> "$FIREBIRD/firebird.conf"

# The UDR module, when it is built and declared: a second path, beside the legacy one,
# under the prefixes udr_ and udrnoop_ (its own names are those of the legacy module).
udr=0
udr_module=$build/src/udr/libardudf_udr.so
if [ $fb25 -eq 0 ] && [ -f "$udr_module" ] && [ -f "$source_dir/sql/ardudf_udr.sql" ] && [ -f "$build/bench/libardudf_noop_udr.so" ]; then
  udr=1
  cp "$udr_module" "$build/bench/libardudf_noop_udr.so" "$work/udr/"
  fbenv_udr_plugins "$FIREBIRD" "$work/udr"
fi

db=$work/bench.fdb
fbenv_create_db "$db" NONE
isql() { fbenv_isql "$db" -b "$@"; }

# ---- declarations ----
if [ $psql -eq 1 ]; then
  # The PSQL functions as ps_NAME, first: the script with its routines renamed (their bodies
  # call only the ardudf_psql_ helpers, never an ib_ function). Its guard refuses a database
  # that already holds legacy declarations of ardudf.
  sed -E 's/^(CREATE OR ALTER (FUNCTION|PROCEDURE)|COMMENT ON (FUNCTION|PROCEDURE)) (ib_|ardudf_version)/\1 ps_\4/' \
    "$source_dir/sql/ardudf_psql.sql" > "$work/psql.sql"
  isql -i "$work/psql.sql"
fi
(cd "$source_dir/sql" && isql -i ardudf.sql)
# The legacy floor: each ardudf declaration again as noop_<name>, over the do-nothing module
# (from the catalogue, as every declaration here).
"$catalogue" declare legacy_floor noop_ > "$work/noop.sql"
# What a declaration costs by itself: the same nothing with an INTEGER, and with a text
# of 16, 255 and the widest bytes, in and out.
cat >> "$work/noop.sql" <<'EOF'
DECLARE EXTERNAL FUNCTION noop_w_num INTEGER RETURNS INTEGER BY VALUE
    ENTRY_POINT 'noop_int' MODULE_NAME 'ardudf_noop';
DECLARE EXTERNAL FUNCTION noop_w16 CSTRING(16) CHARACTER SET NONE
    RETURNS CSTRING(16) CHARACTER SET NONE FREE_IT ENTRY_POINT 'noop_text' MODULE_NAME 'ardudf_noop';
DECLARE EXTERNAL FUNCTION noop_w255 CSTRING(255) CHARACTER SET NONE
    RETURNS CSTRING(255) CHARACTER SET NONE FREE_IT ENTRY_POINT 'noop_text' MODULE_NAME 'ardudf_noop';
DECLARE EXTERNAL FUNCTION noop_w8191 CSTRING(8191) CHARACTER SET NONE
    RETURNS CSTRING(8191) CHARACTER SET NONE FREE_IT ENTRY_POINT 'noop_text' MODULE_NAME 'ardudf_noop';
DECLARE EXTERNAL FUNCTION noop_w32767 CSTRING(32767) CHARACTER SET NONE
    RETURNS CSTRING(32767) CHARACTER SET NONE FREE_IT ENTRY_POINT 'noop_text' MODULE_NAME 'ardudf_noop';
EOF
isql -i "$work/noop.sql"
if [ $udr -eq 1 ]; then
  # Beside ib_ (legacy): the UDR module as udr_, its floor as udrnoop_, and the UDR module as
  # a database declared with sql/ardudf.sql has it after the move in place, as mv_.
  "$catalogue" declare udr udr_ > "$work/udr.sql"
  "$catalogue" declare udr_floor udrnoop_ > "$work/udrnoop.sql"
  "$catalogue" declare udr_moved mv_ > "$work/moved.sql"
  cat >> "$work/udrnoop.sql" <<'EOF'
CREATE FUNCTION udrnoop_w_num (a INTEGER) RETURNS INTEGER
    EXTERNAL NAME 'ardudf_noop_udr!noop' ENGINE UDR;
CREATE FUNCTION udrnoop_w16 (a VARCHAR(16) CHARACTER SET NONE) RETURNS VARCHAR(16) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_noop_udr!noop' ENGINE UDR;
CREATE FUNCTION udrnoop_w255 (a VARCHAR(255) CHARACTER SET NONE) RETURNS VARCHAR(255) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_noop_udr!noop' ENGINE UDR;
CREATE FUNCTION udrnoop_w8191 (a VARCHAR(8191) CHARACTER SET NONE) RETURNS VARCHAR(8191) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_noop_udr!noop' ENGINE UDR;
CREATE FUNCTION udrnoop_w32767 (a VARCHAR(32765) CHARACTER SET NONE) RETURNS VARCHAR(32765) CHARACTER SET NONE
    EXTERNAL NAME 'ardudf_noop_udr!noop' ENGINE UDR;
COMMIT;
EOF
  isql -i "$work/udr.sql"
  isql -i "$work/udrnoop.sql"
  isql -i "$work/moved.sql"
fi
# ---- the table ----
isql <<EOF
CREATE TABLE bench_rows (
  id INTEGER NOT NULL,
  txt VARCHAR(16) CHARACTER SET NONE,   -- a comma, a quote, digits, letters
  num VARCHAR(12) CHARACTER SET NONE,   -- a decimal number
  f1 VARCHAR(1) CHARACTER SET NONE,     -- flags A / N
  f2 VARCHAR(1) CHARACTER SET NONE,
  typ VARCHAR(8) CHARACTER SET NONE,    -- 20 row types of a document
  a DOUBLE PRECISION, b DOUBLE PRECISION,
  p DOUBLE PRECISION,                   -- +5 / -5: a payment and its return
  d DOUBLE PRECISION,                   -- a day serial, with time of day
  ts TIMESTAMP,                         -- the same moment
  y INTEGER, m INTEGER, dd INTEGER);
COMMIT;
SET TERM ^;
EXECUTE BLOCK AS
DECLARE i INTEGER = 0;
DECLARE d DOUBLE PRECISION;
BEGIN
  WHILE (i < $rows) DO BEGIN
    d = 40000 + i * 0.0137;
    INSERT INTO bench_rows VALUES (:i, 'Ab,c''d ' || LPAD(:i, 9, '0'), :i,
      IIF(MOD(:i, 2) = 0, 'A', 'N'), IIF(MOD(:i, 3) = 0, 'A', 'N'), 'T' || MOD(:i, 20),
      MOD(:i, 1000) / 10.0 + 1, -MOD(:i, 700) / 7.0, IIF(MOD(:i, 2) = 0, 5, -5),
      :d, TIMESTAMP '1899-12-30 00:00:00' + :d, 1900 + MOD(:i, 300), 1 + MOD(:i, 12), 1 + MOD(:i, 28));
    i = i + 1;
  END
END^
SET TERM ;^
COMMIT;
EOF

# ---- the functions: name # the call, {F} the prefix of the path # built-in # setup ----
# calls.txt, each line keyed by a function of the catalogue (a name it lacks is a mistake
# there, not a function left out). Then what a declared width costs, on the floors only.
grep -v '^#' "$here/calls.txt" > "$work/functions"
unknown=$(cut -d'#' -f1 "$work/functions" | grep -vxF -f <("$catalogue" names) | paste -sd' ' - || true)
[ -z "$unknown" ] || { echo "calls.sh: calls.txt names what the catalogue lacks: $unknown" >&2; exit 2; }
cat >> "$work/functions" <<'EOF'
width number#{F}w_num(id)##
width 16#{F}w16(txt)##
width 255#{F}w255(txt)##
width 8191#{F}w8191(txt)##
width 32767#{F}w32767(txt)##
EOF
if [ -n "$only" ]; then
  grep -E "^[^#]*($only)[^#]*#" "$work/functions" > "$work/functions.only" || true
  mv "$work/functions.only" "$work/functions"
  [ -s "$work/functions" ] || { echo "calls.sh: --only '$only' matches no function of calls.txt" >&2; exit 2; }
fi

# variant -> the prefix of the measured call, and of the setup calls
prefix_of() { case "$1" in ardudf) echo "" ;; floor) echo noop_ ;; udr) echo udr_ ;; udrfloor) echo udrnoop_ ;; moved) echo mv_ ;; psql) echo ps_ ;; esac; }
setup_prefix_of() { case "$1" in udr|udrfloor) echo udr_ ;; moved) echo mv_ ;; psql) echo ps_ ;; *) echo "" ;; esac; }

# One timed query: prints "name|variant|milliseconds".
timed_block() { # name variant expression setup setup-prefix
  local name=$1 variant=$2 expr=$3 setup=$4 P=$5 pre="" post=""
  case "$setup" in
    new) pre="h = ${P}ib_scbcreate();" ;;
    doc|cursor)
      pre="h = ${P}ib_scbcreate(); i = 0; WHILE (i < 20) DO BEGIN c = ${P}ib_scbaddrow(h, 'T' || i, 100, 21); i = i + 1; END"
      [ "$setup" = cursor ] && pre="$pre c = ${P}ib_scbaddpayment(h, 2420); c = ${P}ib_scbisaffectedrows(h);" ;;
  esac
  [ -n "$setup" ] && post="i = ${P}ib_scbfree(h);"
  cat <<EOF
EXECUTE BLOCK RETURNS (tag VARCHAR(80), ms BIGINT) AS
DECLARE h INTEGER; DECLARE c BIGINT; DECLARE i INTEGER; DECLARE t0 TIMESTAMP;
BEGIN
  $pre
  t0 = CAST('NOW' AS TIMESTAMP);
  SELECT COUNT($expr) FROM bench_rows INTO :c;
  ms = DATEDIFF(MILLISECOND FROM t0 TO CAST('NOW' AS TIMESTAMP));
  $post
  tag = '$name|$variant|' || c;
  SUSPEND;
END^
EOF
}

variants=(ardudf builtin floor read)
[ $udr -eq 1 ] && variants+=(udr udrfloor moved)
if [ $psql -eq 1 ]; then
  [ $udr -eq 1 ] || { echo "calls.sh --psql: the UDR module is not built" >&2; exit 2; }
  variants=(read builtin udr psql)
  grep -v '^width' "$work/functions" > "$work/functions.psql" && mv "$work/functions.psql" "$work/functions"
fi


# ---- the rounds: each function's variants in an order that turns with the round ----
: > "$work/times"
total_rounds=$reps
for ((r = 0; r < total_rounds; r++)); do
  {
    echo "SET HEADING OFF;"
    # Each round is a new attachment with a cold page cache and modules not yet loaded:
    # a read and a call of each module first, untimed.
    echo "SELECT COUNT(*), MAX(ib_string_length(txt)) FROM bench_rows;"
    [ $udr -eq 1 ] && echo "SELECT MAX(udr_ib_string_length(txt)), MAX(udrnoop_ib_string_length(txt)), MAX(mv_ib_string_length(txt)) FROM bench_rows;"
    [ $psql -eq 1 ] && echo "SELECT MAX(ps_ib_string_length(txt)) FROM bench_rows;"
    echo "SELECT MAX(noop_ib_string_length(txt)) FROM bench_rows;"
    echo "SET TERM ^;"
    fi=0
    while IFS='#' read -r name call builtin setup; do
      nv=${#variants[@]}
      for ((k = 0; k < nv; k++)); do
        v=${variants[$(((k + r + fi) % nv))]}
        # The width probes exist only as floors.
        case "$name|$v" in width*\|ardudf | width*\|udr | width*\|builtin | width*\|moved) continue ;; esac
        case "$v" in
          builtin) [ -n "$builtin" ] || continue; expr=$builtin ;;
          read) expr=id ;;
          *) expr=${call//\{F\}/$(prefix_of "$v")} ;;
        esac
        su=$setup
        [ "$v" = builtin ] || [ "$v" = read ] && su=""
        timed_block "$name" "$v" "$expr" "$su" "$(setup_prefix_of "$v")"
      done
      fi=$((fi + 1))
    done < "$work/functions"
    echo "SET TERM ;^"
  } > "$work/round.sql"
  echo "round $((r + 1)) of $total_rounds ($rows rows)" >&2
  isql -i "$work/round.sql" | sed -n 's/^\([^ |][^|]*|[a-z]*|[0-9]*\) *\([0-9][0-9]*\) *$/\1|\2/p' >> "$work/times"
done

# Every query must have counted every row.
bad=$(awk -F'|' -v rows="$rows" '$3 != rows { print }' "$work/times")
if [ -n "$bad" ]; then echo "calls.sh: a query did not see every row:" >&2; echo "$bad" >&2; exit 1; fi
[ -s "$work/times" ] || { echo "calls.sh: no figures (isql failed?)" >&2; exit 1; }
[ -z "$times_out" ] || cp "$work/times" "$times_out"

# ---- the PSQL functions: their own section of the report ----
# The reports read the timings (name|variant|rows|ms a line) with these: each function in the
# order met, the median of its rounds (ns per row), a figure and a ratio to 'places'.
timings_awk='
  function median(key,   n, i, j, t, a) {
    n = split(all[key], a, " ")
    if (n == 0) return ""
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  function ns(key,   m) { m = median(key); return m == "" ? "" : m * 1e6 / rows }
  function show(x) { return x == "" ? "–" : sprintf("%.0f", x) }
  function ratio(x, y) { return (x == "" || y == "" || y <= 0) ? "–" : sprintf("%." places "f", x / y) }
  { if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }; all[$1 "|" $2] = all[$1 "|" $2] " " $4 }
'
psql_begin='<!-- PSQL: written by bench/sql/calls.sh --psql -->'
psql_end='<!-- end of the PSQL section -->'
if [ $psql -eq 1 ]; then
  {
    echo "$psql_begin"
    echo "## Without a module: the PSQL functions"
    echo
    echo "Written by \`bench/sql/calls.sh --psql\` on $(date -u '+%Y-%m-%d %H:%M UTC'): Firebird $(fbenv_version)"
    echo "embedded, a table of $rows rows in the page cache, $reps alternated rounds, medians;"
    echo "machine: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) cores, shared with other"
    echo "work (load average at the end: $(cut -d' ' -f1-3 /proc/loadavg))."
    echo "ns per row of \`SELECT COUNT(f(...)) FROM bench_rows\` as in the table above; net: less the"
    echo "read, the calls alone. PSQL / UDR is a net ratio; PSQL / built-in compares the whole"
    echo "queries, as a built-in costs about as little as the read (the net figure is noise)."
    echo
    awk -F'|' -v rows="$rows" -v places=1 "$timings_awk"'
      END {
        print "| function | read | built-in | ardudf UDR | PSQL | PSQL / UDR | PSQL / built-in |"
        print "|---|---:|---:|---:|---:|---:|---:|"
        for (i = 1; i <= count; i++) {
          f = order[i]
          rd = ns(f "|read"); bi = ns(f "|builtin"); u = ns(f "|udr"); p = ns(f "|psql")
          printf "| %s | %s | %s | %s | %s | %s | %s |\n", f, show(rd), show(bi), show(u), show(p),
            ratio(p - rd, u - rd), bi == "" ? "–" : ratio(p, bi)
        }
      }' "$work/times"
    echo
    echo "### A settlement of 10,000 and 200,000 rows"
    echo
    echo "\`bench/sql/settlement.sh\`, run right after: the rows added one call each, a payment of the"
    echo "whole document, the walk of the rows it changed by four calls a row, the payment taken"
    echo "back, and its walk by \`ib_scbwalk\`; each step timed inside the engine, one round."
    echo
    if [ $smoke -eq 1 ]; then "$here/settlement.sh" --build "$build" 100 1000; else "$here/settlement.sh" --build "$build"; fi
    echo "$psql_end"
  } > "$work/psql.md"
  # The rest of FILE stays as it is; this section replaces its former self, or goes before
  # the sections that bench/sql/engines.sh and bench/load/run.sh write at the end.
  [ -f "$out" ] || : > "$out"
  awk -v b="$psql_begin" -v e="$psql_end" -v f="$work/psql.md" '
    function put(   l) { if (!done) { while ((getline l < f) > 0) print l; print ""; done = 1 } }
    $0 == b { put(); skip = 1; next }
    skip { if ($0 == e) skip = 2; next }
    skip == 2 && $0 == "" { skip = 0; next }
    /^## Firebird 4.0 beside Firebird 3.0/ || /^<!-- over TCP: written by bench\/load\/run.sh -->$/ { put() }
    { skip = 0; print }
    END { if (!done) { print ""; put() } }' "$out" > "$out.tmp"
  mv "$out.tmp" "$out"
  echo "written: $out" >&2
  [ $smoke -eq 1 ] && cat "$work/psql.md"
  exit 0
fi

# ---- the walk of a settlement: its own benchmark ----
walk=""
if [ $udr -eq 1 ]; then
  echo "the walk (bench/sql/run.sh)" >&2
  if [ $smoke -eq 1 ]; then walk=$("$here/run.sh" "$build" 1 1); else walk=$("$here/run.sh" "$build"); fi
fi

# ---- the report ----
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
cores=$(nproc)
fbver=$(fbenv_version)
load=$(cut -d' ' -f1-3 /proc/loadavg)
{
  echo "# ardudf in the server"
  echo
  echo "Written by \`bench/sql/calls.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo "Machine: $cpu, $cores cores (load average at the end: $load)."
  echo "Firebird ${fbver:-?} embedded (SuperClassic), a table of $rows rows in the page cache,"
  echo "$reps alternated rounds; medians."
  echo
  awk -F'|' -v rows="$rows" -v places=2 -v udr="$udr" "$timings_awk"'
    END {
      print "## Per call"
      print ""
      print "ns per row of `SELECT COUNT(f(...)) FROM bench_rows`. read: `COUNT(id)`, the rows alone;"
      print "floor: a function of the same declaration that does nothing (`bench/sql/noop_*`);"
      print "ratio: ardudf / the floor of its path; net ratio: both less the read, the calls alone."
      print ""
      head = "| function | read | built-in | legacy floor | ardudf | ratio | net ratio |"
      rule = "|---|---:|---:|---:|---:|---:|---:|"
      if (udr) { head = head " UDR floor | ardudf UDR | ratio | net ratio |"; rule = rule "---:|---:|---:|---:|" }
      print head; print rule
      for (i = 1; i <= count; i++) {
        f = order[i]
        if (f ~ /^width/) continue
        rd = ns(f "|read"); bi = ns(f "|builtin"); fl = ns(f "|floor"); a = ns(f "|ardudf")
        line = sprintf("| %s | %s | %s | %s | %s | %s | %s |", f, show(rd), show(bi), show(fl), show(a),
          ratio(a, fl), ratio(a - rd, fl - rd))
        if (udr) {
          uf = ns(f "|udrfloor"); u = ns(f "|udr")
          line = line sprintf(" %s | %s | %s | %s |", show(uf), show(u), ratio(u, uf), ratio(u - rd, uf - rd))
        }
        print line
        # the verdicts: within 10 % of the floor, calls alone; the UDR call under the legacy floor
        if (fl != "" && a != "") { n_leg++; if (a - rd <= 1.1 * (fl - rd)) ok_leg++; else out_leg = out_leg " " f }
        if (udr && uf != "" && u != "") {
          n_udr++; if (u - rd <= 1.1 * (uf - rd)) ok_udr++; else out_udr = out_udr " " f
          if (fl != "" && u < fl) below++; else over = over " " f
        }
      }
      print ""
      printf "Within 10 %% of the floor of its path (net): legacy %d of %d%s", ok_leg, n_leg, out_leg == "" ? "" : " (not:" out_leg ")"
      if (udr) printf "; UDR %d of %d%s", ok_udr, n_udr, out_udr == "" ? "" : " (not:" out_udr ")"
      print "."
      if (udr) printf "A UDR call under the legacy floor: %d of %d%s.\n", below, n_udr, over == "" ? "" : " (not:" over ")"
      if (udr) {
        print ""
        print "## After the move in place"
        print ""
        print "What a call costs a database moved in place: before the move (legacy, the module as"
        print "sql/ardudf.sql declares it), after it (moved: texts as wide as the legacy script declares"
        print "them, up to VARCHAR(32765), NULL read as the legacy module does), and declared with"
        print "sql/ardudf_udr.sql (UDR: long texts 8191 bytes wide); ns per row. The ratios are net:"
        print "both sides less the read, the calls alone."
        print ""
        print "| function | legacy | moved | UDR | moved / legacy | moved / UDR |"
        print "|---|---:|---:|---:|---:|---:|"
        for (i = 1; i <= count; i++) {
          f = order[i]
          if (f ~ /^width/) continue
          rd = ns(f "|read"); a = ns(f "|ardudf"); u = ns(f "|udr"); mv = ns(f "|moved")
          if (u == "" || mv == "" || a == "") continue
          printf "| %s | %s | %s | %s | %s | %s |\n", f, show(a), show(mv), show(u), ratio(mv - rd, a - rd), ratio(mv - rd, u - rd)
          rl[++nr] = (mv - rd) / (a - rd); rs[nr] = (mv - rd) / (u - rd)
        }
        for (i = 2; i <= nr; i++) for (j = i; j > 1 && rs[j - 1] > rs[j]; j--) { t = rs[j]; rs[j] = rs[j - 1]; rs[j - 1] = t }
        for (i = 2; i <= nr; i++) for (j = i; j > 1 && rl[j - 1] > rl[j]; j--) { t = rl[j]; rl[j] = rl[j - 1]; rl[j - 1] = t }
        if (nr) {
          printf "\nOver the %d functions: moved / legacy %.2f to %.2f, median %.2f; moved / UDR %.2f to %.2f, median %.2f.\n", nr,
            rl[1], rl[nr], nr % 2 ? rl[(nr + 1) / 2] : (rl[nr / 2] + rl[nr / 2 + 1]) / 2,
            rs[1], rs[nr], nr % 2 ? rs[(nr + 1) / 2] : (rs[nr / 2] + rs[nr / 2 + 1]) / 2
        }
      }
      print ""
      print "## What a declaration costs"
      print ""
      print "A function that does nothing, by the width of its text argument and result; ns per"
      print "row, less the read. sql/ardudf_udr.sql declares the long texts 8191 bytes wide; the widest"
      print "UDR text is VARCHAR(32765), the widest legacy one CSTRING(32767)."
      print ""
      print "| argument and result | legacy | UDR |"
      print "|---|---:|---:|"
      for (i = 1; i <= count; i++) {
        f = order[i]
        if (f !~ /^width/) continue
        rd = ns(f "|read"); fl = ns(f "|floor"); uf = ns(f "|udrfloor")
        w = f; sub(/^width /, "", w)
        label = (w == "number") ? "INTEGER" : "text of " w " bytes"
        printf "| %s | %s | %s |\n", label, show(fl == "" ? "" : fl - rd), show(uf == "" ? "" : uf - rd)
      }
    }' "$work/times"
  if [ -n "$walk" ]; then
    echo
    echo "## The walk of a 1,000-row settlement from PSQL"
    echo
    echo "\`bench/sql/run.sh\`: the rows that one payment changed, read by four calls per row"
    echo "(\`ib_scbisaffectedrows\`, \`ib_scbreadtype\`, \`ib_scbreadamount\`, \`ib_scbreadvat\`) or by"
    echo "the UDR procedure \`ib_scbwalk\`."
    echo
    echo '```'
    echo "$walk" | sed "s|$build|build|g"
    echo '```'
  fi
  # The section of the PSQL functions (calls.sh --psql) stays, before the engines'.
  if [ -f "$out" ] && grep -qF "$psql_begin" "$out"; then
    echo
    sed -n "\\|^$psql_begin\$|,\\|^$psql_end\$|p" "$out"
  fi
  # The section of Firebird 2.5 (bench/sql/fb25.sh) stays, before the engines'.
  fb25_begin='<!-- Firebird 2.5: written by bench/sql/fb25.sh -->'
  if [ -f "$out" ] && grep -qF "$fb25_begin" "$out"; then
    echo
    sed -n "\\|^$fb25_begin\$|,\\|^<!-- end of the Firebird 2.5 section -->\$|p" "$out"
  fi
  # The comparison of engines, written by bench/sql/engines.sh, stays.
  if [ -f "$out" ] && grep -q '^## Firebird 3.0, 4.0 and 5.0' "$out"; then
    echo
    sed -n '/^## Firebird 3.0, 4.0 and 5.0/,$p' "$out" | sed '/^<!-- over TCP: written by bench\/load\/run.sh -->$/,$d' |
      sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
  fi
} > "$out.tmp"
# The section over TCP belongs to bench/load/run.sh: kept as it was.
[ -f "$out" ] && sed -n '/^<!-- over TCP: written by bench\/load\/run.sh -->$/,$p' "$out" | sed '1{/./{x;p;x}}' >> "$out.tmp"
mv "$out.tmp" "$out"
echo "written: $out" >&2
[ $smoke -eq 1 ] && cat "$out"
exit 0

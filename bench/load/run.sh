#!/usr/bin/env bash
# ardudf in a Firebird server over TCP, under load and under faults: the figures and the
# fault results of bench/results.md ("Over TCP"). Needs root (tests/tcp/server.sh).
#
#   bench/load/run.sh [--build DIR] [--connections N] [--statements M] [--kills K] [--quick]
#                     [--only load|faults] [--out FILE]
#
# For each module (legacy, UDR) in each server mode (Super, SuperClassic), one server:
#   - load: tests/tcp/load.pl, N connections x M statements (8 x 600), every result checked,
#     three sets one after the other in the same run: ardudf as shipped; ardudf declared with
#     255-byte texts (n_ib_*: the width experiment); the built-in equivalents (the baseline);
#   - 64 connections at once, 100 statements each.
# Then, in Super mode for each module:
#   - K clients (200) killed with SIGKILL in the middle of a settlement, each holding a
#     context of 10,000 rows: the server's RSS at idle, every 50 kills and after;
#   - the server stopped and started again on its port under a load of 8 connections that
#     reconnect after an error: no wrong result, every statement done in the end.
# --quick: 200 statements, 20 kills (a check that the script runs; its figures mean little).
# --only: one part; the rows of the other part are kept from the last report of FILE.
# Writes the section "Over TCP" at the end of FILE (bench/results.md), replacing the last one.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$source_dir/build/default connections=8 statements=600 kills=200 out=$source_dir/bench/results.md parts="load faults"
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --connections) connections=$2; shift 2 ;;
    --statements) statements=$2; shift 2 ;;
    --kills) kills=$2; shift 2 ;;
    --quick) statements=200 kills=20; shift ;;
    --only) parts=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--connections N] [--statements M] [--kills K] [--quick] [--only load|faults] [--out FILE]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd) out=$(realpath -m "$out")
# shellcheck source=../../tests/tcp/server_lib.sh
. "$source_dir/tests/tcp/server_lib.sh"
if [ -z "${ARDUDF_TCP_ROOT:-}" ]; then
  ARDUDF_TCP_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-load.XXXXXX")
  export ARDUDF_TCP_ROOT
fi
tcp_private_log "$ARDUDF_TCP_ROOT/log" "$0" "${args[@]}"
trap 'tcp_server_stop; rm -rf "$ARDUDF_TCP_ROOT"' EXIT
trap 'exit 143' TERM INT HUP

load=$source_dir/tests/tcp/load.pl
legacy_dir=$build udr_dir=$build/src/udr
# The measured lines, kept beside the results; a run of one part keeps the other's lines.
raw=$(dirname "$out")/load/report.txt
[ "$(basename "$out")" = results.md ] || raw=$out.raw
report=$ARDUDF_TCP_ROOT/report
: > "$report"
if [ -f "$raw" ] && [ "$parts" = load ]; then grep -E '^kills |^label=[a-z]* restart ' "$raw" >> "$report"; fi
if [ -f "$raw" ] && [ "$parts" = faults ]; then grep -vE '^kills |^label=[a-z]* restart ' "$raw" >> "$report"; fi
failures=0

# The same functions under n_ names, their texts 255 bytes wide.
declare_narrow() {
  local script out
  script=$("$build/ardudf_catalogue" declare "$([ "$1" = udr ] && echo udr || echo legacy)" n_ 255)
  out=$(echo "$script" | fbenv_isql "$ARDUDF_DATABASE" -b 2>&1)
  [ -z "$out" ] || { echo "declaring the n_ functions: $out" >&2; return 1; }
}

start() { # kind mode
  rm -rf "${ARDUDF_TCP_ROOT:?}/$1-$2"
  tcp_server_setup "$ARDUDF_TCP_ROOT/$1-$2" "$([ "$1" = udr ] && echo "$udr_dir" || echo "$legacy_dir")" "$2" \
    "$([ "$1" = udr ] && echo udr || echo udf)" || exit 1
  tcp_server_start || exit 1
  ARDUDF_MODULE=legacy
  [ "$1" = udr ] && ARDUDF_MODULE=udr
  export ARDUDF_MODULE
  export ARDUDF_DATABASE=$ARDUDF_SERVER:$TCP_ROOT/test.fdb
  tcp_create_database "$ARDUDF_DATABASE" "$([ "$1" = udr ] && echo udr || echo udf)" || exit 1
  declare_narrow "$1" || exit 1
}

run_load() { # label, load.pl args...
  local label=$1 out rc
  shift
  out=$("$load" "$@" 2>&1)
  rc=$?
  echo "$out" | sed "s/^/[$label] /"
  grep '^set=' <<<"$out" | sed "s/^/label=$label /" >> "$report"
  [ $rc -eq 0 ] || { echo "FAIL: $label"; failures=$((failures + 1)); }
}

rss_mb() { awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$ARDUDF_SERVER_PID/status"; }

[[ " $parts " == *" load "* ]] && for kind in legacy udr; do
  for mode in super superclassic; do
    echo "== $kind module, $mode"
    start "$kind" "$mode"
    run_load "$kind $mode" --connections "$connections" --statements "$statements" --seconds 600 \
      --sets ardudf,narrow,builtin
    run_load "$kind $mode 64" --connections 64 --statements 100 --seconds 600
    tcp_server_stop
  done
done

# Clients killed mid-settlement, while another attachment keeps the database open (as an
# application's pool does: with none, the server closes the database and unloads the
# module when the last attachment ends, and every context goes with it).
[[ " $parts " == *" faults "* ]] && for kind in legacy udr; do
  echo "== $kind module, Super: $kills clients killed, each holding 10,000 rows"
  start "$kind" super
  coproc BYSTANDER { fbenv_isql "$ARDUDF_DATABASE" > /dev/null 2>&1; }
  sleep 1
  idle=$(rss_mb) marks="" last=""
  for i in $(seq "$kills"); do
    coproc HOLD { exec "$load" --hold 10000; }
    hold_pid=$HOLD_PID
    line=""
    read -r -t 30 line <&"${HOLD[0]}"
    case "$line" in holding*) last=${line#holding } ;; *) echo "FAIL: kill $i: the client said '$line'"; failures=$((failures + 1)) ;; esac
    kill -KILL "$hold_pid"
    wait "$hold_pid" 2>/dev/null
    [ $((i % 50)) -eq 0 ] && marks="$marks $i:$(rss_mb)"
  done
  sleep 3   # the server notices the dead connections
  after=$(rss_mb)
  # The last killed client's context, seen from another attachment: the legacy module's
  # contexts belong to the module (its walk goes on: 1); the UDR module's were freed (0).
  probe=$(fbenv_value "$ARDUDF_DATABASE" "SELECT ib_scbisaffectedrows($last) FROM RDB\$DATABASE;")
  check=$("$load" --connections 2 --statements 50 2>&1) || { echo "FAIL: after the kills: $check"; failures=$((failures + 1)); }
  echo "kills kind=$kind count=$kills rss_idle_mb=$idle after_each_50=${marks# } rss_after_mb=$after last_context_walk=$probe" | tee -a "$report"
  # Its input closed, the bystander's isql ends.
  bystander_in=${BYSTANDER[1]}
  exec {bystander_in}>&-
  wait "$BYSTANDER_PID" 2>/dev/null
  tcp_server_stop
  [ "$TCP_CRASHED" -eq 0 ] || { echo "FAIL: the server crashed"; failures=$((failures + 1)); }
done

# The server stopped and started again under load.
[[ " $parts " == *" faults "* ]] && for kind in legacy udr; do
  echo "== $kind module, Super: the server restarted under load"
  start "$kind" super
  port=${ARDUDF_SERVER##*/}
  "$load" --connections 8 --statements $((statements * 2)) --seconds 600 --reconnect > "$ARDUDF_TCP_ROOT/restart.out" 2>&1 &
  load_pid=$!
  sleep 4
  tcp_server_stop
  stop_crashed=$TCP_CRASHED stop_killed=$TCP_KILLED
  sleep 2
  tcp_server_start "$port" || { echo "FAIL: no restart on port $port"; failures=$((failures + 1)); }
  wait "$load_pid"
  rc=$?
  sed "s/^/[$kind restart] /" "$ARDUDF_TCP_ROOT/restart.out"
  grep '^set=' "$ARDUDF_TCP_ROOT/restart.out" | sed "s/^/label=$kind restart stop_crashed=$stop_crashed stop_killed=$stop_killed /" >> "$report"
  [ "$stop_crashed" -eq 0 ] || { echo "FAIL: $kind: the server crashed when stopped under load"; failures=$((failures + 1)); }
  if [ $rc -ne 0 ] || ! grep -q 'errors=[1-9]' "$ARDUDF_TCP_ROOT/restart.out"; then
    echo "FAIL: $kind restart (exit $rc; a restart must show as errors, never as a wrong result)"
    failures=$((failures + 1))
  fi
  tcp_server_stop
done

# The section of bench/results.md.
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"; }
{
  echo "<!-- over TCP: written by bench/load/run.sh -->"
  echo "## Over TCP: load and faults"
  echo
  echo "Written by \`bench/load/run.sh\` on $(date -u '+%Y-%m-%d %H:%M') UTC; $(nproc) cores (shared), load average"
  echo "$(cut -d' ' -f1-3 /proc/loadavg) at the end. Firebird $(fbenv_version)"
  echo "over TCP on 127.0.0.1 (tests/tcp/server.sh); the clients are processes of"
  echo "\`tests/tcp/load.pl\` (DBD::Firebird, libfbclient), $connections connections x $statements statements, a text"
  echo "statement (7 text functions and ib_greatest on bound parameters) and a 20-row settlement"
  echo "with its walk (EXECUTE BLOCK) by turns; every result checked, prepared once per connection."
  echo "Sets, one after the other on the same server: **ardudf** as shipped; **255** the same"
  echo "functions declared with 255-byte texts; **built-in** the same results from Firebird's"
  echo "built-ins and plain PSQL (the baseline). CPU in seconds for the whole set; ratio: statements/s"
  echo "against the built-in set of the same server."
  echo
  echo "| module, mode | set | statements/s | ratio | client CPU s | server CPU s | client CPU ms/statement | RSS idle / peak / after MB | wrong |"
  echo "|---|---|---:|---:|---:|---:|---:|---|---:|"
  while read -r line; do
    label=$(sed -n 's/^label=\(.*\) set=.*/\1/p' <<<"$line")
    case "$label" in *64|*restart*) continue ;; esac
    set=$(field set "$line")
    base=$(grep "^label=$label set=builtin " "$report" | head -1)
    ps=$(field per_second "$line") bps=$(field per_second "$base")
    ok=$(field ok "$line") ccpu=$(field client_cpu_s "$line")
    name=$set
    [ "$set" = narrow ] && name=255
    [ "$set" = builtin ] && name=built-in
    printf "| %s | %s | %s | %.2f | %s | %s | %.2f | %s / %s / %s | %s |\n" "$label" "$name" "$ps" \
      "$(echo "$ps / $bps" | bc -l)" "$ccpu" "$(field server_cpu_s "$line")" "$(echo "$ccpu * 1000 / $ok" | bc -l)" \
      "$(field rss_idle_mb "$line")" "$(field rss_peak_mb "$line")" "$(field rss_after_mb "$line")" "$(field wrong "$line")"
  done < <(grep '^label=' "$report")
  echo
  echo "### Faults"
  echo
  echo "64 connections at once, 100 statements each:"
  echo
  echo "| module, mode | statements done | wrong | errors | lost | statements/s | RSS idle / peak / after MB |"
  echo "|---|---:|---:|---:|---:|---:|---|"
  grep '^label=[a-z]* [a-z]* 64 ' "$report" | while read -r line; do
    label=$(sed -n 's/^label=\(.*\) 64 set=.*/\1/p' <<<"$line")
    echo "| $label | $(field ok "$line") of $((64 * 100)) | $(field wrong "$line") | $(field errors "$line") | $(field lost "$line") | $(field per_second "$line") | $(field rss_idle_mb "$line") / $(field rss_peak_mb "$line") / $(field rss_after_mb "$line") |"
  done
  echo
  echo "Clients killed with SIGKILL in the middle of a settlement (a context of 10,000 rows made,"
  echo "paid and its walk begun), one after the other, Super mode; server RSS in MB:"
  echo
  echo "| module | kills | idle | after 50, 100, ... kills | 3 s after the last | the last client's context, from another attachment |"
  echo "|---|---:|---:|---|---:|---|"
  grep '^kills ' "$report" | while read -r line; do
    walk=$(field last_context_walk "$line")
    case "$walk" in 1) walk="still there (its walk goes on)" ;; 0) walk="gone" ;; esac
    echo "| $(field kind "$line") | $(field count "$line") | $(field rss_idle_mb "$line") | $(sed -n 's/.*after_each_50=\(.*\) rss_after_mb.*/\1/p' <<<"$line") | $(field rss_after_mb "$line") | $walk |"
  done
  echo
  echo "The server stopped (SIGTERM) 4 s into a load of 8 connections x $((statements * 2)) statements and"
  echo "started again on its port 2 s later; the clients reconnect after an error and run the"
  echo "statement again:"
  echo
  echo "| module | statements done | wrong | errors seen | reconnects | lost | the server, stopped under load |"
  echo "|---|---:|---:|---:|---:|---:|---|"
  grep '^label=[a-z]* restart ' "$report" | while read -r line; do
    crashed=$(field stop_crashed "$line")
    echo "| $(sed -n 's/^label=\([a-z]*\) .*/\1/p' <<<"$line") | $(field ok "$line") of $(($(field connections "$line") * $(field statements "$line"))) | $(field wrong "$line") | $(field errors "$line") | $(field reconnects "$line") | $(field lost "$line") | $(if [ "$crashed" = 1 ]; then echo "crashed (SIGSEGV)"; elif [ "$(field stop_killed "$line")" = 1 ]; then echo "no exit in 5 s: SIGKILL"; else echo "exited"; fi) |"
  done
} > "$ARDUDF_TCP_ROOT/section.md"
cp "$report" "$raw"
if [ -f "$out" ]; then sed '/^<!-- over TCP: written by bench\/load\/run.sh -->$/,$d' "$out" > "$out.tmp"; else : > "$out.tmp"; fi
[ -s "$out.tmp" ] && echo >> "$out.tmp"
cat "$ARDUDF_TCP_ROOT/section.md" >> "$out.tmp"
mv "$out.tmp" "$out"
cat "$ARDUDF_TCP_ROOT/section.md"
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "bench/load/run.sh: every check held; figures in $out"

#!/usr/bin/env bash
# Runs every in-process benchmark (bench/*_bench.cpp) with repetitions and writes their
# medians, and the targets they are read against, as markdown.
#
#   bench/in_process.sh [--build DIR] [--reps N] [--out FILE]
#
# Defaults: build/default, 3 repetitions, bench/results_in_process.md. Times are CPU time
# per call (the machine may be shared); the two-thread handle benchmarks use real time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build=$source_dir/build/default reps=3 out=$source_dir/bench/results_in_process.md
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--reps N] [--out FILE]" >&2; exit 2 ;;
  esac
done
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

for f in "$here"/*_bench.cpp; do
  name=$(basename "$f" .cpp)
  exe=$build/bench/$name
  [ -x "$exe" ] || { echo "in_process.sh: $exe is missing (cmake --build build/default)" >&2; exit 2; }
  echo "$name" >&2
  "$exe" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$work/$name.json" --benchmark_out_format=json >/dev/null
done

# One line per median (and per complexity fit): bench|name|cpu ns|real ns|bytes/s|items/s|counters
for j in "$work"/*.json; do
  jq -r --arg bench "$(basename "$j" .json)" '
    def ns: if .time_unit == "ms" then 1e6 elif .time_unit == "us" then 1e3 else 1 end;
    .benchmarks[]
    | select(.aggregate_name == "median" or .aggregate_name == "BigO")
    | [$bench, (if .aggregate_name == "BigO" then .name else .run_name end),
       (if .aggregate_name == "BigO" then "BigO " + ((.cpu_coefficient // 0) * ns * 10 | floor / 10 | tostring) + " ns × " + (.big_o // "") else (.cpu_time * ns | tostring) end),
       (if .aggregate_name == "BigO" then "" else (.real_time * ns | tostring) end),
       ((.bytes_per_second // "") | tostring), ((.items_per_second // "") | tostring),
       ((.allocs_per_payment // "") | tostring)]
    | join("|")' "$j"
done > "$work/medians"

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
{
  echo "# ardudf in process"
  echo
  echo "Written by \`bench/in_process.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $cpu, $(nproc) cores,"
  echo "load average $(cut -d' ' -f1-3 /proc/loadavg). Medians of $reps repetitions; CPU time per call"
  echo "(real time for the benchmarks of two threads). Google Benchmark's G is 2^30."
  echo
  awk -F'|' '
    function rate(x) {
      if (x == "") return ""
      if (x >= 2^30) return sprintf("%.2f G/s", x / 2^30)
      return sprintf("%.0f M/s", x / 2^20)
    }
    function t(x) { return x == "" ? "" : (x >= 1e6 ? sprintf("%.2f ms", x / 1e6) : (x >= 1e3 ? sprintf("%.2f µs", x / 1e3) : sprintf("%.1f ns", x))) }
    { bench[NR] = $1; name[NR] = $2; cpu[NR] = $3; real[NR] = $4; bps[NR] = $5; ips[NR] = $6; allocs[NR] = $7
      if ($2 == "Memcpy/16") alloc16 = $3 }
    END {
      print "## Targets"
      print ""
      # Byte-wise text over 1 GB/s on 32 KB.
      bad = 0; worst = ""
      for (i = 1; i <= NR; i++)
        if (name[i] ~ /^(Reverse|Quote|Phone|Diacritics|GetToken|DeleteToken|FindToken|Left|Right|Lpad|StringLength)\/32768$/) {
          if (bps[i] + 0 < 1e9) bad++
          if (worst == "" || bps[i] + 0 < worstv) { worst = name[i]; worstv = bps[i] + 0 }
        }
      printf "- byte-wise text functions on 32 KB, over 1 GB/s: %s (slowest %s, %s)\n", bad ? "NOT MET" : "met", worst, rate(worstv)
      # Stateless exports on a short input under 100 ns plus the result allocation.
      bad = 0; worst = ""
      for (i = 1; i <= NR; i++) {
        if (!(name[i] ~ /\/16$/ && name[i] !~ /^(Memcpy|Naive)/) && name[i] !~ /^(IsNotNull|PrefixCodes|PrefixCodes2|ConvCharToInt|GreatestLeast|BM_Export|BM_DateToString)/) continue
        own = cpu[i] - (name[i] ~ /^(FindToken|StringLength|ConvCharToInt|GreatestLeast|BM_Export)/ ? 0 : alloc16)
        if (own >= 100) bad++
        if (worst == "" || own > worstv) { worst = name[i]; worstv = own }
      }
      printf "- stateless exports on a short input, under 100 ns besides the result allocation (malloc + free of 17 bytes: %s): %s (slowest %s, %s)\n", t(alloc16), bad ? "NOT MET" : "met", worst, t(worstv)
      # A payment never allocates.
      bad = 0; n = 0
      for (i = 1; i <= NR; i++) if (allocs[i] != "") { n++; if (allocs[i] + 0 != 0) bad++ }
      printf "- a payment allocates nothing (operator new counted over %d sizes, 10 to 200,000 rows): %s\n", n, (bad || n == 0) ? "NOT MET" : "met"
      for (i = 1; i <= NR; i++) {
        if (name[i] ~ /^BM_AddDistinctRows\/10$/) first = cpu[i] / 10
        if (name[i] ~ /^BM_AddDistinctRows\/200000$/) last_row = cpu[i] / 200000
        if (name[i] ~ /^BM_AddDistinctRows_BigO$/) fit = substr(cpu[i], 6)
      }
      printf "- adding rows is linear: the fitted complexity is %s; per row %s with 10 rows, %s with 200,000 (the row index outgrows the caches)\n", fit, t(first), t(last_row)
      # The keyed handle numbering against the plain slot-and-generation values, same run,
      # in the times of the table below.
      for (i = 1; i <= NR; i++) if (name[i] ~ /^BM_Table/) {
        key = name[i]; sub(/<(Plain|Keyed)Numbering>/, "", key)
        v = name[i] ~ /threads:2/ ? real[i] : cpu[i]
        if (name[i] ~ /<PlainNumbering>/) plain[key] = v; else keyed[key] = v
      }
      line = ""
      for (i = 1; i <= NR; i++) if (name[i] ~ /^BM_Table.*<KeyedNumbering>/) {
        key = name[i]; sub(/<KeyedNumbering>/, "", key)
        if (!(key in plain) || plain[key] <= 0) continue
        line = line sprintf("%s%s %.2f (%s against %s)", line == "" ? "" : "; ", key, keyed[key] / plain[key], t(keyed[key]), t(plain[key]))
      }
      if (line != "") printf "- keyed handles, time against the plain numbering in the same run: %s\n", line
      print ""
      print "## Medians"
      last = ""
      for (i = 1; i <= NR; i++) {
        if (bench[i] != last) {
          print ""; print "### " bench[i]; print ""
          print "| benchmark | time | real time | rate | allocations per payment |"
          print "|---|---:|---:|---:|---:|"
          last = bench[i]
        }
        if (name[i] ~ /_BigO$/) { printf "| %s | %s | | | |\n", name[i], cpu[i]; continue }
        r = bps[i] != "" ? rate(bps[i]) : (ips[i] != "" ? sprintf("%.1f M items/s", ips[i] / 1e6) : "")
        printf "| %s | %s | %s | %s | %s |\n", name[i], t(cpu[i]), t(real[i]), r, allocs[i]
      }
    }' "$work/medians"
} > "$out.tmp"
mv "$out.tmp" "$out"
echo "written: $out" >&2

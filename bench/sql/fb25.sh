#!/usr/bin/env bash
# The cost of a call in Firebird 2.5, the engine the legacy module is for: bench/sql/calls.sh
# --fb25 (the 32-bit ardudf.dll in the Win32 embedded engine, tests/fb25, under Wine) and a
# table of each function's call against the floor of the same declaration (a do-nothing
# DLL, tests/fb25/ardudf_noop.dll) in that engine. Under Wine, and more so where Wine runs
# through qemu (a kernel without 32-bit programs), the absolute times mean little: the ratio
# to the floor measured in the same run is the figure. Writes the section "## Firebird 2.5"
# of bench/results.md (before the comparison of 3.0, 4.0 and 5.0), the rest staying.
#
#   bench/sql/fb25.sh [--build DIR] [--rows N] [--reps N] [--out FILE]
#
# Defaults: build/mingw-i686 (cmake --preset mingw-i686 && cmake --build build/mingw-i686),
# 5,000 rows, 3 rounds: 16 minutes through qemu on 2 cores shared with other work (load 17).
# A call whose declared texts add up to more than 64 KB (two of 32,767 bytes) costs 2.5 a
# hundred times another, floor and ardudf alike (milliseconds a row through qemu).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$source_dir/build/mingw-i686 rows=5000 reps=3 out=$source_dir/bench/results.md
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --rows) rows=$2; shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--rows N] [--reps N] [--out FILE]" >&2; exit 2 ;;
  esac
done
# shellcheck source=../../tests/fb25/fb25env.sh
. "$source_dir/tests/fb25/fb25env.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-fb25bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$here/calls.sh" --fb25 --build "$build" --rows "$rows" --reps "$reps" --out "$work/calls.md" --times "$work/times"
version=$(sed -n 's/^Firebird \([0-9.]*\) embedded.*/\1/p' "$work/calls.md")
how="natively"
case "$(fb25_wine)" in *emulate_i386*) how="through qemu-user (this kernel runs no 32-bit program: scripts/emulate_i386.sh)" ;; esac

begin='<!-- Firebird 2.5: written by bench/sql/fb25.sh -->'
end='<!-- end of the Firebird 2.5 section -->'
{
  echo "$begin"
  echo "## Firebird 2.5 (32-bit Windows, under Wine)"
  echo
  echo "Written by \`bench/sql/fb25.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): \`bench/sql/calls.sh --fb25\`, the"
  echo "32-bit \`ardudf.dll\` in Firebird ${version:-2.5} (the Win32 embedded kit, \`tests/fb25\`) under Wine, $how;"
  echo "a table of $rows rows, $reps alternated rounds, medians. Machine: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1),"
  echo "$(nproc) cores (load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)). ns per row; floor: a function of the same"
  echo "declaration in a DLL that does nothing, in the same engine and run; net: less the read of the"
  echo "row. Only the ratios carry over to a real Windows server."
  echo
  awk -F'|' -v rows="$rows" '
    function median(key,   n, i, j, t, a) {
      n = split(all[key], a, " ")
      if (n == 0) return ""
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function ns(key,   m) { m = median(key); return m == "" ? "" : m * 1e6 / rows }
    function show(x) { return x == "" ? "–" : sprintf("%.0f", x) }
    function ratio(x, y) { return (x == "" || y == "" || y <= 0) ? "–" : sprintf("%.2f", x / y) }
    { if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }; all[$1 "|" $2] = all[$1 "|" $2] " " $4 }
    END {
      print "| function | read | built-in | legacy floor | ardudf | ratio | net ratio |"
      print "|---|---:|---:|---:|---:|---:|---:|"
      for (i = 1; i <= count; i++) {
        f = order[i]
        if (f ~ /^width/) continue
        rd = ns(f "|read"); bi = ns(f "|builtin"); fl = ns(f "|floor"); a = ns(f "|ardudf")
        printf "| %s | %s | %s | %s | %s | %s | %s |\n", f, show(rd), show(bi), show(fl), show(a), ratio(a, fl), ratio(a - rd, fl - rd)
        if (fl != "" && a != "" && fl > rd) { n++; if (a - rd <= 1.1 * (fl - rd)) ok++; else out = out " " f; r[n] = (a - rd) / (fl - rd) }
      }
      for (i = 2; i <= n; i++) for (j = i; j > 1 && r[j - 1] > r[j]; j--) { t = r[j]; r[j] = r[j - 1]; r[j - 1] = t }
      print ""
      if (n == 0) exit
      printf "Net ratio, median: %.2f; within 10 %% of the floor: %d of %d%s.\n", n % 2 ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2,
        ok, n, out == "" ? "" : " (not:" out ")"
    }' "$work/times"
  echo "$end"
} > "$work/section.md"

# The section replaces its former self, or goes before the comparison of engines (or the
# section over TCP, or at the end).
[ -f "$out" ] || : > "$out"
awk -v b="$begin" -v e="$end" -v f="$work/section.md" '
  function put(   l) { if (!done) { while ((getline l < f) > 0) print l; print ""; done = 1 } }
  $0 == b { put(); skip = 1; next }
  skip { if ($0 == e) skip = 2; next }
  skip == 2 && $0 == "" { skip = 0; next }
  /^## Firebird 3.0, 4.0 and 5.0/ || /^<!-- over TCP: written by bench\/load\/run.sh -->$/ { put() }
  { skip = 0; print }
  END { if (!done) { print ""; put() } }' "$out" > "$out.tmp"
mv "$out.tmp" "$out"
echo "written: $out" >&2

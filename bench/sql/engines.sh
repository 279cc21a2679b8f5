#!/usr/bin/env bash
# Firebird 4.0 beside Firebird 3.0: bench/sql/calls.sh in each engine, one after the other,
# with the same modules and the same table, and a short table of each call against the
# floor of its path (legacy, UDR) in each engine. It replaces the section
# "## Firebird 4.0 beside Firebird 3.0" at the end of bench/results.md; the rest of that
# file (calls.sh at full size, Firebird 3.0 alone) stays as it is.
#
#   bench/sql/engines.sh [--build DIR] [--rows N] [--reps N] [--out FILE]
#
# Defaults: build/default, 100,000 rows, 3 rounds: 31 minutes for both engines on 2 cores
# shared with other work (load 8), where a legacy call cost 20 to 30 µs; --reps 1 takes a
# third of that. Firebird 4.0 runs in the Debian 13 root of scripts/fb4root.sh.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$source_dir/build/default rows=100000 reps=3 out=$source_dir/bench/results.md
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --rows) rows=$2; shift 2 ;;
    --reps) reps=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--rows N] [--reps N] [--out FILE]" >&2; exit 2 ;;
  esac
done

work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-engines.XXXXXX")
trap 'rm -rf "$work"' EXIT
for fb in 3 4; do
  echo "== Firebird $fb.0" >&2
  flag=()
  [ $fb -eq 4 ] && flag=(--fb4)
  "$here/calls.sh" "${flag[@]}" --build "$build" --rows "$rows" --reps "$reps" \
    --out "$work/fb$fb.md" --times "$work/fb$fb.times"
done

version() { sed -n 's/^Firebird \([0-9.]*\) embedded.*/\1/p' "$1"; }
v3=$(version "$work/fb3.md") v4=$(version "$work/fb4.md")
walk() { sed -n '/^```$/,/^```$/p' "$1" | sed '/^```$/d'; }

{
  echo "## Firebird 4.0 beside Firebird 3.0"
  echo
  echo "Written by \`bench/sql/engines.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): \`bench/sql/calls.sh\` in"
  echo "Firebird $v3 (Debian 12) and then in Firebird $v4 (Debian 13, \`scripts/fb4root.sh\`), the"
  echo "same modules, a table of $rows rows, $reps alternated rounds; medians. Machine: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1),"
  echo "$(nproc) cores (load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)). ns per row less the read"
  echo "of the row. floor: a function of the same declaration that does nothing, in the same engine;"
  echo "net ratio: the call / its floor."
  echo
  awk -F'|' -v rows="$rows" -v v3="$v3" -v v4="$v4" '
    function median(s,   n, i, j, t, a) {
      n = split(s, a, " ")
      if (n == 0) return ""
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function ns(e, f, v,   m) { m = median(all[e "|" f "|" v]); return m == "" ? "" : m * 1e6 / rows }
    function net(e, f, v,   x, r) { x = ns(e, f, v); r = ns(e, f, "read"); return (x == "" || r == "") ? "" : x - r }
    function cell(e, f, v, fl,   a, b) {
      a = net(e, f, v); b = net(e, f, fl)
      return (a == "" || b == "") ? "–" : sprintf("%.0f (%.0f)", a, b)
    }
    FNR == 1 { e = (FILENAME ~ /fb3\.times$/) ? 3 : 4 }
    $1 ~ /^width/ { next }
    { if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }; all[e "|" $1 "|" $2] = all[e "|" $1 "|" $2] " " $4 }
    END {
      # The summary: per engine and path, the median floor, the median and the widest net ratio.
      print "| engine | module | floor, median | net ratio, median | widest | within 10 % of the floor |"
      print "|---|---|---:|---:|---:|---:|"
      split("3 ardudf floor legacy|3 udr udrfloor UDR|4 ardudf floor legacy|4 udr udrfloor UDR", paths, "|")
      for (p = 1; p <= 4; p++) {
        split(paths[p], w, " ")
        fl = ""; ra = ""; k = 0; within = 0; widest = 0
        for (i = 1; i <= count; i++) {
          a = net(w[1], order[i], w[2]); b = net(w[1], order[i], w[3])
          if (a == "" || b == "" || b <= 0) continue
          k++; fl = fl " " b; ra = ra " " a / b
          if (a <= 1.1 * b) within++
          if (a / b > widest) { widest = a / b; wname = order[i] }
        }
        printf "| %s | %s | %.0f | %.2f | %.2f (%s) | %d of %d |\n", (w[1] == 3 ? v3 : v4), w[4], median(fl), median(ra),
          widest, wname, within, k
      }
      print ""
      print "<details><summary>Per function: the call (its floor), ns per row less the read</summary>"
      print ""
      printf "| function | %s legacy | %s legacy | %s UDR | %s UDR |\n", v3, v4, v3, v4
      print "|---|---:|---:|---:|---:|"
      for (i = 1; i <= count; i++) {
        f = order[i]
        printf "| %s | %s | %s | %s | %s |\n", f, cell(3, f, "ardudf", "floor"), cell(4, f, "ardudf", "floor"),
          cell(3, f, "udr", "udrfloor"), cell(4, f, "udr", "udrfloor")
      }
      print ""
      print "</details>"
    }' "$work/fb3.times" "$work/fb4.times"
  echo
  echo "The walk of a 1,000-row settlement (\`bench/sql/run.sh\`), in each engine:"
  echo
  echo '```'
  walk "$work/fb3.md"
  echo
  walk "$work/fb4.md"
  echo '```'
} > "$work/section.md"

# The rest of the file stays; the section is the file's last.
if [ -f "$out" ]; then
  sed '/^## Firebird 4.0 beside Firebird 3.0/,$d' "$out" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' > "$work/head.md"
  { cat "$work/head.md"; echo; cat "$work/section.md"
    # The section over TCP (bench/load/run.sh) stays behind it.
    sed -n '/^<!-- over TCP: written by bench\/load\/run.sh -->$/,$p' "$out" | sed '1{/./{x;p;x}}'
  } > "$out.tmp"
else
  cp "$work/section.md" "$out.tmp"
fi
mv "$out.tmp" "$out"
echo "written: $out" >&2

#!/usr/bin/env bash
# Firebird 3.0, 4.0 and 5.0 side by side: bench/sql/calls.sh in each engine, one after the
# other, with the same modules and the same table, and a short table of each call against
# the floor of its path (legacy, UDR) in each engine, and of each engine's floors against
# Firebird 3.0's. It replaces the section "## Firebird 3.0, 4.0 and 5.0" at the end of
# bench/results.md; the rest of that file (calls.sh at full size, Firebird 3.0 alone) stays
# as it is.
#
#   bench/sql/engines.sh [--build DIR] [--rows N] [--reps N] [--out FILE]
#
# Defaults: build/default, 100,000 rows, 3 rounds: 12 minutes for the three engines on 2
# cores shared with other work (load 3), 31 minutes for two of them at load 8; --reps 1
# takes half of that (6 minutes at load 3). Firebird 4.0 and 5.0 come from scripts/engine.sh
# (a Debian 13 root, a tree); without a Firebird 5 tree the section has Firebird 3.0 and 4.0
# and says why.
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
engines=(3 4 5) without5=""
if ! without5=$("$source_dir/scripts/engine.sh" fb5 source); then
  without5=${without5#SKIPPED: }
  echo "engines.sh: Firebird 5.0 left out: $without5" >&2
  engines=(3 4)
fi
for fb in "${engines[@]}"; do
  echo "== Firebird $fb.0" >&2
  flag=()
  [ "$fb" -gt 3 ] && flag=(--fb"$fb")
  "$here/calls.sh" "${flag[@]}" --build "$build" --rows "$rows" --reps "$reps" \
    --out "$work/fb$fb.md" --times "$work/fb$fb.times"
done

version() { sed -n 's/^Firebird \([0-9.]*\) embedded.*/\1/p' "$1"; }
versions=() times=()
for fb in "${engines[@]}"; do
  versions+=("$(version "$work/fb$fb.md")") times+=("$work/fb$fb.times")
done
walk() { sed -n '/^```$/,/^```$/p' "$1" | sed '/^```$/d'; }

{
  echo "## Firebird 3.0, 4.0 and 5.0"
  echo
  echo "Written by \`bench/sql/engines.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): \`bench/sql/calls.sh\` in"
  echo "Firebird ${versions[0]} (Debian 12), then in Firebird ${versions[1]} (Debian 13, \`scripts/engine.sh fb4\`)"
  if [ ${#engines[@]} -gt 2 ]; then
    echo "and in Firebird ${versions[2]} (built on Debian 12, \`scripts/engine.sh fb5\`), one engine after the other:"
  else
    echo "(not Firebird 5.0: $without5), one engine after the other:"
  fi
  echo "the same modules, a table of $rows rows, $reps alternated rounds; medians. Machine: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1),"
  echo "$(nproc) cores (load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)). ns per row less the read"
  echo "of the row. floor: a function of the same declaration that does nothing, in the same engine;"
  echo "net ratio: the call / its floor; against 3.0: the floor / Firebird 3.0's floor of the same path."
  echo
  awk -F'|' -v rows="$rows" -v versions="${versions[*]}" '
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
    BEGIN { ne = split(versions, ver, " "); split("ardudf floor legacy|udr udrfloor UDR", paths, "|") }
    FNR == 1 { e++ }
    $1 ~ /^width/ { next }
    { if (!($1 in seen)) { seen[$1] = 1; order[++count] = $1 }; all[e "|" $1 "|" $2] = all[e "|" $1 "|" $2] " " $4 }
    END {
      # The summary: per engine and path, the median floor (and against Firebird 3.0s), the
      # median and the widest net ratio.
      print "| engine | module | floor, median | against 3.0 | net ratio, median | widest | within 10 % of the floor |"
      print "|---|---|---:|---:|---:|---:|---:|"
      for (p = 1; p <= 2; p++) {
        split(paths[p], w, " ")
        for (e = 1; e <= ne; e++) {
          fl = ""; ra = ""; k = 0; within = 0; widest = 0
          for (i = 1; i <= count; i++) {
            a = net(e, order[i], w[1]); b = net(e, order[i], w[2])
            if (a == "" || b == "" || b <= 0) continue
            k++; fl = fl " " b; ra = ra " " a / b
            if (a <= 1.1 * b) within++
            if (a / b > widest) { widest = a / b; wname = order[i] }
          }
          floor[e] = median(fl)
          printf "| %s | %s | %.0f | %.2f | %.2f | %.2f (%s) | %d of %d |\n", ver[e], w[3], floor[e],
            floor[e] / floor[1], median(ra), widest, wname, within, k
        }
      }
      print ""
      print "<details><summary>Per function: the call (its floor), ns per row less the read</summary>"
      print ""
      head = "| function |"; rule = "|---|"
      for (p = 1; p <= 2; p++) { split(paths[p], w, " "); for (e = 1; e <= ne; e++) { head = head " " ver[e] " " w[3] " |"; rule = rule "---:|" } }
      print head; print rule
      for (i = 1; i <= count; i++) {
        f = order[i]; line = "| " f " |"
        for (p = 1; p <= 2; p++) { split(paths[p], w, " "); for (e = 1; e <= ne; e++) line = line " " cell(e, f, w[1], w[2]) " |" }
        print line
      }
      print ""
      print "</details>"
    }' "${times[@]}"
  echo
  echo "The walk of a 1,000-row settlement (\`bench/sql/run.sh\`), in each engine:"
  echo
  echo '```'
  for fb in "${engines[@]}"; do
    [ "$fb" = "${engines[0]}" ] || echo
    walk "$work/fb$fb.md"
  done
  echo '```'
} > "$work/section.md"

# The rest of the file stays; the section is the file's last.
if [ -f "$out" ]; then
  sed '/^## Firebird \(4\.0 beside Firebird 3\.0\|3\.0, 4\.0 and 5\.0\)/,$d' "$out" | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' > "$work/head.md"
  { cat "$work/head.md"; echo; cat "$work/section.md"
    # The section over TCP (bench/load/run.sh) stays behind it.
    sed -n '/^<!-- over TCP: written by bench\/load\/run.sh -->$/,$p' "$out" | sed '1{/./{x;p;x}}'
  } > "$out.tmp"
else
  cp "$work/section.md" "$out.tmp"
fi
mv "$out.tmp" "$out"
echo "written: $out" >&2

#!/usr/bin/env bash
# The walk of a 1,000-row settlement in the server: four calls per row (the legacy module
# and the UDR module) against ib_scbwalk, one call per walk (UDR module).
#
#   bench/sql/run.sh [BUILD_DIR] [WALKS] [ROUNDS]    (defaults: build/default 50 5)
#
# Each round opens WALKS settlements, then times walking all of them one way; the rounds of
# the three ways alternate, and the median round is reported per walk of 1,000 rows, with
# each way's ratio to the UDR four-call loop measured in the same run. Needs the engine
# (scripts/bootstrap.sh firebird) and a build with both modules.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$source_dir/build/default}" && pwd)
walks=${2:-50} rounds=${3:-5}
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# One database per module, each in its own engine root (UdfAccess differs).
prepare() { # mode module_dir declare_sql extra_sql...
  local mode=$1 dir=$2 declare=$3
  shift 3
  (
    fbenv_setup "$work/$mode" "$dir" "$mode"
    fbenv_create_db "$work/$mode.fdb" UTF8
    cd "$source_dir/sql" && fb_isql -b -i "$declare" "$work/$mode.fdb"
    for f in walk_setup.sql "$@"; do fb_isql -b -i "$here/$f" "$work/$mode.fdb"; done
  )
}
prepare udf "$build" ardudf.sql
prepare udr "$build/src/udr" ardudf_udr.sql walk_procedure.sql

round() { # mode procedure -> "rows ms"
  (
    fbenv_setup "$work/$1" "$([ "$1" = udr ] && echo "$build/src/udr" || echo "$build")" "$1" >/dev/null
    printf 'SET LIST ON;\nEXECUTE PROCEDURE bench_open(%d);\nSELECT rows_walked, ms FROM %s(%d);\nEXECUTE PROCEDURE bench_close(%d);\n' \
      "$walks" "$2" "$walks" "$walks" | fb_isql -b "$work/$1.fdb" |
      awk '$1 == "ROWS_WALKED" {r = $2} $1 == "MS" {m = $2} END {print r, m}'
  )
}

declare -A times
for ((i = 1; i <= rounds; i++)); do
  for way in "udf bench_loop" "udr bench_loop" "udr bench_walk"; do
    read -r rows ms < <(round $way)
    if [ "$rows" != $((walks * 1000)) ]; then
      echo "bench: $way walked $rows rows, not $((walks * 1000))" >&2
      exit 1
    fi
    times[$way]+="$ms "
  done
done

median() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
base=$(median <<<"${times[udr bench_loop]}")
echo "walk of a 1,000-row settlement, median of $rounds rounds of $walks walks (engine: $(fbenv_engine_dir))"
printf '%-44s %12s %16s\n' "way" "us per walk" "time / UDR loop"
for way in "udf bench_loop" "udr bench_loop" "udr bench_walk"; do
  ms=$(median <<<"${times[$way]}")
  case "$way" in
    "udf bench_loop") label="legacy module, 4 calls per row" ;;
    "udr bench_loop") label="UDR module, 4 calls per row (baseline)" ;;
    *) label="UDR module, ib_scbwalk (1 call per walk)" ;;
  esac
  awk -v l="$label" -v ms="$ms" -v n="$walks" -v b="$base" \
    'BEGIN {printf "%-44s %12.0f %15.2fx\n", l, ms * 1000 / n, (b > 0 ? ms / b : 0)}'
done

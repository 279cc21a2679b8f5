#!/usr/bin/env bash
# The differential run: the same random calls through the UDR module and through the PSQL
# functions, in one database of Firebird's embedded engine, compared call by call. Every
# function of the catalogue with edge and random arguments (NULL, long texts, texts past
# their widths, any byte, serials outside the calendar, absurd lengths), then random
# settlements (rows, payments, credit notes, partial walks, walks by the loop and by
# ib_scbwalk, clear, free) on a context of each. Each answer must be the same: the value
# (a double to the bit, a text to the byte) or the same error (SQLSTATE and code). Then
# the functions that take a double and more settlements, their doubles bound as
# parameters through libfbclient (ardudf_bound): NaN, the infinities and -0.0 among them.
#
#   tests/server/differential.sh --build DIR --charset NONE|UTF8 [--seed N] [--calls N] [--sequences N] [--keep]
#
# --build: the build folder (libardudf_udr.so, ardudf_catalogue, ardudf_differential).
# --seed: the random calls (default 1; another seed gives other calls; "random" draws one
# and prints it, so that a failure is replayed with --seed N). --calls:
# calls per function (default 200); --sequences: settlements (default 100).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"

build="" charset="" seed=1 calls=200 sequences=100 keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --charset) charset=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --calls) calls=$2; shift 2 ;;
    --sequences) sequences=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: $0 --build DIR --charset NONE|UTF8 [--seed N] [--calls N] [--sequences N] [--keep]" >&2; exit 2 ;;
  esac
done
for f in "$build/src/udr/libardudf_udr.so" "$build/ardudf_catalogue" "$build/tests/server/ardudf_differential" \
         "$build/tests/server/ardudf_bound"; do
  [ -f "$f" ] || { echo "differential.sh: $f is missing" >&2; exit 2; }
done
[ -n "$charset" ] || { echo "differential.sh: --charset NONE|UTF8" >&2; exit 2; }
[ "$seed" != random ] || seed=$(( (RANDOM << 15 | RANDOM) % 2000000000 + 2 ))
[[ "$seed" =~ ^[0-9]+$ ]] || { echo "differential.sh: --seed N or random" >&2; exit 2; }
echo "seed $seed (replay: $0 --build $build --charset $charset --seed $seed)"

work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-differential.XXXXXX")
if [ $keep -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
fbenv_setup "$work/root" "$build/src/udr" udr || exit 1
db=$work/differential.fdb
fbenv_create_db "$db" "$charset" || exit 1
label="$charset, Firebird $(fbenv_value "$db" "SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB\$DATABASE;")"

# The module under the prefix u_, the PSQL functions under their own names.
"$build/ardudf_catalogue" declare udr u_ > "$work/udr.sql"
out=$( (fbenv_isql "$db" -b -i "$work/udr.sql" && cd "$source_dir/sql" && fbenv_isql "$db" -b -i ardudf_psql.sql) 2>&1)
[ -z "$out" ] || { echo "FAIL: declaring printed:"; echo "$out"; exit 1; }

"$build/tests/server/ardudf_differential" "$seed" "$calls" "$sequences" > "$work/calls.sql"
fbenv_isql "$db" -i "$work/calls.sql" > "$work/out.txt" 2>&1
"$build/tests/server/ardudf_differential" "$seed" $((calls / 4)) $((sequences / 2)) bound > "$work/bound.txt"
# The client library of the engine that runs: the system's, or a relocatable tree's own
# (one that carries its bin/, as Firebird 5 here). Debian's Firebird 4 client refuses the
# engine plugin through the root's link to its folder ("Actual module name does not match
# requested"): it gets the folder itself, its configuration being the root's anyway
# (scripts/lib/fbenv.sh, fbenv_point_conf).
engine=$(fbenv_engine_dir)
bound=("$build/tests/server/ardudf_bound")
if [ -x "$engine/bin/isql" ]; then
  bound=(env "LD_LIBRARY_PATH=$engine/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" "${bound[@]}")
elif [ -n "${ARDUDF_FB_CONF_DIR:-}" ]; then
  bound=(env "FIREBIRD=$engine" "${bound[@]}")
fi
"${bound[@]}" "$db" "$work/bound.txt" >> "$work/out.txt" 2>&1
compared=$(sed -n 's/^DIFFERENCE *calls: .* \([0-9]*\)$/\1/p' "$work/out.txt" | awk '{ n += $1 } END { print n + 0 }')
differences=$(grep '^DIFFERENCE' "$work/out.txt" | grep -vc '^DIFFERENCE *calls: ')
failed=$(grep -c 'Statement failed' "$work/out.txt")
echo "seed $seed: $compared calls compared, $differences differences ($label)"
if [ "$differences" -gt 0 ] || [ "$failed" -gt 0 ] || [ "$compared" -eq 0 ]; then
  grep -v '^DIFFERENCE *calls: ' "$work/out.txt" | grep -B1 -A3 '^DIFFERENCE\|Statement failed' | head -200
  echo "FAIL: the UDR module and the PSQL functions differ ($label)"
  exit 1
fi
echo "all passed: differential ($label)"

#!/usr/bin/env bash
# The test host's results against the real engine's: the calls of tests/udr/calls.txt, the
# docs examples and the NULL of each argument, made through udr_host and through isql in
# Firebird's embedded engine with the same module, must give the same lines.
#   engine_agrees.sh UDR_HOST LIBARDUDF_UDR.SO
set -euo pipefail
host=$1 module=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-host.XXXXXX")
trap 'rm -rf "$work"' EXIT
fbenv_setup "$work/root" "$(dirname "$module")" udr
fbenv_create_db "$work/test.fdb" UTF8
(cd "$source_dir/sql" && fbenv_isql "$work/test.fdb" -b -i ardudf_udr.sql)

files=(--calls "$here/calls.txt" --docs "$source_dir/docs/functions.md"
  --select "$source_dir/tests/server/sql/nulls_each_argument.sql" "$source_dir/tests/server/expected/udr/nulls_each_argument.out")
"$host" "$module" "$source_dir/sql/ardudf_udr.sql" run "${files[@]}" >"$work/host.out"
"$host" - "$source_dir/sql/ardudf_udr.sql" sql "${files[@]}" >"$work/calls.sql"
# isql's output as the host prints it: each call's "R:" line, or its error lines (without the
# line that names the routine, which the host has no part in) joined by " / ".
{ fbenv_isql "$work/test.fdb" -m -i "$work/calls.sql" 2>&1 || true; } | sed 's/[[:space:]]*$//' | awk '
  function flush() { if (err != "") print "error: " err; err = ""; inerr = 0 }
  /^C:[0-9]+$/ { flush(); next }
  /^R:/ { flush(); print substr($0, 3); next }
  /^Statement failed, SQLSTATE/ { inerr = 1; next }
  inerr && /^-?At (function|procedure|block)/ { next }
  inerr && /^-?Execute statement error/ { next }
  inerr && /^-?(After|At) line [0-9]+ in file / { next }
  inerr && NF > 0 { line = $0; sub(/^-/, "", line); err = err (err == "" ? "" : " / ") line; next }
  END { flush() }
' >"$work/engine.out"
if ! diff -u "$work/engine.out" "$work/host.out"; then
  echo "FAIL: the host's results (+) differ from the engine's (-)"
  exit 1
fi
echo "ok: $(wc -l <"$work/host.out") calls give the same results in the host and in Firebird $(
  fbenv_engine_version "$work/test.fdb")"

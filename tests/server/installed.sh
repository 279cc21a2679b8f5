#!/usr/bin/env bash
# The README's install lines, run as written but for three things: the build folder is a
# temporary one, `sudo` is dropped, and DESTDIR puts the install under a temporary root.
# Then both modules and the seven scripts must be there, and the installed files must work in
# the engine (the balance cases, legacy, UDR and PSQL).
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

lines=$(sed -n '/^<!-- install -->$/,/^```$/p' "$source_dir/README.md" | sed '1,2d;$d' | grep -v '^#')
[ -n "$lines" ] || { echo "README.md has no install block"; exit 1; }
lines=${lines//build\/release/$work\/build}
lines=${lines//sudo /}
echo "$lines"
(cd "$source_dir" && export DESTDIR=$work/root && eval "$lines") >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }

fail=0
for f in ardudf.sql ardudf_drop.sql ardudf_udr.sql ardudf_udr_drop.sql ardudf_legacy_to_udr.sql ardudf_psql.sql \
  ardudf_psql_drop.sql ardudf_legacy_to_psql.sql; do
  [ -f "$work/root/usr/share/ardudf/sql/$f" ] || { echo "missing: /usr/share/ardudf/sql/$f"; fail=1; }
done
legacy=$(find "$work/root" -path '*/UDF/ardudf.so')
udr=$(find "$work/root" -path '*/plugins/udr/libardudf_udr.so')
[ -n "$legacy" ] || { echo "missing: .../UDF/ardudf.so"; fail=1; }
[ -n "$udr" ] || { echo "missing: .../plugins/udr/libardudf_udr.so"; fail=1; }
[ $fail -eq 0 ] || exit 1
echo "installed: ${legacy#"$work/root"} ${udr#"$work/root"}"
"$source_dir/tests/server/run.sh" --module-dir "$(dirname "$legacy")" --charset UTF8 balance_core
"$source_dir/tests/server/run.sh" --udr --module-dir "$(dirname "$udr")" --charset UTF8 balance_core
"$source_dir/tests/server/run.sh" --psql --sql-dir "$work/root/usr/share/ardudf/sql" --charset UTF8 balance_core

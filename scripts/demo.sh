#!/usr/bin/env bash
# The main job: installs what is missing, builds ardudf, declares every function in an
# embedded Firebird database under work/ and shows each group at work, ending with the
# settlement of a small invoice. The database stays behind for you to explore.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/bootstrap.sh build firebird
echo "== building"
cmake --preset default >/dev/null
cmake --build build/default --target ardudf ardudf_udr >/dev/null
echo "ardudf built: build/default/ardudf.so (legacy UDF), build/default/src/udr/libardudf_udr.so (UDR)"

. scripts/fbenv.sh
mkdir -p work
fbenv_setup work/firebird build/default
db=$root/work/demo.fdb
fbenv_create_db "$db" UTF8
(cd sql && fbenv_isql "$db" -b -i ardudf.sql)
echo "declared $(grep -c '^DECLARE EXTERNAL FUNCTION' sql/ardudf.sql) functions in $db (character set UTF8)"

for part in scripts/demo/*.sql; do
  title=$(sed -n '1s/^-- //p' "$part")
  echo
  echo "== $title"
  # Echo off, tables on; the comments of the file introduce each query.
  (cd scripts/demo && fbenv_isql "$db" -b -i "$(basename "$part")") |
    sed -e 's/[[:space:]]*$//' | cat -s
done

# The same functions through the UDR module, in a database of its own: what differs.
udr_dir=build/default/src/udr
if [ -f "$udr_dir/libardudf_udr.so" ]; then
  fbenv_setup work/firebird-udr "$udr_dir" udr
  udr_db=$root/work/demo_udr.fdb
  fbenv_create_db "$udr_db" UTF8
  (cd sql && fbenv_isql "$udr_db" -b -i ardudf_udr.sql)
  echo
  echo "== $(sed -n '1s/^-- //p' scripts/demo/udr/5_udr.sql) ($udr_db)"
  (cd scripts/demo/udr && fbenv_isql "$udr_db" -b -i 5_udr.sql) | sed -e 's/[[:space:]]*$//' | cat -s
fi

cat <<EOF

== the database is yours
$db holds the declared functions and the settlement tables. Open it with:

  eval "\$(scripts/fbenv.sh work/firebird build/default)"
  isql-fb -ch UTF8 work/demo.fdb

Then try, for instance:  SET LIST ON; SELECT ib_lpad('42', 5, '0') FROM rdb\$database;
The UDR module's database is work/demo_udr.fdb:

  eval "\$(scripts/fbenv.sh work/firebird-udr build/default/src/udr udr)"
  isql-fb -ch UTF8 work/demo_udr.fdb
EOF

#!/usr/bin/env bash
# The main job: installs what is missing, builds ardudf, declares every function in an
# embedded Firebird database under work/ and shows each group at work, ending with the
# settlement of a small invoice. The database stays behind for you to explore.
#
#   bin/demo.sh          in Debian 12's Firebird 3.0
#   bin/demo.sh --fb4    in Debian 13's Firebird 4.0 (scripts/engine.sh fb4 builds its root once)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fb=3 show=0
case "${1:-}" in
  "") ;;
  --fb4) fb=4 ;;
  --show-fb4) fb=4 show=1 ;;  # the demonstration itself, inside the Firebird 4 root
  *) echo "usage: $0 [--fb4]" >&2; exit 2 ;;
esac
# A database is made for one on-disk version: each engine gets its own.
engine_root=work/firebird db=$root/work/demo.fdb udr_root=work/firebird-udr udr_db=$root/work/demo_udr.fdb
if [ $fb -eq 4 ]; then
  engine_root=work/firebird4 db=$root/work/demo-fb4.fdb udr_root=work/firebird4-udr udr_db=$root/work/demo_udr-fb4.fdb
fi

if [ $show -eq 0 ]; then
  if [ $fb -eq 4 ]; then scripts/bootstrap.sh build firebird fb4; else scripts/bootstrap.sh build firebird; fi
  echo "== building"
  cmake --preset dev >/dev/null
  cmake --build build/dev --target ardudf ardudf_udr >/dev/null
  echo "ardudf built: build/dev/ardudf.so (legacy UDF), build/dev/src/udr/libardudf_udr.so (UDR)"
  if [ $fb -eq 4 ]; then
    scripts/engine.sh fb4 provide >/dev/null
    exec scripts/engine.sh fb4 run -- bin/demo.sh --show-fb4
  fi
fi

# shellcheck source=../scripts/lib/fbenv.sh
. scripts/lib/fbenv.sh
mkdir -p work
fbenv_setup "$engine_root" build/dev
fbenv_create_db "$db" UTF8
version=$(fbenv_engine_version "$db")
echo "engine: Firebird $version, embedded ($(fbenv_engine_dir))"
(cd sql && fbenv_isql "$db" -b -i ardudf.sql)
echo "declared $(grep -c '^DECLARE EXTERNAL FUNCTION' sql/ardudf.sql) functions in $db (character set UTF8)"

for part in bin/demo/*.sql; do
  title=$(sed -n '1s/^-- //p' "$part")
  echo
  echo "== $title"
  # Echo off, tables on; the comments of the file introduce each query.
  (cd bin/demo && fbenv_isql "$db" -b -i "$(basename "$part")") |
    sed -e 's/[[:space:]]*$//' | cat -s
done

# The same functions through the UDR module, in a database of its own: what differs.
udr_dir=build/dev/src/udr
if [ -f "$udr_dir/libardudf_udr.so" ]; then
  fbenv_setup "$udr_root" "$udr_dir" udr
  fbenv_create_db "$udr_db" UTF8
  (cd sql && fbenv_isql "$udr_db" -b -i ardudf_udr.sql)
  echo
  echo "== $(sed -n '1s/^-- //p' bin/demo/udr/5_udr.sql) ($udr_db)"
  (cd bin/demo/udr && fbenv_isql "$udr_db" -b -i 5_udr.sql) | sed -e 's/[[:space:]]*$//' | cat -s
fi

if [ $fb -eq 3 ]; then
  open='  eval "$(bin/fbenv_exports.sh work/firebird build/dev)"
  isql-fb -ch UTF8 work/demo.fdb'
  open_udr='  eval "$(bin/fbenv_exports.sh work/firebird-udr build/dev/src/udr udr)"
  isql-fb -ch UTF8 work/demo_udr.fdb'
else
  open="  scripts/engine.sh fb4 run -- bash -c '. scripts/lib/fbenv.sh && fbenv_setup work/firebird4 build/dev &&
    isql-fb -ch UTF8 work/demo-fb4.fdb'"
  open_udr="  scripts/engine.sh fb4 run -- bash -c '. scripts/lib/fbenv.sh && fbenv_setup work/firebird4-udr build/dev/src/udr udr &&
    isql-fb -ch UTF8 work/demo_udr-fb4.fdb'"
fi
cat <<EOF

== the database is yours
$db (Firebird $version) holds the declared functions and the settlement tables. Open it with:

$open

Then try, for instance:  SET LIST ON; SELECT ib_lpad('42', 5, '0') FROM rdb\$database;
The UDR module's database is $udr_db:

$open_udr
EOF

#!/usr/bin/env bash
# Rewrites the files generated from the catalogue (src/catalogue/catalogue.h).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build/default --target ardudf_catalogue >/dev/null
gen=build/default/ardudf_catalogue
"$gen" def > src/legacy/ardudf.def
"$gen" sql > sql/ardudf.sql
"$gen" drop > sql/ardudf_drop.sql
"$gen" udr > sql/ardudf_udr.sql
"$gen" udr_drop > sql/ardudf_udr_drop.sql
echo "generated src/legacy/ardudf.def sql/ardudf.sql sql/ardudf_drop.sql sql/ardudf_udr.sql sql/ardudf_udr_drop.sql"

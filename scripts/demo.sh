#!/usr/bin/env bash
# The main job: installs what is missing, builds ardudf, declares every function in an
# embedded Firebird database under work/ and runs a demonstration of each group.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh build firebird
cmake --preset default >/dev/null
cmake --build build/default
echo "ardudf built: build/default/ardudf.so"
nm -D --defined-only build/default/ardudf.so | awk '{print $3}'

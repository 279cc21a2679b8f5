#!/usr/bin/env bash
# The built module exports exactly the catalogue's names, and nothing else.
#   check_exports.sh <module> <ardudf_catalogue>
set -euo pipefail
module=$1 generator=$2
expected=$("$generator" names | sort)
actual=$(nm -D --defined-only "$module" | awk '{print $3}' | sort)
extra=$(comm -13 <(echo "$expected") <(echo "$actual"))
missing=$(comm -23 <(echo "$expected") <(echo "$actual"))
if [ -n "$extra" ]; then
  echo "exported but not in the catalogue:"; echo "$extra"; exit 1
fi
if [ -n "$missing" ]; then
  echo "catalogue entries missing from the module ($(echo "$missing" | wc -l)):"; echo "$missing"; exit 1
fi
echo "all $(echo "$expected" | wc -l) exports present, nothing else visible"

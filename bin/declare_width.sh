#!/usr/bin/env bash
# Prints the legacy declare script with its 32767-byte texts declared WIDTH bytes wide:
#
#   bin/declare_width.sh WIDTH | isql-fb -q -ch UTF8 -user SYSDBA -password "$PW" DB
#
# Every client allocates and moves the declared width of each text result and parameter of
# a legacy function, whatever the text holds: a narrower declaration makes a statement
# cheaper for the client (bench/results.md, "Over TCP"). A text longer than WIDTH, given or
# returned, is then refused by the server with "string right truncation". The functions
# keep their names, entry points and descriptions; drop them first when they are declared
# already (sql/ardudf_drop.sql). The script comes from the catalogue, as sql/ardudf.sql
# does (ardudf_catalogue sql WIDTH, built here in build/generate: CMake and a C++ compiler).
set -euo pipefail
if [ $# -ne 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ] || [ "$1" -gt 32767 ]; then
  echo "usage: $0 WIDTH(1..32767)" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=../scripts/lib/generator.sh
. "$source_dir/scripts/lib/generator.sh"
gen=$(generator_build "$source_dir")
"$gen" sql "$1"

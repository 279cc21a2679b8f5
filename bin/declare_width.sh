#!/usr/bin/env bash
# Prints the legacy declare script with its 32767-byte texts declared WIDTH bytes wide:
#
#   bin/declare_width.sh WIDTH [sql/ardudf.sql] | isql-fb -q -ch UTF8 -user SYSDBA -password "$PW" DB
#
# Every client allocates and moves the declared width of each text result and parameter of
# a legacy function, whatever the text holds: a narrower declaration makes a statement
# cheaper for the client (bench/results.md, "Over TCP"). A text longer than WIDTH, given or
# returned, is then refused by the server with "string right truncation". The functions
# keep their names and entry points; drop them first when they are declared already
# (sql/ardudf_drop.sql).
set -euo pipefail
if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]] || [ "$1" -lt 1 ] || [ "$1" -gt 32767 ]; then
  echo "usage: $0 WIDTH(1..32767) [DECLARE_SCRIPT]" >&2
  exit 2
fi
script=${2:-$(cd "$(dirname "$0")/.." && pwd)/sql/ardudf.sql}
sed -e "s/CSTRING(32767)/CSTRING($1)/g" \
    -e "1i -- sql/ardudf.sql with its 32767-byte texts declared $1 bytes wide (bin/declare_width.sh)" "$script"

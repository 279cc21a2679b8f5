#!/usr/bin/env bash
# Builds a private embedded-engine root (scripts/fbenv.sh) and prints its exports for a
# shell, so that isql-fb there runs the engine with the built module:
#   eval "$(scripts/fbenv_exports.sh work/firebird build/default)"                # legacy module
#   eval "$(scripts/fbenv_exports.sh work/firebird-udr build/default/src/udr udr)" # UDR module
set -euo pipefail
# shellcheck source=fbenv.sh
. "$(dirname "$0")/fbenv.sh"
if [ $# -lt 2 ] || [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$3" != udr ] && [ "$3" != udf ]; }; then
  echo "usage: eval \"\$($0 ROOT UDF_DIR)\"  or  eval \"\$($0 ROOT UDR_DIR udr)\"" >&2
  exit 2
fi
fbenv_setup "$@"
printf 'export FIREBIRD=%q FIREBIRD_LOCK=%q FIREBIRD_TMP=%q ISC_USER=SYSDBA\n' \
  "$FIREBIRD" "$FIREBIRD_LOCK" "$FIREBIRD_TMP"

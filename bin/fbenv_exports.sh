#!/usr/bin/env bash
# Builds a private embedded-engine root (scripts/lib/fbenv.sh) and prints its exports for a
# shell, so that isql-fb there runs the engine with the built module:
#   eval "$(bin/fbenv_exports.sh work/firebird build/dev)"                # legacy module
#   eval "$(bin/fbenv_exports.sh work/firebird-udr build/dev/src/udr udr)" # UDR module
set -euo pipefail
# shellcheck source=../scripts/lib/fbenv.sh
. "$(dirname "$0")/../scripts/lib/fbenv.sh"
if [ $# -lt 2 ] || [ $# -gt 3 ] || { [ $# -eq 3 ] && [ "$3" != udr ] && [ "$3" != udf ]; }; then
  echo "usage: eval \"\$($0 ROOT UDF_DIR)\"  or  eval \"\$($0 ROOT UDR_DIR udr)\"" >&2
  exit 2
fi
fbenv_setup "$@"
printf 'export FIREBIRD=%q FIREBIRD_LOCK=%q FIREBIRD_TMP=%q ISC_USER=SYSDBA\n' \
  "$FIREBIRD" "$FIREBIRD_LOCK" "$FIREBIRD_TMP"

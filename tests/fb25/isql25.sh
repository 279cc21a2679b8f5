#!/usr/bin/env bash
# isql-fb for the Firebird 2.5 engine: ardudf_isql25.exe (tests/fb25/isql25.c) under Wine,
# with isql-fb's arguments, so that FB_ISQL=.../tests/fb25/isql25.sh runs scripts/lib/fbenv.sh's
# commands in 2.5. The engine's root is the one fb25_setup exported (FIREBIRD); the program is
# ARDUDF_ISQL25_EXE, by default the mingw-i686 build's.
#   isql25.sh [-q] [-e] [-m] [-b] [-z] [-ch CHARSET] [-i FILE] [DATABASE] < SCRIPT
#   isql25.sh -backup DATABASE FILE | -restore FILE DATABASE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=fb25env.sh
. "$here/fb25env.sh"
exe=${ARDUDF_ISQL25_EXE:-$fb25_source_dir/build/mingw-i686/tests/fb25/ardudf_isql25.exe}
[ -f "$exe" ] || { echo "isql25.sh: no $exe (cmake --preset mingw-i686 && cmake --build build/mingw-i686)" >&2; exit 2; }
if [ -z "${ARDUDF_FB25_KIT:-}" ]; then
  ARDUDF_FB25_KIT=$(fb25_kit) || exit 2
  export ARDUDF_FB25_KIT
fi
fb25_wine_env || exit 2
wine=$(fb25_wine) || exit 2
# Input and output through files: Wine's own processes start with the program and outlive
# it, and would hold a pipe open.
io=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-isql25.XXXXXX")
trap 'rm -rf "$io"' EXIT
trap 'exit 1' INT TERM
[ -t 0 ] && : > "$io/in" || cat > "$io/in"
# shellcheck disable=SC2086 # the loader's command and its arguments
$wine "$exe" "$@" <"$io/in" >"$io/out" 2>"$io/err"
rc=$?
tr -d '\r' <"$io/out"
tr -d '\r' <"$io/err" >&2
exit $rc

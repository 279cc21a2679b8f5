#!/usr/bin/env bash
# ardudf_isql25 against isql-fb: tests/fb25/formats.sql run by Firebird 3's isql-fb and by
# isql25.sh in Firebird 2.5 prints the same (trailing blanks and runs of blank lines aside,
# as the server suites compare); -z names 2.5; and a database backed up by -backup and
# brought back by -restore answers as the original, while a restore over an existing file
# fails. Skipped (77) without the kit, isql-fb or a way to run 32-bit Wine.
#   check_isql25.sh          (ARDUDF_ISQL25_EXE: the program, as isql25.sh takes it)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=fb25env.sh
. "$here/fb25env.sh"
# shellcheck source=../../scripts/lib/fbenv.sh
. "$fb25_source_dir/scripts/lib/fbenv.sh"
skip() { echo "SKIPPED: $*"; exit 77; }
command -v isql-fb >/dev/null || skip "no isql-fb (scripts/bootstrap.sh firebird)"
why=$(fb25_source 2>&1 >/dev/null) || skip "$why"
why=$(fb25_wine 2>&1 >/dev/null) || skip "$why"
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-isql25.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
normalise() { sed -E 's/[[:space:]]*$//' | cat -s; }

(
  FB_ISQL=isql-fb
  fbenv_setup "$work/root3" "$work" psql && fbenv_create_db "$work/f3.fdb" UTF8 &&
    fb_isql -e -m -ch UTF8 -i "$here/formats.sql" "$work/f3.fdb" > "$work/f3.out" 2>&1
  true
)
export FB_ISQL=$here/isql25.sh
fbenv_setup "$work/root25" "$work" || exit 1
fbenv_create_db "$work/f25.fdb" UTF8 || fail "CREATE DATABASE in 2.5"
fb_isql -e -m -ch UTF8 -i "$here/formats.sql" "$work/f25.fdb" > "$work/f25.out" 2>&1
[ $? -eq 1 ] || fail "a script with errors ends with status 1"
if diff -u <(normalise < "$work/f3.out") <(normalise < "$work/f25.out"); then
  echo "ok: formats.sql prints what isql-fb prints"
else
  fail "formats.sql: isql-fb (-) and isql25 (+) differ"
fi
version=$(fbenv_version)
[[ $version == 2.5.* ]] && echo "ok: -z names $version" || fail "-z names '$version', not 2.5"

fb_isql -backup "$work/f25.fdb" "$work/f25.fbk" > "$work/backup.out" 2>&1 || { fail "-backup"; cat "$work/backup.out"; }
fb_isql -restore "$work/f25.fbk" "$work/back.fdb" > "$work/restore.out" 2>&1 || { fail "-restore"; cat "$work/restore.out"; }
# The file is where it was named, in its own letters (2.5 writes names in capitals).
[ -f "$work/back.fdb" ] || fail "the restored database is not $work/back.fdb: $(ls "$work")"
got=$(fbenv_value "$work/back.fdb" "SELECT u || '|' || x FROM t, t2 WHERE id = 1;")
[ "$got" = "žluť|1" ] && echo "ok: backed up and restored" || fail "the restored database answers '$got'"
if fb_isql -restore "$work/f25.fbk" "$work/back.fdb" > "$work/again.out" 2>&1; then
  fail "a restore over an existing database succeeded"
else
  grep -q "already exists" "$work/again.out" && echo "ok: no restore over an existing database" ||
    { fail "the restore over an existing database says:"; cat "$work/again.out"; }
fi
[ $failures -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all passed: isql25"

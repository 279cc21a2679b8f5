# shellcheck shell=bash
# A library, sourced by the commands that test ardudf in Firebird's embedded engine
# (run.sh: the SQL cases; examples.sh: the examples of docs/functions.md; snippets.sh: the
# SQL blocks of the README and docs/). Each takes the same options:
#
#   --module-dir DIR --charset NONE|UTF8|WIN1250 [--udr] [--tcp] [--sql-dir DIR] [--accept] [--keep] [NAME ...]
#   --psql --charset NONE|UTF8 [--tcp] [--sql-dir DIR] [--accept] [--keep] [--user NAME] [NAME ...]
#
# --module-dir: the folder of the built ardudf.so or ardudf.dll (with --udr: of libardudf_udr.so, in an
# engine with UdfAccess = None and sql/ardudf_udr.sql as the declarations). --psql: no
# module at all (an engine with UdfAccess = None and no UDR engine), sql/ardudf_psql.sql
# as the declarations; the expected outputs are the UDR module's. --charset: the
# database's default character set. --sql-dir: the declare and drop scripts from DIR (an
# installed package's) instead of sql/. --tcp: through the server that tests/tcp/server.sh
# started for the same module (ARDUDF_SERVER, ISC_USER and ISC_PASSWORD in the environment)
# rather than the embedded engine. --accept and NAME: run.sh's. --keep: the work folder stays.
# --user NAME (embedded only): run.sh runs the cases as that user, who holds no more than a
# DBA grants a user of the functions (the embedded engine takes the name as given and
# applies its privileges).
#
#   server_options "$@"         reads the options into the variables below; exits 2 on a wrong one
#   server_start                the engine root and the work folder; sets work, at, label
#   server_database NAME        a new database NAME.fdb in the work folder: sets db (and engine,
#                               the version of the engine that serves it)
#   server_declare SCRIPT [DIR] runs SCRIPT (from DIR, default the --sql-dir) on $db; it must print nothing
#   server_normalise            isql output that does not depend on the run (a filter)
#   fail MESSAGE                counts a failure
#   server_finish               the summary line and the exit status
# Variables: here source_dir module_dir charset udr psql tcp accept keep user only sql_dir mode
# declare_sql drop_sql label work at db engine failures.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"

# shellcheck disable=SC2034 # the variables are the commands'
server_options() {
  module_dir="" charset="" accept=0 keep=0 udr=0 psql=0 tcp=0 only=() sql_dir=$source_dir/sql engine="" user=
  while [ $# -gt 0 ]; do
    case "$1" in
      --module-dir) module_dir=$2; shift 2 ;;
      --sql-dir) sql_dir=$(cd "$2" && pwd); shift 2 ;;
      --charset) charset=$2; shift 2 ;;
      --accept) accept=1; shift ;;
      --udr) udr=1; shift ;;
      --psql) psql=1; shift ;;
      --tcp) tcp=1; shift ;;
      --keep) keep=1; shift ;;
      --user) user=$2; shift 2 ;;
      -*) echo "$(basename "$0"): unknown option $1" >&2; exit 2 ;;
      *) only+=("$1"); shift ;;
    esac
  done
  # The legacy module: ardudf.so, or the 32-bit ardudf.dll in the Windows engine (fb25).
  local module_file=ardudf.so
  [ -f "$module_dir/$module_file" ] || [ ! -f "$module_dir/ardudf.dll" ] || module_file=ardudf.dll
  declare_sql=ardudf.sql drop_sql=ardudf_drop.sql mode=udf label=$charset
  if [ $udr -eq 1 ]; then
    module_file=libardudf_udr.so declare_sql=ardudf_udr.sql drop_sql=ardudf_udr_drop.sql mode=udr label="$charset, UDR"
  fi
  if [ $psql -eq 1 ]; then
    # Nothing to load: the work folder stands for the module folder the engine root names.
    declare_sql=ardudf_psql.sql drop_sql=ardudf_psql_drop.sql mode=psql label="$charset, PSQL"
    if [ -z "$charset" ] || [ $udr -eq 1 ] || [ -n "$module_dir" ]; then
      echo "usage: $(basename "$0") --psql --charset NONE|UTF8 [--tcp] [--sql-dir DIR] [--keep] ..." >&2
      exit 2
    fi
    failures=0
    return 0
  fi
  if [ -z "$module_dir" ] || [ -z "$charset" ] || [ ! -f "$module_dir/$module_file" ]; then
    echo "usage: $(basename "$0") --module-dir DIR_WITH_$module_file --charset NONE|UTF8 [--udr] [--tcp] [--sql-dir DIR] [--keep] ..." >&2
    exit 2
  fi
  failures=0
}

server_start() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-server.XXXXXX")
  if [ "$keep" -eq 0 ]; then trap 'rm -rf "$work"' EXIT; else echo "kept: $work"; fi
  fbenv_setup "$work/root" "${module_dir:-$work}" "$mode" || exit 1
  # The databases' names: a file, or with --tcp the file through the server.
  at=""
  if [ -n "$user" ]; then
    [ "$tcp" -eq 0 ] || { echo "$(basename "$0"): --user runs in the embedded engine only" >&2; exit 2; }
    label="$label, as $user"
  fi
  if [ "$tcp" -eq 1 ]; then
    [ -n "${ARDUDF_SERVER:-}" ] || { echo "$(basename "$0") --tcp: no ARDUDF_SERVER (run it under tests/tcp/server.sh)" >&2; exit 2; }
    at=$ARDUDF_SERVER: label="$label, TCP"
  fi
}

server_database() {
  db=$at$work/$1.fdb
  fbenv_create_db "$db" "$charset" || { echo "FAIL: cannot create the database"; exit 1; }
  # Which engine answers (the embedded one that isql-fb loads): each result line names it.
  case "$label" in
    *", Firebird "*) ;;
    *) engine=$(fbenv_engine_version "$db") label="$label, Firebird $engine" ;;
  esac
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

server_declare() {
  local out
  out=$(cd "${2:-$sql_dir}" && fbenv_isql "$db" -b -m -i "$1" 2>&1)
  [ -z "$out" ] || { fail "$1 printed:"; echo "$out"; }
}

# Trailing blanks (padding differs between character sets) and runs of blank lines removed.
# And the one place where Firebird 3 and 4 print the same result differently: the rule
# under a column heading. Firebird 4's isql rules a column as wide as it is declared even
# when the statement then fails (8191 '=' for an 8191-byte text in declared_widths),
# Firebird 3's stops at 79; a rule alone on its line is cut to 79.
server_normalise() { sed -E -e 's/[[:space:]]*$//' -e 's/^(={79})=+$/\1/' | cat -s; }

server_finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures failure(s) ($label)"
    exit 1
  fi
  echo "all passed: $(basename "$0" .sh) ($label)"
  exit 0
}

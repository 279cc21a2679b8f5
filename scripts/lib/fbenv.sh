# shellcheck shell=bash
# A library, sourced: a private root for Firebird's embedded engine, so that isql-fb (and
# anything else linked with libfbclient) runs the engine in-process with our own
# firebird.conf: UDFs allowed from one folder, locks and temporary files under the root,
# nothing in /etc touched. And the one way the scripts run isql.
#
#   . scripts/lib/fbenv.sh
#   fbenv_setup ROOT UDF_DIR      # builds ROOT, exports FIREBIRD, FIREBIRD_LOCK, FIREBIRD_TMP
#   fbenv_setup ROOT UDR_DIR udr  # the same with UdfAccess = None and UDR modules from UDR_DIR
#   fbenv_setup ROOT DIR psql     # no module at all: UdfAccess = None and no UDR engine
#   fbenv_create_db FILE CHARSET [DIALECT]  # a new database of that default character set
#                                 # (NONE, UTF8) and SQL dialect (3, or 1)
#   fb_isql [isql args]           # isql-fb, quiet: every script runs isql through this
#   fbenv_isql DB [isql args]     # isql on DB (a file, or HOST/PORT:FILE) with a UTF8 connection
#   fbenv_value DB SELECT...      # the one value of a one-row query, blanks around it trimmed
#   fbenv_engine_version DB       # the version of the engine that serves DB (3.0.11.33637)
#   fbenv_version [ISQL...]       # the version of isql's engine (3.0.11, 4.0.5); ISQL: another isql
#   fbenv_udr_plugins ROOT DIR    # ROOT/plugins.conf: the UDR engine, its modules from DIR
#   fbenv_use NAME                # this shell runs the engine NAME of scripts/engines.txt (below)
#
# bin/fbenv_exports.sh prints the exports of a root for an interactive shell.

# The isql program; long_results.sh measures it as a process of its own.
FB_ISQL=${FB_ISQL:-isql-fb}

# The engine's own folder (plugins, intl, firebird.msg, lib/libib_util.so).
fbenv_engine_dir() {
  if [ -n "${FB_ENGINE_DIR:-}" ]; then echo "$FB_ENGINE_DIR"; return 0; fi
  local d
  for d in /usr/lib/*/firebird/[345].0 /opt/firebird; do
    if compgen -G "$d/plugins/libEngine*.so" >/dev/null; then echo "$d"; return 0; fi
  done
  echo "fbenv: no Firebird engine found (scripts/bootstrap.sh firebird installs it)" >&2
  return 1
}

# From here on this shell runs the engine NAME of scripts/engines.txt (scripts/engine.sh NAME
# env): FB_ENGINE_DIR, FB_ISQL and FB_SERVER name its own, its bin/ comes first in PATH, and
# the next fbenv_setup builds a root for it. One command under Firebird 5 in a script that
# otherwise runs the system's Firebird 3: a subshell with a root of its own, which leaves the
# caller's engine and root as they were:
#   ( fbenv_use fb5 && fbenv_setup "$work/root5" "$module_dir" udr &&
#     gbak -c "$work/old.fbk" "$work/new.fdb" ) || fail "restore in Firebird 5"
fbenv_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

fbenv_use() {
  local env
  env=$("$fbenv_source_dir/scripts/engine.sh" "$1" env) && eval "$env"
}

fbenv_setup() {
  local root=$1 udf_dir mode=${3:-udf}
  udf_dir=$(cd "$2" && pwd) || return 1
  # An engine whose configuration is written by a function of its own (the column config
  # of scripts/engines.txt): scripts/engine.sh NAME env names it, or FB_ISQL is the isql of
  # its row (FB_ISQL=tests/fb25/isql25.sh alone runs Firebird 2.5).
  if [ -z "${FB_SETUP:-}" ] && [[ $FB_ISQL == "$fbenv_source_dir"/tests/* ]]; then
    local name
    name=$(awk -v isql="${FB_ISQL#"$fbenv_source_dir"/}" '!/^#/ && $5 == isql { print $1 }' \
      "$fbenv_source_dir/scripts/engines.txt")
    [ -z "$name" ] || fbenv_use "$name" || return 1
  fi
  if [ -n "${FB_SETUP:-}" ]; then
    # shellcheck source=/dev/null
    . "$FB_SETUP_LIB" && "$FB_SETUP" "$root" "$udf_dir" "$mode" || return 1
    export ISC_USER=SYSDBA
    return 0
  fi
  local engine
  engine=$(fbenv_engine_dir) || return 1
  mkdir -p "$root"
  root=$(cd "$root" && pwd)
  mkdir -p "$root/lock" "$root/tmp" "$root/intl"
  ln -sfn "$engine/plugins" "$root/plugins"
  ln -sfn "$engine/lib" "$root/lib"
  ln -sfn "$engine/firebird.msg" "$root/firebird.msg"
  # The engine identifies the charset module by its resolved path and will not use one
  # reached through a symbolic link ("CHARACTER SET ... is not installed"): copy it.
  cp -u "$engine/intl/libfbintl.so" "$root/intl/"
  # A relocatable engine (Firebird 5 built with binreloc) looks for the character sets and
  # time zones under FIREBIRD, not in a compiled-in folder: it needs the list of character
  # sets there (its module is named relative to the list: the copy above), and the time
  # zone data the engine came with.
  [ ! -f "$engine/intl/fbintl.conf" ] || cp -u "$engine/intl/fbintl.conf" "$root/intl/"
  [ ! -d "$engine/tzdata" ] || ln -sfn "$engine/tzdata" "$root/tzdata"
  # SuperClassic: several processes may attach to one database file at once (Super, the
  # embedded default, gives the file to the first process).
  local udf_access="Restrict $udf_dir"
  if [ "$mode" = udr ]; then
    # As Firebird 4 and 5 ship, and as many servers run: no legacy UDF at all.
    udf_access=None
    fbenv_udr_plugins "$root" "$udf_dir"
  elif [ "$mode" = psql ]; then
    # A server that loads no module: the PSQL declarations (sql/ardudf_psql.sql) alone.
    udf_access=None
    echo "# Written by scripts/lib/fbenv.sh: no UDR engine." > "$root/plugins.conf"
  else
    rm -f "$root/plugins.conf"
  fi
  cat > "$root/firebird.conf" <<EOF
# Written by scripts/lib/fbenv.sh for the embedded engine; regenerated on every run.
UdfAccess = $udf_access
ServerMode = SuperClassic
EOF
  fbenv_point_conf "$engine" "$root" || return 1
  export FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp
  # Embedded attachments are not authenticated; this only names the owner of new objects.
  export ISC_USER=SYSDBA
}

# Firebird 3 reads firebird.conf and plugins.conf from the folder FIREBIRD names. Debian's
# Firebird 4 reads them from its compiled-in folder (the engine folder's links into
# /etc/firebird/4.0) whatever FIREBIRD says. That folder is ours only inside
# scripts/engine.sh fb4 run, which gives each run a private copy and names it in
# ARDUDF_FB_CONF_DIR: there its two files become links to the ones in ROOT, so that what
# is written into ROOT, now or later, is what the engine reads. Anywhere else a Firebird 4
# engine is refused rather than configured in the system's /etc.
fbenv_point_conf() {
  local engine=$1 root=$2 major
  # A relocatable tree (it carries its own bin/) reads the files in ROOT.
  [ ! -x "$engine/bin/isql" ] || return 0
  major=$(basename "$engine" | sed -n 's/^\([0-9]\+\)\.[0-9]\+$/\1/p')
  [ -n "$major" ] && [ "$major" -ge 4 ] || return 0
  local conf=${ARDUDF_FB_CONF_DIR:-}
  if [ -z "$conf" ] || [ ! -w "$conf" ]; then
    echo "fbenv: Firebird $major in $engine reads its configuration from /etc; run this inside scripts/engine.sh fb4 run" >&2
    return 1
  fi
  # Debian's own plugins.conf stays what the legacy mode runs with.
  [ -L "$conf/plugins.conf" ] || mv "$conf/plugins.conf" "$conf/plugins.conf.debian"
  [ -f "$root/plugins.conf" ] || cp "$conf/plugins.conf.debian" "$root/plugins.conf"
  ln -sfn "$root/firebird.conf" "$conf/firebird.conf"
  ln -sfn "$root/plugins.conf" "$conf/plugins.conf"
}

# The UDR engine finds EXTERNAL NAME 'm!f' as DIR/m, then DIR/libm.so.
fbenv_udr_plugins() {
  local root=$1 dir=$2
  cat > "$root/plugins.conf" <<EOF
# Written by scripts/lib/fbenv.sh: the UDR engine, with its modules from $dir.
Plugin = UDR {
  Module = \$(dir_plugins)/udr_engine
  Config = UDR_config
}
Config = UDR_config {
  path = $dir
}
EOF
}

fb_isql() {
  "$FB_ISQL" -q "$@"
}

fbenv_isql() {
  local db=$1
  shift
  fb_isql -ch UTF8 "$@" "$db"
}

# Errors come out in the place of the value, so that a comparison with it shows them.
fbenv_value() {
  local db=$1
  shift
  echo "SET HEADING OFF; $*" | fbenv_isql "$db" 2>&1 | sed -e '/^[[:space:]]*$/d' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//'
}

fbenv_engine_version() {
  fbenv_value "$1" "SELECT RDB\$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB\$DATABASE;"
}

fbenv_version() {
  [ $# -gt 0 ] || set -- "$FB_ISQL"
  "$@" -q -z </dev/null 2>&1 | sed -n 's/.*-V\([0-9.]*\).*/\1/p' | head -1
}

fbenv_create_db() {
  local file=$1 charset=${2:-UTF8} dialect=${3:-3}
  rm -f "$file"
  echo "SET SQL DIALECT $dialect; CREATE DATABASE '$file' PAGE_SIZE 8192 DEFAULT CHARACTER SET $charset;" | fb_isql -b
}

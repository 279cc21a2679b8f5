#!/usr/bin/env bash
# Any engine of scripts/engines.txt: where it comes from, getting it, and running a command
# with it as the engine that scripts/lib/fbenv.sh (fbenv_setup, fb_isql) and a plain gbak use.
#
#   scripts/engine.sh list                   the engines' names, one a line
#   scripts/engine.sh NAME field COLUMN      one column of its row (engines.txt names them)
#   scripts/engine.sh NAME source            where it comes from; with nothing to get it from,
#                                            "SKIPPED: " and why, exit 77 (ctest: skipped)
#   scripts/engine.sh NAME provide           gets it unless it is there (builds the root,
#                                            unpacks the tree or kit), checks that it runs,
#                                            says "Firebird N WHAT: VERSION in FOLDER" on
#                                            stderr and prints the folder
#   scripts/engine.sh NAME path              its folder, got or not
#   scripts/engine.sh NAME version           the version it reports
#   scripts/engine.sh NAME env               the shell lines that make a shell run it (what
#                                            fbenv_use NAME evaluates); not for an engine
#                                            that lives in a root of its own
#   scripts/engine.sh NAME run [--bind DIR]... [--overlay] [--] COMMAND [ARG...]
#                                            runs COMMAND with it; --bind and --overlay are
#                                            the root's (scripts/debian_root.sh run)
#
# Each way of getting an engine (the column method) is one function set below: NAME_source,
# NAME_provide, NAME_path, NAME_env or NAME_run. Caches live in $ARDUDF_CACHE (default
# ~/.cache/ardudf); the kits and trees come from $ARDUDF_FIREBIRD_KITS (default
# ../shared/firebird beside the source tree). An engine's folder is only ever read.
set -uo pipefail
script=$(readlink -f "$0")
source_dir=$(cd "$(dirname "$script")/.." && pwd)
table=$source_dir/scripts/engines.txt
kits=${ARDUDF_FIREBIRD_KITS:-$(cd "$source_dir/.." && pwd)/shared/firebird}
cache=${ARDUDF_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ardudf}
columns=(name version method source isql backup client server faces charsets dialects config build suites)

die() { echo "engine.sh: $*" >&2; exit 1; }

# The row of NAME into the variables of the columns.
read_row() {
  local line
  line=$(awk -v n="$1" '!/^#/ && $1 == n' "$table")
  [ -n "$line" ] || die "no engine '$1' in $table (scripts/engine.sh list)"
  # shellcheck disable=SC2034 # each column is there for `field`
  read -r name version method source isql backup client server faces charsets dialects config build suites <<<"$line"
}

# An absolute path of a tool column: relative to the engine's folder, or to the source tree.
tool() {
  case "$1" in
    /*) echo "$1" ;;
    tests/*) echo "$source_dir/$1" ;;
    *) echo "$2/$1" ;;
  esac
}

# The engine's version as its isql reports it, checked against the row's major version.
checked_version() {
  local v
  v=$(. "$source_dir/scripts/lib/fbenv.sh" && fbenv_version "$@")
  case "$v" in
    "${version%.*}".*) echo "$v" ;;
    *) echo "engine.sh: $name: $* is not Firebird ${version%.*}'s (it says '$v')" >&2; return 1 ;;
  esac
}

# The newest file of the row's pattern in the kits' folder, or why there is none.
kit_file() {
  local f
  f=$(compgen -G "$kits/$source" | sort -V | tail -1)
  if [ -z "$f" ]; then
    echo "no Firebird $version: $kits has no $source" >&2
    return 1
  fi
  echo "$f"
}

# ---- debian-package: the system's own engine (scripts/bootstrap.sh firebird) --------------
debian_package_source() {
  dpkg-query -W -f='${Status}' "$source" 2>/dev/null | grep -q ' installed$' ||
    { echo "no Firebird $version: the package $source is not installed (scripts/bootstrap.sh firebird)" >&2; return 1; }
  echo "$source (Debian package)"
}
debian_package_path() { echo /; }
debian_package_provide() { debian_package_source >/dev/null && echo /; }
debian_package_env() { echo "export FB_ISQL=$isql"; }

# ---- debian13-root: Debian 13's packages in a root of their own ---------------------------
root_script=$source_dir/scripts/debian_root.sh
debian13_root_source() { echo "Debian 13's $source in $("$root_script" path)"; }
debian13_root_path() { "$root_script" path; }
debian13_root_provide() { "$root_script" build; }
debian13_root_env() { die "$name lives in a root of its own: scripts/engine.sh $name run -- COMMAND"; }
debian13_root_run() { exec "$root_script" run "$@"; }

# ---- tarball: a relocatable tree, given (ARDUDF_<NAME>_ROOT) or unpacked once -------------
tree_variable() { echo "ARDUDF_${name^^}_ROOT"; }
tarball_source() {
  local var
  var=$(tree_variable)
  if [ -n "${!var:-}" ]; then echo "${!var}"; return 0; fi
  kit_file 2>/dev/null || { echo "no Firebird $version tree: $var is not set and $kits has no $source" >&2; return 1; }
}
tarball_path() {
  local var
  var=$(tree_variable)
  if [ -n "${!var:-}" ]; then echo "${!var}"; return 0; fi
  echo "$cache/$(basename "$(tarball_source)" .tar.xz)"
}
# Unpacked beside its place and moved there, under a lock: parallel tests wait for the
# first one. The stamp names the tarball and its size: a new one is unpacked anew.
unpack() {
  local from=$1 to=$2 stamp
  stamp="$(basename "$from" .tar.xz) $(stat -c %s "$from")" || return 2
  mkdir -p "$(dirname "$to")" || return 2
  (
    flock 9
    [ "$(cat "$to/.ardudf-unpacked" 2>/dev/null)" = "$stamp" ] && exit 0
    rm -rf "$to" "$to.tmp" && mkdir "$to.tmp" &&
      tar -xJf "$from" -C "$to.tmp" --strip-components="$3" &&
      echo "$stamp" >"$to.tmp/.ardudf-unpacked" && mv "$to.tmp" "$to" ||
      { echo "engine.sh: cannot unpack $from into $to" >&2; exit 2; }
  ) 9>>"$to.lock"
}
tarball_provide() {
  local from tree var
  from=$(tarball_source) || return 1
  tree=$(tarball_path)
  var=$(tree_variable)
  if [ -n "${!var:-}" ]; then
    tree=$(cd "$tree" 2>/dev/null && pwd) || { echo "engine.sh: $var=$from is not a folder" >&2; return 2; }
  else
    unpack "$from" "$tree" 1 || return 2
  fi
  [ -x "$tree/$isql" ] || { echo "engine.sh: $from holds no Firebird tree ($isql)" >&2; return 2; }
  # A library it needs and the system lacks shows here, not as a failing test.
  local missing
  missing=$(ldd "$tree/$isql" "$tree/$server" "$tree"/plugins/libEngine*.so 2>/dev/null |
    sed -n 's/^[[:space:]]*\([^ ]*\) => not found.*/\1/p' | sort -u | tr '\n' ' ')
  if [ -n "$missing" ]; then
    echo "engine.sh: the Firebird tree in $tree lacks ${missing}(scripts/bootstrap.sh firebird)" >&2
    return 2
  fi
  echo "$tree"
}
tarball_env() {
  local tree
  tree=$(tarball_provide) || return
  echo "export FB_ENGINE_DIR='$tree' FB_ISQL='$tree/$isql' FB_SERVER='$tree/$server'"
  # gbak, gfix and fbsvcmgr of the tree first.
  case ":$PATH:" in
    *":$tree/bin:"*) ;;
    *) echo "export PATH='$tree/bin':\"\$PATH\"" ;;
  esac
}

# ---- wine-kit: a Windows kit run under Wine by a client of ours ---------------------------
# What is particular to the kit is in tests/NAME/NAMEenv.sh: NAME_kit unpacks it once and
# prints its folder (or the folder ARDUDF_<NAME>_KIT names), NAME_setup writes the
# configuration of a run; the isql column is the client's wrapper, which starts Wine itself.
kit_lib() { echo "$source_dir/tests/$name/${name}env.sh"; }
wine_kit_source() {
  local var="ARDUDF_${name^^}_KIT"
  if [ -n "${!var:-}" ]; then echo "${!var}"; return 0; fi
  kit_file 2>/dev/null || { echo "no Firebird $version kit: $var is not set and $kits has no $source" >&2; return 1; }
}
wine_kit_provide() {
  wine_kit_source >/dev/null || return 1
  local lib dir
  lib=$(kit_lib)
  [ -f "$lib" ] || { echo "engine.sh: $lib is missing" >&2; return 2; }
  # shellcheck source=/dev/null
  dir=$(. "$lib" && "${name}_kit") || return 2
  [ -f "$dir/$client" ] || { echo "engine.sh: the kit in $dir has no $client" >&2; return 2; }
  echo "$dir"
}
wine_kit_path() { wine_kit_provide; }
wine_kit_env() {
  local dir
  dir=$(wine_kit_provide) || return
  echo "export ARDUDF_${name^^}_KIT='$dir' FB_ISQL='$(tool "$isql" "$dir")' FB_SETUP='$config' FB_SETUP_LIB='$(kit_lib)'"
}

# ---- the commands ---------------------------------------------------------------------
cmd_run() {
  local root_args=()
  while [ $# -gt 0 ]; do
    case "$1" in
      --bind) root_args+=("$1" "$2"); shift 2 ;;
      --overlay) root_args+=("$1"); shift ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || die "$name run: no command"
  if declare -F "$fn"_run >/dev/null; then
    "$fn"_run "${root_args[@]}" -- "$@"
  fi
  local env
  env=$("$fn"_env) || exit 1
  eval "$env"
  exec "$@"
}

# 5 for 5.0.4, 2.5 for 2.5.5: how the engines are named in the summaries.
major() {
  local v=${version%.*}
  [ "${v#*.}" = 0 ] && v=${v%.*}
  echo "$v"
}

what() {
  case "$method" in
    debian13-root) echo root ;;
    tarball) echo tree ;;
    wine-kit) echo kit ;;
    *) echo package ;;
  esac
}

[ "${1:-}" = list ] && { awk '!/^#/ && NF { print $1 }' "$table"; exit 0; }
[ $# -ge 2 ] || { sed -n '2,/^set -uo/p' "$script" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2; }
read_row "$1"
cmd=$2
shift 2
fn=${method//-/_}
declare -F "$fn"_source >/dev/null || die "$name: no way to get an engine by '$method' (see the functions METHOD_source and others in engine.sh)"
case "$cmd" in
  field)
    for i in "${!columns[@]}"; do
      [ "${columns[$i]}" = "${1:-}" ] && { echo "${!columns[$i]}"; exit 0; }
    done
    die "no column '${1:-}' (${columns[*]})" ;;
  source)
    if ! "$fn"_source 2>/dev/null; then
      echo "SKIPPED: $("$fn"_source 2>&1 >/dev/null)"
      exit 77
    fi ;;
  path) "$fn"_path ;;
  provide)
    dir=$("$fn"_provide) || exit 1
    if [ "$method" = wine-kit ]; then
      v=$version # no isql of its own to ask: the client of the tests is built elsewhere
    elif [ "$method" = debian13-root ]; then
      v=$("$root_script" version)
    else
      v=$(checked_version "$(tool "$isql" "$dir")") || exit 1
    fi
    echo "Firebird $(major) $(what): $v in $dir (from $("$fn"_source))" >&2
    echo "$dir" ;;
  version)
    case "$method" in
      debian13-root) "$root_script" version ;;
      wine-kit) echo "$version" ;;
      *) dir=$("$fn"_provide) && checked_version "$(tool "$isql" "$dir")" ;;
    esac ;;
  env) "$fn"_env ;;
  run) cmd_run "$@" ;;
  *) die "unknown command '$cmd' (list, field, source, provide, path, version, env, run)" ;;
esac

#!/usr/bin/env bash
# Firebird 5 for the tests: a relocatable Firebird 5 tree, the one ARDUDF_FB5_ROOT names or
# the tarball in ../shared/firebird beside the source tree, unpacked once into the cache
# (scripts/lib/fbenv.sh says where it is looked for), and a way to run a command with it.
#
#   scripts/fb5tree.sh source               prints where the tree comes from; with none, why
#                                           not, and exit 77 (ctest: skipped)
#   scripts/fb5tree.sh path                 unpacks the tree unless it is there, checks that it
#                                           runs, and prints its folder
#   scripts/fb5tree.sh run [--] COMMAND [ARG...]
#                                           runs COMMAND with Firebird 5 as the engine:
#                                           FB_ENGINE_DIR, FB_ISQL, FB_SERVER and PATH name the
#                                           tree's, so that scripts/lib/fbenv.sh (fbenv_setup, fb_isql)
#                                           and a plain gbak or fbsvcmgr use it
#
# The engine runs embedded in the private root that the command's fbenv_setup builds; the
# tree itself is never written.
set -uo pipefail
# shellcheck source=lib/fbenv.sh
. "$(dirname "$(readlink -f "$0")")/lib/fbenv.sh"

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  source)
    if ! fbenv_fb5_source 2>/dev/null; then
      echo "SKIPPED: $(fbenv_fb5_source 2>&1)"
      exit 77
    fi ;;
  path)
    tree=$(fbenv_fb5_tree) || exit 1
    version=$(fbenv_version "$tree/bin/isql")
    case "$version" in
      5.*) ;;
      *) echo "fb5tree: the isql of $tree is not Firebird 5's (it says '$version')" >&2; exit 1 ;;
    esac
    echo "Firebird 5 tree: $version in $tree (from $(fbenv_fb5_source))" >&2
    echo "$tree" ;;
  run)
    [ "${1:-}" = -- ] && shift
    [ $# -gt 0 ] || { echo "fb5tree: run: no command" >&2; exit 2; }
    fbenv_use_fb5 || exit 1
    exec "$@" ;;
  *) sed -n '2,/^set -uo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac

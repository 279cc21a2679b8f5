#!/usr/bin/env bash
# Inside a throw-away layer over a clean Debian root (scripts/debian_root.sh run --overlay): the
# package installed as a user installs it, the server tests of both modules run against the
# installed modules and scripts, then the package is purged and nothing of it may be left.
#   deb_install.sh PACKAGE.deb
set -euo pipefail
deb=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
export DEBIAN_FRONTEND=noninteractive
# Everything on the root's own file system (the bound source tree, /tmp, /proc, /dev are not),
# but apt's and dpkg's own records.
files() { find / -xdev -not -path '/var/lib/dpkg/*' -not -path '/var/lib/apt/*' -not -path '/var/cache/*' \
  -not -path '/var/log/*' -not -path '/root' -not -path '/root/*' | LC_ALL=C sort; }
lists=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-deb.XXXXXX")
trap 'rm -rf "$lists"' EXIT
files >"$lists/before"
echo "== apt-get install $(basename "$deb") ($(. /etc/os-release && echo "$PRETTY_NAME"))"
apt-get install -y -qq --no-install-recommends "$deb"

# shellcheck source=../../scripts/lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"
engine=$(fbenv_engine_dir)
echo "engine folder: $engine"
status=0
for part in run examples snippets; do
  "$source_dir/tests/server/$part.sh" --module-dir "$engine/UDF" --sql-dir /usr/share/ardudf/sql --charset UTF8 |
    grep -v '^ok: [a-z_0-9]* (' || status=1
  "$source_dir/tests/server/$part.sh" --udr --module-dir "$engine/plugins/udr" --sql-dir /usr/share/ardudf/sql --charset UTF8 |
    grep -v '^ok: [a-z_0-9]* (' || status=1
  "$source_dir/tests/server/$part.sh" --psql --sql-dir /usr/share/ardudf/sql --charset UTF8 |
    grep -v '^ok: [a-z_0-9]* (' || status=1
done

echo "== apt-get purge ardudf"
apt-get purge -y -qq ardudf
files >"$lists/after"
left=$(LC_ALL=C comm -13 "$lists/before" "$lists/after")
if [ -n "$left" ]; then
  echo "FAIL: left after apt-get purge:"
  echo "$left"
  status=1
else
  echo "ok: apt-get purge left no file"
fi
exit $status

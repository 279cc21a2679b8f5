#!/usr/bin/env bash
# A Windows archive unpacked into an empty folder holds exactly the expected files (the list,
# @NAME@ standing for <version>-<arch>), the DLL's version resource names the release, and
# the notes name the UdfAccess line.
#   zip_files.sh ZIP EXPECTED_LIST NAME
set -euo pipefail
zip=$1 list=$2 name=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-zip.XXXXXX")
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
diff -u <(sed "s/@NAME@/$name/" "$list") <(cd "$work" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort)
top=$work/ardudf-$name
version=${name%-win*}
# VERSIONINFO strings are UTF-16.
strings -el "$top/ardudf.dll" | grep -qx "$version" || { echo "ardudf.dll has no version resource $version"; exit 1; }
grep -q '^  UdfAccess = Restrict UDF' "$top/README-windows.txt" || { echo "README-windows.txt lacks the UdfAccess line"; exit 1; }
grep -q "(ardudf $version)" "$top/sql/ardudf.sql" || { echo "sql/ardudf.sql is not the $version script"; exit 1; }
echo "ok: $(basename "$zip"): $(find "$top" -type f | wc -l) files as listed, version resource $version"

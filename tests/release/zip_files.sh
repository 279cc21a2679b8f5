#!/usr/bin/env bash
# A Windows archive unpacked into an empty folder holds exactly the expected files (the list,
# @NAME@ standing for <version>-<arch>), both DLLs' version resources name the release, and
# the notes name the UdfAccess line and the UDR module's folder.
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
for dll in ardudf.dll ardudf_udr.dll; do
  strings -el "$top/$dll" | grep -qx "$version" || { echo "$dll has no version resource $version"; exit 1; }
done
grep -q '^  UdfAccess = Restrict UDF' "$top/README-windows.txt" || { echo "README-windows.txt lacks the UdfAccess line"; exit 1; }
for script in ardudf.sql ardudf_udr.sql; do
  grep -q "ardudf $version" "$top/sql/$script" || { echo "sql/$script is not the $version script"; exit 1; }
done
grep -q 'plugins\\udr' "$top/README-windows.txt" || { echo "README-windows.txt does not say where ardudf_udr.dll goes"; exit 1; }
echo "ok: $(basename "$zip"): $(find "$top" -type f | wc -l) files as listed, version resource $version"

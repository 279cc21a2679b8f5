#!/usr/bin/env bash
# The export tests of the Windows build (the mingw preset of the archive's architecture, built
# here if need be) against ardudf.dll unpacked from the release archive, and the UDR test host
# against its ardudf_udr.dll, under Wine. The 32-bit loader runs emulated where the kernel
# refuses it, as in scripts/test.sh (ARDUDF_I686); skipped (77) where neither can run.
#   zip_wine.sh ZIP win32|win64
set -euo pipefail
zip=$1 arch=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$arch" = win32 ] && [ -z "${ARDUDF_EMULATED:-}" ] && [ "${ARDUDF_I686:-}" != native ]; then
  if [ "${ARDUDF_I686:-}" = emulated ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if "$source_dir/scripts/emulate_i386.sh" --check >/dev/null; then
      ARDUDF_EMULATED=1 exec "$source_dir/scripts/emulate_i386.sh" "$0" "$@"
    fi
  fi
fi
case $arch in
  win32) preset=mingw-i686 loader=/usr/lib/wine/wine ;;
  win64) preset=mingw-x64 loader=/usr/lib/wine/wine64 ;;
  *) echo "zip_wine.sh: win32 or win64" >&2; exit 2 ;;
esac
export WINELOADER=$loader WINEARCH=$arch WINEPREFIX=$source_dir/build/wine-$preset WINEDEBUG=-all \
  WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY=
# shellcheck source=../windows/wine_probe.sh
. "$source_dir/tests/windows/wine_probe.sh"
wine_probe

work=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-zipwine.XXXXXX")
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
dll=$(find "$work" -name ardudf.dll)
udr_dll=$(find "$work" -name ardudf_udr.dll)
(cd "$source_dir" && cmake --preset "$preset" >/dev/null && cmake --build "build/$preset" -j2 --target export_tests udr_host) >"$work/build.log" 2>&1 ||
  { cat "$work/build.log"; exit 1; }
"$source_dir/tests/windows/wine_prefix.sh"
tests=$(find "$source_dir/build/$preset" -name export_tests.exe | head -1)
export ARDUDF_MODULE_PATH=$dll
# The frame's tests count the loads of ib_util.dll: a process of their own, as in ctest.
"$source_dir/tests/windows/run_wine.sh" "$tests" --gtest_filter=FrameTest.* --gtest_brief=1
"$source_dir/tests/windows/run_wine.sh" "$tests" --gtest_filter=-FrameTest.* --gtest_brief=1
echo "ok: export tests against $(basename "$zip")'s ardudf.dll under $loader"
host=$(find "$source_dir/build/$preset" -name udr_host.exe | head -1)
top=$(dirname "$udr_dll")
"$source_dir/tests/windows/run_wine.sh" "$host" "$udr_dll" "$top/sql/ardudf_udr.sql" check \
  --calls "$source_dir/tests/udr/calls.txt" --docs "$source_dir/docs/functions.md" \
  --select "$source_dir/tests/server/sql/nulls_each_argument.sql" "$source_dir/tests/server/expected/udr/nulls_each_argument.out"
echo "ok: the UDR host against $(basename "$zip")'s ardudf_udr.dll and sql/ardudf_udr.sql under $loader${ARDUDF_EMULATED:+ (emulated)}"

#!/usr/bin/env bash
# Builds the release into dist/ and tests it as users install it:
#   dist/ardudf_<version>-1_amd64.deb   Debian 12 (Firebird 3.0) and Debian 13 (Firebird 4.0)
#   dist/ardudf-<version>-win32.zip      32-bit Firebird on Windows (legacy and UDR DLLs)
#   dist/ardudf-<version>-win64.zip      64-bit Firebird on Windows (legacy and UDR DLLs)
#   dist/SHA256SUMS
#
#   scripts/release.sh              builds, then runs the install tests (ctest --preset release)
#   scripts/release.sh --no-tests   builds only (the release preset's first test does this)
#
# Release builds without the tests, in build/release-*, from the source tree as it is; the
# package is a staged `cmake --install` made into a .deb by dpkg-deb, checked by lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=1
[ "${1:-}" = --no-tests ] && tests=0
scripts/bootstrap.sh build firebird fb4 windows release

version=$(sed -n 's/^project(ardudf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb_version=$version-1
arch=$(dpkg --print-architecture)
t0=$SECONDS
rm -rf dist build/release-linux build/release-win32 build/release-win64
mkdir -p dist

# ---- Debian package -----------------------------------------------------------------------
# The modules go into the folders of both Firebird versions Debian carries: each engine finds
# them where it looks by itself, whichever release the package is installed on.
b=build/release-linux
cmake -S . -B $b -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  "-DARDUDF_FIREBIRD_VERSION=3.0;4.0" >/dev/null
cmake --build $b -j2
stage=$b/stage
DESTDIR=$stage cmake --install $b --strip >/dev/null
[ -n "$(find $stage -name libardudf_udr.so)" ] || { echo "release: the UDR module was not built" >&2; exit 1; }
doc=$stage/usr/share/doc/ardudf
# Debian's names: the licence in copyright, the changes as changelog.gz.
rm "$doc/LICENSE" "$doc/CHANGELOG.md"
install -m 644 packaging/debian/copyright "$doc/copyright"
gzip -9n <CHANGELOG.md >"$doc/changelog.gz"
gzip -9n <packaging/debian/changelog >"$doc/changelog.Debian.gz"
chmod 644 "$doc"/*.gz
find $stage -type d -exec chmod 755 {} +
# The shared libraries the modules need, as dpkg-shlibdeps names them (it reads a control
# file from a debian/ folder of its working one).
mkdir -p $b/shlibdeps/debian
printf 'Source: ardudf\n\nPackage: ardudf\nArchitecture: any\n' >$b/shlibdeps/debian/control
mapfile -t modules < <(cd $b/shlibdeps && find ../stage -name '*.so' | sort)
libs=$(cd $b/shlibdeps && dpkg-shlibdeps -O "${modules[@]}" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
mkdir -p $stage/DEBIAN
cat >$stage/DEBIAN/control <<CONTROL
Package: ardudf
Version: $deb_version
Architecture: $arch
Maintainer: The ardudf developers <ardudf@users.noreply.github.com>
Installed-Size: $(du -sk --exclude=DEBIAN $stage | cut -f1)
Depends: $libs, libib-util
Suggests: firebird3.0-server | firebird4.0-server
Section: database
Priority: optional
Description: external SQL functions for Firebird (UDF and UDR modules)
 Functions for Firebird 3.0 and 4.0: text, value and calendar functions
 and a settlement balance engine that spreads payments and credit notes over
 the rows and the VAT of a document.
 .
 Two modules over the same code: the legacy UDF module ardudf.so (needs
 UdfAccess = Restrict UDF in firebird.conf) and the UDR module
 libardudf_udr.so (needs no setting). Both are installed into the folders of
 Debian's Firebird 3.0 and 4.0; /usr/share/ardudf/sql holds the scripts that
 declare them in a database, and ardudf_psql.sql, the same functions as PSQL
 for a server that loads no module. The package never changes firebird.conf.
CONTROL
(cd $stage && find usr -type f | sort | xargs md5sum) >$stage/DEBIAN/md5sums
deb=dist/ardudf_${deb_version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build $stage $deb >/dev/null
echo "== lintian $deb"
lintian $deb || { echo "release: lintian reports an error" >&2; exit 1; }

# ---- Windows archives ---------------------------------------------------------------------
# Both modules with the runtime inside (the toolchain files link them statically), the
# scripts of both, the docs as HTML, the licence and the installation notes, with Windows
# line ends for the text files.
sql_files=(ardudf.sql ardudf_drop.sql ardudf_udr.sql ardudf_udr_drop.sql
  # the migration of a database from the legacy declarations to the UDR ones
  ardudf_legacy_to_udr.sql ardudf_legacy_to_udr_preview.sql ardudf_udr_check.sql ardudf_udr_indexes.sql
  # the functions as PSQL, for a server that loads no module
  ardudf_psql.sql ardudf_psql_drop.sql
  # the move of a database from the legacy declarations to PSQL
  ardudf_legacy_to_psql.sql)
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
for arch_w in win32:i686 win64:x64; do
  name=${arch_w%%:*} triple=${arch_w#*:}
  bits=${name#win}
  b=build/release-$name
  cmake -S . -B $b -G Ninja --toolchain cmake/mingw-$triple.cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build $b -j2 --target ardudf ardudf_udr
  top=ardudf-$version-$name
  z=$b/zip/$top
  mkdir -p $z/sql $z/docs
  strip_tool=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' $b/CMakeCache.txt)
  "$strip_tool" -o $z/ardudf.dll $b/ardudf.dll
  "$strip_tool" -o $z/ardudf_udr.dll $b/src/udr/ardudf_udr.dll
  for f in "${sql_files[@]}"; do cp "sql/$f" $z/sql/; done
  crlf LICENSE $z/LICENSE.txt
  sed -e "s/@VERSION@/$version/g" -e "s/@BITS@/$bits/g" packaging/windows/README-windows.txt >$b/readme
  crlf $b/readme $z/README-windows.txt
  for md in README.md CHANGELOG.md docs/functions.md docs/balance.md docs/migration.md docs/servers.md \
    docs/troubleshooting.md; do
    out=$(basename "$md" .md)
    [ "$out" = README ] && out=readme
    [ "$out" = CHANGELOG ] && out=changes
    pandoc -s --metadata title="ardudf $version: $out" -f gfm -t html5 "$md" -o $z/docs/$out.html
  done
  (cd $b/zip && rm -f ../$top.zip && TZ=UTC zip -qrX ../$top.zip $top)
  cp $b/$top.zip dist/
done

(cd dist && sha256sum ./*.deb ./*.zip | sed 's, \./,,' >SHA256SUMS)
echo "== dist/ ($((SECONDS - t0)) s)"
(cd dist && ls -l --time-style=+ ./* | awk '{print $5, $NF}' | sed 's,\./,,')
cat dist/SHA256SUMS

if [ $tests -eq 1 ]; then
  echo "== install tests"
  cmake --preset release >/dev/null
  # dist/ is made: the preset's build-the-release fixture is left out.
  ctest --preset release -j2 -E "^release\.dist$" -FS "^dist$"
fi

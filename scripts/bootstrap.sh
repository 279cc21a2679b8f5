#!/usr/bin/env bash
# Installs the Debian packages that ardudf needs, only those that are missing.
#   scripts/bootstrap.sh [build] [firebird] [windows] [fuzz] [release] ...   (no argument: all)
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build firebird windows fuzz release)

packages=()
need_i386=0
for g in "${groups[@]}"; do
  case "$g" in
    build) packages+=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev libicu-dev shellcheck) ;;
    # debootstrap: the Debian 13 root with Firebird 4 (scripts/fb4root.sh). The tests over
    # TCP: Perl's DBD::Firebird drives the load; node and npm the JavaScript client
    # (node-firebird, installed by the tests with npm ci). A node from elsewhere that brings
    # its own npm is kept.
    firebird) packages+=(firebird3.0-server firebird3.0-utils firebird-dev libib-util libboost-dev time debootstrap libdbd-firebird-perl)
      command -v node >/dev/null || packages+=(nodejs)
      command -v npm >/dev/null || packages+=(npm) ;;
    windows) packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64); need_i386=1 ;;
    fuzz) packages+=(clang libclang-rt-14-dev llvm) ;;
    # scripts/release.sh: the package's dependencies and checks, the Windows archives.
    release) packages+=(dpkg-dev lintian zip unzip pandoc) ;;
    *) echo "bootstrap: unknown group $g" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "bootstrap: installing ${missing[*]}"
$sudo apt-get update -qq
# The server package would start a service; nothing here needs one.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null

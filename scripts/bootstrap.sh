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
    build) packages+=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev libicu-dev shellcheck clang-format) ;;
    # debootstrap: the Debian 13 root with Firebird 4 (scripts/fb4root.sh). The tests over
    # TCP: Perl's DBD::Firebird drives the load; node and npm the JavaScript client
    # (node-firebird, installed by the tests with npm ci). A node from elsewhere that brings
    # its own npm is kept.
    firebird) packages+=(firebird3.0-server firebird3.0-utils firebird-dev libib-util libboost-dev time debootstrap libdbd-firebird-perl)
      # The Firebird 5 tree the tests are given (built on Debian 12) loads these at run time.
      packages+=(libtommath1 libtomcrypt1)
      [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ] || packages+=(libicu72)
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

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The 32-bit Windows tests where the kernel runs no 32-bit program: qemu-i386
# (scripts/emulate_i386.sh). Debian 12's qemu 7.2 cannot run Wine; bookworm-backports has
# one that can, so that suite is added to the sources (once) and qemu taken from it. Debian
# 13's own is new enough.
qemu_suite=""
if [ $need_i386 -eq 1 ]; then
  qemu_version=$(dpkg-query -W -f='${Status} ${Version}' qemu-user-static 2>/dev/null |
    sed -n 's/^install ok installed //p' || true)
  if [ -z "$qemu_version" ] || dpkg --compare-versions "$qemu_version" lt 1:8; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ "$codename" = bookworm ]; then
      qemu_suite=bookworm-backports
      list=/etc/apt/sources.list.d/ardudf-bookworm-backports.sources
      if [ ! -f "$list" ]; then
        printf '%s\n' "# Added by ardudf's scripts/bootstrap.sh: qemu-user-static, new enough to run Wine." \
          "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" "Components: main" \
          "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $sudo tee "$list" >/dev/null
      fi
    fi
    missing+=(qemu-user-static)
  fi
fi
[ ${#missing[@]} -eq 0 ] && exit 0
if [ $need_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
echo "bootstrap: installing ${missing[*]}"
$sudo apt-get update -qq
# The server package would start a service; nothing here needs one.
others=()
for p in "${missing[@]}"; do [ "$p" = qemu-user-static ] || others+=("$p"); done
[ ${#others[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${others[@]}" >/dev/null
if [ ${#others[@]} -ne ${#missing[@]} ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq ${qemu_suite:+-t "$qemu_suite"} qemu-user-static >/dev/null
fi

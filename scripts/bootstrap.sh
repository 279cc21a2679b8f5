#!/usr/bin/env bash
# Installs the Debian packages that ardudf needs, only those that are missing.
#   scripts/bootstrap.sh [build] [bench] [firebird] [fb4] [windows] [fuzz] [release] ...   (no argument: all)
# scripts/test.sh asks for the groups of the presets it runs (the dev preset: build firebird).
set -euo pipefail

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(build bench firebird fb4 windows fuzz release)

packages=()
need_i386=0
for g in "${groups[@]}"; do
  case "$g" in
    build) packages+=(cmake ninja-build g++ libgtest-dev libgmock-dev googletest libicu-dev shellcheck clang-format) ;;
    # The in-process benchmarks (presets with ARDUDF_BENCH).
    bench) packages+=(libbenchmark-dev) ;;
    # The tests over TCP: Perl's DBD::Firebird drives the load; node and npm the JavaScript
    # client (node-firebird, installed by the tests with npm ci). A node from elsewhere that
    # brings its own npm is kept.
    firebird) packages+=(firebird3.0-server firebird3.0-utils firebird-dev libib-util libboost-dev time libdbd-firebird-perl)
      # The Firebird 5 tree the tests are given (built on Debian 12) loads these at run time.
      packages+=(libtommath1 libtomcrypt1)
      [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" != bookworm ] || packages+=(libicu72)
      command -v node >/dev/null || packages+=(nodejs)
      command -v npm >/dev/null || packages+=(npm) ;;
    # The Debian 13 root with Firebird 4 (scripts/engine.sh fb4).
    fb4) packages+=(debootstrap) ;;
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

# A Debian mirror caught in the middle of a sync refuses an index for a minute or two
# ("File has unexpected size ... Mirror sync in progress?"): apt is tried again a few times,
# after a pause, before the bootstrap gives up and says what failed.
tries=${ARDUDF_APT_TRIES:-4} pause=${ARDUDF_APT_PAUSE:-30}
apt() {
  local try out
  for ((try = 1; ; try++)); do
    out=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get "$@" 2>&1) && return 0
    echo "bootstrap: apt-get $1 failed (try $try of $tries):" >&2
    grep -E '^(E|W|Err):' <<<"$out" | head -8 | sed 's/^/  /' >&2
    if [ "$try" -ge "$tries" ]; then
      echo "bootstrap: apt-get $* failed $tries times" >&2
      return 1
    fi
    sleep "$pause"
  done
}

# A mirror can also stay inconsistent for days in one index, while the others load. Then
# apt goes on with those (it says "have been ignored, or old ones used instead"). Where that
# index is the security suite's for i386, its libraries are older than the amd64 ones, which
# the i386 ones must equal: both come from the point release then (APT::Default-Release),
# every package still from a signed index.
release=()
if ! apt update -qq; then
  echo "bootstrap: going on with the indexes that did load" >&2
  [ $need_i386 -eq 1 ] && release=(-o "APT::Default-Release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")")
fi
# The server package would start a service; nothing here needs one.
others=()
for p in "${missing[@]}"; do [ "$p" = qemu-user-static ] || others+=("$p"); done
[ ${#others[@]} -eq 0 ] || apt install -y -qq "${release[@]}" "${others[@]}"
if [ ${#others[@]} -ne ${#missing[@]} ]; then
  apt install -y -qq ${qemu_suite:+-t "$qemu_suite"} qemu-user-static
fi

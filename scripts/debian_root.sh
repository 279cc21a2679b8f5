#!/usr/bin/env bash
# A Debian root folder with Debian's Firebird packages, built once by debootstrap and kept
# outside the source tree, and a way to run a command of the project inside it: the
# "debian13-root" way of scripts/engines.txt (Firebird 4.0 from Debian 13: Debian 12 carries
# only Firebird 3.0, and Debian 13's binaries need its newer C library, hence a whole root
# rather than a few packages), and the clean Debian 12 and 13 machines of the package's
# install test. The tests reach the engine through scripts/engine.sh fb4.
#
#   scripts/debian_root.sh [--debian 12] build   builds the root unless it is complete; prints its path
#   scripts/debian_root.sh [--debian 12] path    prints where the root is (built or not)
#   scripts/debian_root.sh [--debian 12] run [--overlay] [--bind DIR]... [--] COMMAND [ARG...]
#                                       runs COMMAND inside the root, as the calling user;
#                                       --overlay: as root, over a throw-away layer of the
#                                       root (an install test), which vanishes at the end
#   scripts/debian_root.sh [--debian 12] version  prints the Firebird version of the root
#
# Without --debian: Debian 13 (trixie) with Firebird 4.0; --debian 12: Debian 12 (bookworm)
# with Debian's Firebird 3.0, the clean machine the package's install test starts from.
#
# The root lives in $ARDUDF_CACHE (default ~/.cache/ardudf)/debian13-fb4 (debian12-fb3). It is complete
# when its stamp file names the current recipe; a root without that stamp (an interrupted
# build, an older recipe) is removed and built again. A lock file beside the root: a build
# holds it alone, each run shares it, so a root is never rebuilt under a running command.
# Packages come from the Debian mirror that the host's apt uses (ARDUDF_DEBIAN_MIRROR
# overrides it). Needs root (or sudo) and debootstrap (scripts/bootstrap.sh fb4).
#
# `run` works in a private mount namespace (unshare --mount): /proc, /dev, /tmp, the source
# tree and each --bind folder appear inside the root at their own paths, so absolute paths
# mean the same inside and out, and every mount vanishes with the process, however it ends.
# The engine's configuration folder (/etc/firebird/4.0, which Debian's Firebird 4 reads
# whatever FIREBIRD says) is a private copy in each run, for scripts/lib/fbenv.sh to write.
set -euo pipefail

debian=13
if [ "${1:-}" = --debian ]; then debian=$2; shift 2; fi
case "$debian" in
  13) suite=trixie fb=4.0 packages=(firebird4.0-server-core firebird4.0-utils firebird-dev libib-util) ;;
  12) suite=bookworm fb=3.0 packages=(firebird3.0-server-core firebird3.0-utils libib-util) ;;
  *) echo "debian_root: --debian 12 or 13" >&2; exit 2 ;;
esac
# What the stamp says: a change of suite or packages rebuilds the root.
recipe="debootstrap --variant=minbase $suite; ${packages[*]}"

script=$(readlink -f "$0")
source_dir=$(cd "$(dirname "$script")/.." && pwd)

cache=${ARDUDF_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ardudf}
root=$cache/debian$debian-fb${fb%%.*}
stamp=$root/.ardudf-root-complete
lock=$root.lock

die() { echo "debian_root: $*" >&2; exit 1; }

# Everything below mounts, chroots or installs: become root, keeping the caller's cache and
# identity (the command of `run` goes back to the caller's user).
as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || die "needs root or sudo"
    exec sudo env ARDUDF_CACHE="$cache" ARDUDF_CALLER="$(id -u):$(id -g)" \
      ${ARDUDF_DEBIAN_MIRROR:+ARDUDF_DEBIAN_MIRROR="$ARDUDF_DEBIAN_MIRROR"} "$script" --debian "$debian" "$@"
  fi
}

# The Debian mirror of the host: the first URI of an apt source for the host's own release
# (deb822 .sources files, then one-line .list files).
host_mirror() {
  if [ -n "${ARDUDF_DEBIAN_MIRROR:-}" ]; then echo "$ARDUDF_DEBIAN_MIRROR"; return 0; fi
  local codename uri
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || return 1
  uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v want="$codename" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " want " ") && uris != "" && !found) {
        split(uris, u, " "); print u[1]; found = 1
      }
      types = suites = uris = ""
    }
    /^[[:space:]]*$/ { flush(); next }
    /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
    /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
    /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
    END { flush() }')
  if [ -z "$uri" ]; then
    uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -n "s/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+${codename}[[:space:]].*/\2/p" | head -1)
  fi
  [ -n "$uri" ] || return 1
  echo "$uri"
}

complete() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; }

# shellcheck source=lib/fbenv.sh
. "$source_dir/scripts/lib/fbenv.sh"

# The Firebird version of the root's isql (runs as root, outside any engine environment).
root_version() { fbenv_version chroot "$root" /usr/bin/isql-fb; }

build() {
  mkdir -p "$cache"
  exec 9>>"$lock"
  flock -s 9
  if complete; then echo "$root"; return 0; fi
  flock -u 9
  if ! flock -n 9; then
    echo "debian_root: waiting for the root to be free: $root" >&2
    flock 9
  fi
  if complete; then echo "$root"; return 0; fi
  command -v debootstrap >/dev/null || die "debootstrap is missing (scripts/bootstrap.sh fb4 installs it)"
  local mirror
  mirror=$(host_mirror) || die "no Debian mirror found in /etc/apt/sources.list(.d); set ARDUDF_DEBIAN_MIRROR"
  local t0=$SECONDS
  if [ -e "$root" ]; then
    echo "debian_root: removing the incomplete or outdated root $root" >&2
    rm -rf --one-file-system "$root"
  fi
  echo "debian_root: building $root (Debian $suite from $mirror, then ${packages[*]})" >&2
  # The build's own mounts (debootstrap mounts /proc in the target) stay in this namespace.
  unshare --mount --propagation private bash -euo pipefail -c '
    root=$1 suite=$2 mirror=$3; shift 3
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.log" 2>&1 ||
      { tail -20 "$root.log" >&2; echo "debian_root: debootstrap failed (log: $root.log)" >&2; exit 1; }
    # No service may start in here: the server package would try to, and has no init.
    printf "#!/bin/sh\nexit 101\n" >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    export DEBIAN_FRONTEND=noninteractive LC_ALL=C
    chroot "$root" apt-get update -qq
    # A post-install script that wants a running system may fail; the files are unpacked
    # all the same, and --fix-broken completes what dependencies are left.
    chroot "$root" apt-get install -y -qq --no-install-recommends "$@" >>"$root.log" 2>&1 ||
      echo "debian_root: apt-get install reported errors; completing with --fix-broken" >&2
    chroot "$root" apt-get --fix-broken install -y -qq >>"$root.log" 2>&1 || true
    chroot "$root" apt-get clean
  ' debian_root-build "$root" "$suite" "$mirror" "${packages[@]}" ||
    die "building the root failed (log: $root.log)"
  # Proof that the engine and its tools are there: isql runs and names its version.
  local v
  v=$(root_version)
  case "$v" in
    "$fb".*) ;;
    *) die "the root has no working Firebird $fb isql (got '${v}'; log: $root.log)" ;;
  esac
  for p in "${packages[@]}"; do
    chroot "$root" dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q ' installed$' ||
      echo "debian_root: note: package $p is unpacked but not configured" >&2
  done
  echo "$recipe" >"$stamp.tmp" && mv "$stamp.tmp" "$stamp"
  echo "debian_root: Firebird $v ready in $root ($((SECONDS - t0)) s)" >&2
  echo "$root"
}

run() {
  local binds=("$source_dir" /tmp) overlay=0
  while [ $# -gt 0 ]; do
    case "$1" in
      --overlay) overlay=1; shift ;;
      --bind) binds+=("$(cd "$2" && pwd)"); shift 2 ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  [ $# -gt 0 ] || die "run: no command"
  [ -n "${TMPDIR:-}" ] && [ -d "$TMPDIR" ] && binds+=("$(cd "$TMPDIR" && pwd)")
  # Held (shared) until the command ends: the descriptor goes along with exec.
  mkdir -p "$cache"
  exec 9>>"$lock"
  flock -s 9
  complete || die "no complete root in $root (scripts/debian_root.sh build)"
  local user=${ARDUDF_CALLER:-$(id -u):$(id -g)} layer=""
  if [ $overlay -eq 1 ]; then
    user=0:0
    layer=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-layer.XXXXXX")
  fi
  # Not exec: the throw-away layer is removed once the command ends.
  local status=0
  unshare --mount --propagation private bash -euo pipefail -c '
    root=$1 user=$2 layer=$3 fb=$4 nbinds=$5; shift 5
    if [ -n "$layer" ]; then
      mkdir "$layer/upper" "$layer/work" "$layer/root"
      mount -t overlay overlay -o "lowerdir=$root,upperdir=$layer/upper,workdir=$layer/work" "$layer/root"
      root=$layer/root
    fi
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    for ((i = 0; i < nbinds; i++)); do
      mkdir -p "$root$1"
      mount --rbind "$1" "$root$1"
      shift
    done
    # A private copy of the engine configuration for this run (Firebird 3 reads the
    # folder FIREBIRD names instead).
    conf=$root/etc/firebird/$fb
    if [ "$fb" = 3.0 ] || [ ! -d "$conf" ]; then
      exec chroot --userspec="$user" "$root" /bin/sh -c '"'"'cd "$0" 2>/dev/null || cd /; exec "$@"'"'"' "$PWD" "$@"
    fi
    keep=$(mktemp -d)
    cp -a "$conf/." "$keep/"
    mount -t tmpfs -o mode=0755 fbconf "$conf"
    cp -a "$keep/." "$conf/"
    rm -rf "$keep"
    chown "$user" "$conf"
    export ARDUDF_FB_CONF_DIR=/etc/firebird/$fb
    # The same working folder inside, where it is one of the bound ones.
    exec chroot --userspec="$user" "$root" /bin/sh -c '"'"'cd "$0" 2>/dev/null || cd /; exec "$@"'"'"' "$PWD" "$@"
  ' debian_root-run "$root" "$user" "$layer" "$fb" "${#binds[@]}" "${binds[@]}" "$@" || status=$?
  [ -z "$layer" ] || rm -rf --one-file-system "$layer"
  return $status
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  path) echo "$root" ;;
  build) as_root build; build ;;
  run) as_root run "$@"; run "$@" ;;
  version)
    complete || die "no complete root in $root"
    root_version ;;
  *) sed -n '2,/^set -euo/p' "$script" | sed '$d' | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac

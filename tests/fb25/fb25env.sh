# shellcheck shell=bash
# A library, sourced: the real Firebird 2.5 engine (the Win32 embedded kit, fbembed.dll) run
# under Wine, for the tests. Its isql is tests/fb25/isql25.sh (ardudf_isql25.exe, built by
# the mingw-i686 preset), which takes isql-fb's arguments, so that scripts/lib/fbenv.sh runs
# it as any other engine's:
#
#   . tests/fb25/fb25env.sh
#   fb25_source             the kit's tarball (or the folder ARDUDF_FB25_KIT names); without
#                           one, the reason on stderr and status 1
#   fb25_kit                prints the kit's folder: the newest firebird-2.5*-win32*.tar.xz of
#                           ../shared/firebird beside the source tree, unpacked once into
#                           ${ARDUDF_CACHE:-~/.cache/ardudf}/firebird-2.5.5-win32
#   fb25_setup ROOT UDF_DIR a private root for one run: ROOT/firebird.conf (UDFs from UDF_DIR
#                           alone), firebird.msg, intl/; exports FIREBIRD, FIREBIRD_LOCK,
#                           FIREBIRD_TMP, ISC_USER and ARDUDF_FB25_KIT
#   fb25_wine               prints the command that starts a 32-bit Windows program here:
#                           Wine's loader, or the loader through scripts/emulate_i386.sh where
#                           the kernel runs no 32-bit program
#   fb25_wine_env           exports the Wine settings of the engine (a prefix of its own in the
#                           cache, made on first use) and starts its wineserver
#
#   FB_ISQL=$PWD/tests/fb25/isql25.sh   then fbenv_setup, fb_isql, fbenv_value, ... run 2.5
fb25_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fb25_cache=${ARDUDF_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ardudf}

fb25_source() {
  if [ -n "${ARDUDF_FB25_KIT:-}" ]; then echo "$ARDUDF_FB25_KIT"; return 0; fi
  local dir tarball
  dir=$(cd "$fb25_source_dir/.." && pwd)/shared/firebird
  tarball=$(compgen -G "$dir/firebird-2.5*-win32*.tar.xz" | sort -V | tail -1)
  if [ -z "$tarball" ]; then
    echo "no Firebird 2.5 kit: ARDUDF_FB25_KIT is not set and $dir has no firebird-2.5*-win32*.tar.xz" >&2
    return 1
  fi
  echo "$tarball"
}

fb25_kit() {
  local source kit
  source=$(fb25_source) || return 1
  if [ -n "${ARDUDF_FB25_KIT:-}" ]; then
    kit=$(cd "$source" 2>/dev/null && pwd) || { echo "fb25env: ARDUDF_FB25_KIT=$source is not a folder" >&2; return 2; }
  else
    # Unpacked beside its place and moved there, under a lock: parallel tests wait for the
    # first. The stamp names the tarball and its size: a new one is unpacked anew.
    local name stamp
    name=$(basename "$source" .tar.xz)
    kit=$fb25_cache/${name%-embedded}
    stamp="$name $(stat -c %s "$source")" || return 2
    mkdir -p "$fb25_cache" || return 2
    (
      flock 9
      [ "$(cat "$kit/.ardudf-unpacked" 2>/dev/null)" = "$stamp" ] && exit 0
      rm -rf "$kit" "$kit.tmp" && mkdir "$kit.tmp" &&
        tar -xJf "$source" -C "$kit.tmp" --strip-components=1 &&
        echo "$stamp" > "$kit.tmp/.ardudf-unpacked" && mv "$kit.tmp" "$kit" ||
        { echo "fb25env: cannot unpack $source into $kit" >&2; exit 2; }
    ) 9>>"$kit.lock" || return 2
  fi
  if [ ! -f "$kit/fbembed.dll" ] || [ ! -f "$kit/intl/fbintl.dll" ]; then
    echo "fb25env: $source holds no Firebird 2.5 embedded kit (fbembed.dll, intl/fbintl.dll)" >&2
    return 2
  fi
  echo "$kit"
}

# /x/y as Wine's drive Z: sees it.
fb25_windows_path() { printf 'Z:%s\n' "${1//\//\\}"; }

fb25_setup() {
  local root=$1 udf_dir kit
  udf_dir=$(cd "$2" && pwd) || return 1
  if [ -n "${3:-}" ] && [ "$3" != udf ]; then
    echo "fb25env: Firebird 2.5 serves the legacy module only, not '$3'" >&2
    return 1
  fi
  kit=$(fb25_kit) || return 1
  mkdir -p "$root"
  root=$(cd "$root" && pwd)
  mkdir -p "$root/lock" "$root/tmp"
  ln -sfn "$kit/firebird.msg" "$root/firebird.msg"
  ln -sfn "$kit/intl" "$root/intl"
  cat > "$root/firebird.conf" <<EOF
# Written by tests/fb25/fb25env.sh for the embedded engine; regenerated on every run.
UdfAccess = Restrict $(fb25_windows_path "$udf_dir")
EOF
  # ardudf_isql25 turns these into Windows paths before it loads the engine.
  export FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp ARDUDF_FB25_KIT=$kit
  export ISC_USER=SYSDBA
}

fb25_wine() {
  local loader=${ARDUDF_WINE_LOADER:-/usr/lib/wine/wine} out
  if out=$("$loader" --version 2>&1); then
    echo "$loader"
  elif [[ $out == *"Exec format error"* ]]; then
    # No 32-bit program runs on this kernel: Wine through qemu-user.
    "$fb25_source_dir/scripts/emulate_i386.sh" --check >&2 || return 1
    echo "$fb25_source_dir/scripts/emulate_i386.sh $loader"
  else
    echo "fb25env: $loader does not start: $out" >&2
    return 1
  fi
}

fb25_wine_env() {
  export WINEPREFIX=${ARDUDF_FB25_WINEPREFIX:-$fb25_cache/wine-fb25} WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY=
  unset WAYLAND_DISPLAY
  if [ -f "$WINEPREFIX/system.reg" ]; then
    # A server that outlives each program by five minutes: Wine's own processes (services,
    # devices) start once, not with every statement run (half a minute when emulated). A
    # second one exits at once.
    setsid wineserver -p300 </dev/null >/dev/null 2>&1 &
    return 0
  fi
  local wine
  wine=$(fb25_wine) || return 1
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] && exit 0
    # Headless: no display, no mono or gecko to ask for (WINEDLLOVERRIDES).
    # shellcheck disable=SC2086 # the command and its arguments
    timeout 600 $wine wineboot --init </dev/null >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    [ -f "$WINEPREFIX/system.reg" ] || { echo "fb25env: wineboot made no prefix in $WINEPREFIX" >&2; exit 1; }
  ) 9>>"$WINEPREFIX.lock" || return 1
  fb25_wine_env
}

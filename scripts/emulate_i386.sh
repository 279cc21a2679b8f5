#!/usr/bin/env bash
# Runs a command with every 32-bit x86 program it starts routed to qemu-i386, for a kernel
# that refuses such programs itself:
#   scripts/emulate_i386.sh COMMAND [ARG...]
#   scripts/emulate_i386.sh --check     exits 0 when the emulation can run here, else says why
# Wine cannot merely be started through qemu: it re-executes itself and starts its helpers as
# native programs. So the ELF i386 format is registered with binfmt_misc, in an instance of
# its own inside a private user and mount namespace (Linux 6.7 or later), which changes
# nothing outside it. Debian 12's qemu 7.2 cannot run Wine ("failed to map the shared user
# data"); scripts/bootstrap.sh installs qemu-user-static from bookworm-backports.
set -euo pipefail
qemu=${ARDUDF_QEMU_I386:-/usr/bin/qemu-i386-static}

why_not() {
  [ -x "$qemu" ] || { echo "no $qemu (scripts/bootstrap.sh windows installs it)"; return; }
  local v
  v=$("$qemu" --version | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
  [ "${v:-0}" -ge 8 ] || { echo "$qemu is version ${v:-?}; Wine needs a newer one (bookworm-backports)"; return; }
  local k
  k=$(uname -r | sed -n 's/^\([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
  read -r major minor <<<"$k"
  if [ "${major:-0}" -lt 6 ] || { [ "$major" -eq 6 ] && [ "${minor:-0}" -lt 7 ]; }; then
    echo "kernel $(uname -r) has no binfmt_misc in a user namespace (6.7 or later)"
    return
  fi
  unshare --user --map-root-user --mount true 2>/dev/null || echo "unshare --user --mount is refused here"
}

case "${1:-}" in
  --check)
    reason=$(why_not)
    [ -z "$reason" ] || { echo "$reason"; exit 1; }
    exit 0 ;;
  --inside)
    shift
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    # ELF 32-bit little-endian, i386, executable or shared object; F: qemu opened now.
    printf '%s' ':i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
      >/proc/sys/fs/binfmt_misc/register
    exec "$@" ;;
  "")
    echo "usage: $0 COMMAND [ARG...] | --check" >&2
    exit 2 ;;
esac
reason=$(why_not)
[ -z "$reason" ] || { echo "emulate_i386: $reason" >&2; exit 1; }
exec unshare --user --map-root-user --mount "$(cd "$(dirname "$0")" && pwd)/$(basename "$0")" --inside "$@"

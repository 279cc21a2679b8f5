#!/usr/bin/env bash
# A Firebird server of our own, reached over TCP: /usr/sbin/firebird from a private root,
# listening on 127.0.0.1 only, on a free port, with a SYSDBA of a random password.
#
#   tests/tcp/server.sh [--mode super|superclassic] [--udr] --module-dir DIR [--database] [--keep]
#                       -- COMMAND [ARG ...]
#
# starts the server, runs COMMAND with
#   ARDUDF_SERVER=127.0.0.1/PORT  ISC_USER=SYSDBA  ISC_PASSWORD=...
#   ARDUDF_SERVER_PID (the server process)  ARDUDF_SERVER_ROOT (its root: firebird.conf, log/)
#   ARDUDF_MODULE=legacy|udr
# --database first creates ROOT/test.fdb (UTF8) through the server and declares the module's
# functions in it: ARDUDF_DATABASE=127.0.0.1/PORT:ROOT/test.fdb.
# and stops the server (SIGTERM to its PID) however COMMAND ends; the exit status is COMMAND's.
# DIR holds ardudf.so, or with --udr libardudf_udr.so (UdfAccess = None, a plugins.conf).
#
# The server's pieces are the library tests/tcp/server_lib.sh.
set -uo pipefail
# shellcheck source=server_lib.sh
. "$(dirname "$0")/server_lib.sh"


mode=super kind=udf module_dir="" keep=0 database=0
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --mode) mode=$2; shift 2 ;;
    --udr) kind=udr; shift ;;
    --module-dir) module_dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --database) database=1; shift ;;
    --) shift; break ;;
    *) echo "server.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
if [ -z "$module_dir" ] || [ $# -eq 0 ]; then
  echo "usage: server.sh [--mode super|superclassic] [--udr] --module-dir DIR [--keep] -- COMMAND [ARG ...]" >&2
  exit 2
fi
# A Firebird tree given without its server (FB_SERVER: scripts/engine.sh NAME run) runs only embedded.
if [ ! -x "${FB_SERVER:-/usr/sbin/firebird}" ]; then
  echo "SKIPPED: no server program ${FB_SERVER:-/usr/sbin/firebird}"
  exit 77
fi
# The root is made before the namespace, so that the re-run finds it again.
if [ -z "${ARDUDF_TCP_ROOT:-}" ]; then
  ARDUDF_TCP_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/ardudf-tcp.XXXXXX")
  export ARDUDF_TCP_ROOT
fi
tcp_private_log "$ARDUDF_TCP_ROOT/log" "$0" "${args[@]}"

cmd_pid=""
finish() {
  local rc=$?
  [ -n "$cmd_pid" ] && kill -TERM "$cmd_pid" 2>/dev/null
  tcp_server_stop
  # A server that crashed fails the test, whatever the command said.
  [ "$TCP_CRASHED" -eq 0 ] || { echo "FAIL: the server crashed" >&2; rc=1; }
  if [ $keep -eq 0 ]; then rm -rf "$ARDUDF_TCP_ROOT"; else echo "kept: $ARDUDF_TCP_ROOT" >&2; fi
  exit $rc
}
TCP_CRASHED=0
trap finish EXIT
trap 'exit 143' TERM INT HUP
tcp_server_setup "$ARDUDF_TCP_ROOT" "$module_dir" "$mode" "$kind" || exit 1
tcp_server_start || exit 1
echo "server: Firebird $mode, ${kind^^} module, $ARDUDF_SERVER, pid $ARDUDF_SERVER_PID"
export ARDUDF_MODULE=legacy
[ "$kind" = udr ] && ARDUDF_MODULE=udr
if [ $database -eq 1 ]; then
  export ARDUDF_DATABASE=$ARDUDF_SERVER:$ARDUDF_TCP_ROOT/test.fdb
  tcp_create_database "$ARDUDF_DATABASE" "$kind" || exit 1
fi
# In the background, so that a signal reaches the trap at once.
"$@" &
cmd_pid=$!
wait "$cmd_pid"
rc=$?
cmd_pid=""
exit $rc

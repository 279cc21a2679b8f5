# shellcheck shell=bash
# A library, sourced: a Firebird server of our own, reached over TCP (/usr/sbin/firebird
# from a private root, listening on 127.0.0.1 only, on a free port, with a SYSDBA of a
# random password), for tests/tcp/server.sh and the scripts that stop and start the server
# themselves. FB_SERVER names another server program (a Firebird 5 tree's, set by
# scripts/engine.sh fb5 run):
#   tcp_private_log DIR SCRIPT [ARG ...]   re-runs SCRIPT where DIR is /var/log/firebird
#   tcp_server_setup ROOT MODULE_DIR super|superclassic [udf|udr]
#   tcp_server_start [PORT]                a free port, or PORT again (a restart); exports
#                                          ARDUDF_SERVER, ISC_USER, ISC_PASSWORD,
#                                          ARDUDF_SERVER_PID, ARDUDF_SERVER_ROOT
#   tcp_server_stop                        sets TCP_CRASHED and TCP_KILLED
#   tcp_create_database DB udf|udr         a UTF8 database through the server, declared
#
# The server (and libfbclient in every client) writes its log to the compiled-in
# /var/log/firebird: everything runs in a mount namespace of its own where a folder of the
# root is mounted over it, so the system's log is never written. That needs root; without
# it tcp_private_log exits 77 (ctest: skipped). The server is launched under `timeout`, so
# a test killed before its trap runs cannot leave it behind for long.

tcp_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/lib/fbenv.sh
. "$tcp_here/../../scripts/lib/fbenv.sh"

tcp_private_log() {
  local dir=$1
  shift
  if [ "${ARDUDF_PRIVATE_LOG:-}" = "$dir" ]; then return 0; fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "server.sh: the server's log folder can be made private only by root: skipped" >&2
    exit 77
  fi
  mkdir -p "$dir"
  export ARDUDF_PRIVATE_LOG=$dir
  exec unshare --mount --propagation private -- \
    /bin/sh -c 'mount --bind "$0" /var/log/firebird && exec "$@"' "$dir" "$@"
}

tcp_server_setup() {
  local root=$1 module_dir=$2 mode=$3 kind=${4:-udf}
  case "$mode" in
    super) mode=Super ;;
    superclassic) mode=SuperClassic ;;
    *) echo "server.sh: mode is super or superclassic, not $mode" >&2; return 2 ;;
  esac
  mkdir -p "$root/log"
  root=$(cd "$root" && pwd)
  TCP_ROOT=$root
  (
    fbenv_setup "$root" "$module_dir" "$kind" || exit 1
    # fbenv's firebird.conf gives the UdfAccess line; the rest is the server's.
    grep '^UdfAccess' "$root/firebird.conf" > "$root/firebird.base"
    cat >> "$root/firebird.base" <<EOF
ServerMode = $mode
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $root/security3.fdb
EOF
    cp "$root/firebird.base" "$root/firebird.conf"
    head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 20 > "$root/password"
    chmod 600 "$root/password"
    rm -f "$root/security3.fdb"
    # The embedded engine makes the security database; the server is not running yet, so
    # the file has one user at a time.
    local out
    out=$(printf "CREATE DATABASE '%s'; CREATE USER SYSDBA PASSWORD '%s' USING PLUGIN Srp; COMMIT;\n" \
      "$root/security3.fdb" "$(cat "$root/password")" | fb_isql -b 2>&1)
    [ -z "$out" ] || { echo "server.sh: security database: $out" >&2; exit 1; }
  )
}

tcp_free_port() {
  local port
  while :; do
    port=$((20000 + RANDOM % 40000))
    ss -Htln "sport = :$port" 2>/dev/null | grep -q . || { echo "$port"; return 0; }
  done
}

# One try on PORT: 0 when the server answers, 1 when it died or did not answer in time.
tcp_server_try() {
  local root=$TCP_ROOT port=$1 pw
  pw=$(cat "$root/password")
  { cat "$root/firebird.base"; echo "RemoteServicePort = $port"; } > "$root/firebird.conf"
  : > "$root/server.out"
  FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp \
    timeout -k 5 "${ARDUDF_SERVER_LIFETIME:-1800}" "${FB_SERVER:-/usr/sbin/firebird}" >> "$root/server.out" 2>&1 &
  TCP_TIMEOUT_PID=$!
  TCP_PID=""
  for _ in $(seq 50); do
    TCP_PID=$(cat "/proc/$TCP_TIMEOUT_PID/task/$TCP_TIMEOUT_PID/children" 2>/dev/null | awk '{print $1}')
    [ -n "$TCP_PID" ] && break
    sleep 0.02
  done
  # Ready when the service manager answers a login. A busy port is retried by the server
  # for about 50 s: leave it at once for another port.
  for _ in $(seq 150); do
    [ -n "$TCP_PID" ] && kill -0 "$TCP_PID" 2>/dev/null || break
    if ss -Htln "sport = :$port" | grep -q . &&
      fbsvcmgr "127.0.0.1/$port:service_mgr" -user SYSDBA -password "$pw" info_server_version >/dev/null 2>&1; then
      echo "$port" > "$root/port"
      echo "$TCP_PID" > "$root/pid"
      export ARDUDF_SERVER=127.0.0.1/$port ISC_USER=SYSDBA ISC_PASSWORD=$pw
      export ARDUDF_SERVER_PID=$TCP_PID ARDUDF_SERVER_ROOT=$root
      return 0
    fi
    grep -qi 'address already in use' "$root/server.out" "$root"/log/*.log 2>/dev/null && break
    sleep 0.1
  done
  tcp_server_stop
  return 1
}

tcp_server_start() {
  local port=${1:-}
  for _ in 1 2 3 4 5; do
    tcp_server_try "${port:-$(tcp_free_port)}" && return 0
    [ -n "$port" ] && sleep 1
  done
  echo "server.sh: the server did not start; its log:" >&2
  cat "$TCP_ROOT/server.out" "$TCP_ROOT"/log/*.log >&2 2>/dev/null
  return 1
}

# SIGTERM to the server's PID: it closes its attachments and exits, mostly within 0.5 s.
# Firebird 3.0.11 now and then never finishes that shutdown (its threads wait on each
# other, with or without attachments): after 5 s it gets SIGKILL, which loses nothing here.
# TCP_CRASHED says whether the server was found dead, or ended by a signal other than the
# SIGKILL given here; TCP_KILLED whether it needed that SIGKILL.
# shellcheck disable=SC2034 # the callers read TCP_CRASHED and TCP_KILLED
tcp_server_stop() {
  local killed=0 status
  TCP_CRASHED=0 TCP_KILLED=0
  if [ -n "${TCP_PID:-}" ] && ! kill -0 "$TCP_PID" 2>/dev/null; then
    echo "server.sh: the server (pid $TCP_PID) was gone before it was stopped" >&2
    TCP_CRASHED=1
  fi
  if [ -n "${TCP_PID:-}" ] && kill -0 "$TCP_PID" 2>/dev/null; then
    kill -TERM "$TCP_PID"
    for _ in $(seq 50); do
      kill -0 "$TCP_PID" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$TCP_PID" 2>/dev/null; then
      echo "server.sh: the server was still there 5 s after SIGTERM: SIGKILL" >&2
      kill -KILL "$TCP_PID"
      killed=1 TCP_KILLED=1
    fi
  fi
  if [ -n "${TCP_TIMEOUT_PID:-}" ]; then
    # timeout ends with the signal that ended the server.
    wait "$TCP_TIMEOUT_PID" 2>/dev/null
    status=$?
    if [ $status -gt 128 ] && ! { [ $killed -eq 1 ] && [ $status -eq 137 ]; }; then
      echo "server.sh: the server ended by signal $((status - 128)) ($(kill -l $((status - 128))))" >&2
      TCP_CRASHED=1
    fi
  fi
  TCP_PID="" TCP_TIMEOUT_PID=""
  return 0
}

# A UTF8 database through the server, with the module's functions declared.
tcp_create_database() {
  local db=$1 kind=$2 script=ardudf.sql out
  [ "$kind" = udr ] && script=ardudf_udr.sql
  out=$( { echo "CREATE DATABASE '$db' PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8;"
           cat "$tcp_here/../../sql/$script"; } | fb_isql -b -ch UTF8 2>&1)
  [ -z "$out" ] || { echo "server.sh: declaring $script: $out" >&2; return 1; }
}

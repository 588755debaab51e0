#!/usr/bin/env bash
# A throwaway PostgreSQL server for tests and benchmarks, on 127.0.0.1 with a free port.
#
#   scripts/pg-server.sh start DIR   start (or find running) the server kept in DIR; print its env
#   scripts/pg-server.sh env DIR     print the env of the running server kept in DIR
#   scripts/pg-server.sh halt DIR    stop the server, keeping its data (a server gone mid-session)
#   scripts/pg-server.sh resume DIR  start a halted server again on the same port
#   scripts/pg-server.sh stop DIR    stop the server and remove everything it made
#
# DIR holds the state (env, pgpass, the paths below); the cluster and its socket live in
# a temporary folder owned by the server's user. As root the server runs as `postgres`
# (Debian's package makes that user), or as a system user made here when there is none.
# The env printed is shell text for `eval`: PGHOST, PGPORT, PGUSER, PGDATABASE,
# PGPASSFILE, TABRIK_TEST_PG (libpq connection text) and TABRIK_TEST_PG_DIR (DIR).
# The login role may create databases, so each test can make its own.
# Every command is safe to repeat; a lock on DIR keeps two runs from racing.
set -euo pipefail

usage() {
  echo "usage: $0 start|env|halt|resume|stop DIR" >&2
  exit 2
}
[ $# -eq 2 ] || usage
command=$1
mkdir -p "$2"
dir=$(cd "$2" && pwd)
role=tabrik
database=tabrik

fail() {
  echo "pg-server: cannot start a PostgreSQL server: $*" >&2
  exit 1
}

pg_bin() {
  local found
  found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
  if [ -n "$found" ] && [ -x "$found/initdb" ]; then
    echo "$found"
  elif command -v initdb >/dev/null 2>&1; then
    dirname "$(command -v initdb)"
  fi
}

# The user the server runs as: ourselves, or an unprivileged one when we are root
# (the server refuses to run as root).
server_user() {
  if [ "$(id -u)" -ne 0 ]; then
    id -un
    return
  fi
  if id postgres >/dev/null 2>&1; then
    echo postgres
    return
  fi
  if ! id tabrik-pg >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin tabrik-pg >/dev/null 2>&1 ||
      fail "no unprivileged user to run it as (useradd failed)"
  fi
  echo tabrik-pg
}

# The lock's descriptor is closed for every child: a server started while holding it
# would keep the lock for its whole life.
as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$user" -- "$@" 9>&-
  else
    "$@" 9>&-
  fi
}

state_get() { [ -f "$dir/state" ] && sed -n "s/^$1=//p" "$dir/state" || true; }

is_running() {
  local data
  data=$(state_get data)
  [ -n "$data" ] && [ -d "$data" ] && as_server "$(state_get bin)/pg_ctl" status -D "$data" >/dev/null 2>&1
}

print_env() {
  local port
  port=$(state_get port)
  local conninfo="host=127.0.0.1 port=$port dbname=$database user=$role"
  cat <<EOF
export PGHOST=127.0.0.1
export PGPORT=$port
export PGUSER=$role
export PGDATABASE=$database
export PGPASSFILE='$dir/pgpass'
export TABRIK_TEST_PG='$conninfo'
export TABRIK_TEST_PG_DIR='$dir'
EOF
}

# Starts the cluster of the state file on its port; false when the port is taken.
start_server() {
  local data socket port
  data=$(state_get data)
  socket=$(state_get socket)
  port=$(state_get port)
  as_server "$(state_get bin)/pg_ctl" start -D "$data" -w -t 60 -l "$data/server.log" \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $socket -c fsync=off -c full_page_writes=off" \
    >/dev/null 2>&1
}

port_is_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

remove_all() {
  local data base
  data=$(state_get data)
  base=$(state_get base)
  if [ -n "$data" ] && [ -d "$data" ]; then
    as_server "$(state_get bin)/pg_ctl" stop -D "$data" -m fast -w -t 30 >/dev/null 2>&1 ||
      as_server "$(state_get bin)/pg_ctl" stop -D "$data" -m immediate -w >/dev/null 2>&1 || true
  fi
  # Only a folder this script made (its name says so) is removed.
  case "$base" in
    */tabrik-pg.*) rm -rf "$base" ;;
  esac
  rm -f "$dir/state" "$dir/pgpass" "$dir/env" "$dir/initdb.log"
}

start() {
  if is_running; then
    print_env
    return
  fi
  remove_all  # the leftovers of a run that was killed
  local bin
  bin=$(pg_bin)
  [ -n "$bin" ] || fail "initdb not found (install the postgresql package)"
  user=$(server_user)
  local base data socket password
  # As root, /tmp: the server's user must reach the folder, and root's TMPDIR may be
  # private to root.
  local parent=${TMPDIR:-/tmp}
  [ "$(id -u)" -ne 0 ] || parent=/tmp
  base=$(mktemp -d "$parent/tabrik-pg.XXXXXX")
  data="$base/data"
  socket="$base/socket"
  mkdir -p "$data" "$socket"
  chmod 700 "$data"
  chmod 755 "$base"
  [ "$(id -u)" -ne 0 ] || chown -R "$user" "$base"
  password=$(head -c 18 /dev/urandom | od -An -tx1 | tr -d ' \n')
  {
    echo "bin=$bin"
    echo "user=$user"
    echo "base=$base"
    echo "data=$data"
    echo "socket=$socket"
  } >"$dir/state"
  as_server "$bin/initdb" -D "$data" -U "$user" --auth-local=trust --auth-host=scram-sha-256 \
    -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    fail "initdb failed (see $dir/initdb.log)"
  local port="" attempt
  for attempt in 1 2 3 4 5 6 7 8; do
    port=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
    port_is_free "$port" || continue
    sed -i '/^port=/d' "$dir/state"
    echo "port=$port" >>"$dir/state"
    if start_server; then
      break
    fi
    port=""
  done
  [ -n "$port" ] || fail "the server did not start (see $data/server.log)"
  local psql="$bin/psql"
  [ -x "$psql" ] || psql=psql
  as_server "$psql" -X -q -v ON_ERROR_STOP=1 -h "$socket" -p "$port" -U "$user" -d postgres \
    >/dev/null <<EOF || fail "could not create the role and database"
CREATE ROLE $role LOGIN CREATEDB PASSWORD '$password';
CREATE DATABASE $database OWNER $role;
EOF
  (
    umask 077
    echo "*:$port:*:$role:$password" >"$dir/pgpass"
  )
  print_env >"$dir/env"
  print_env
}

exec 9>"$dir/lock"
flock 9
user=$(state_get user)
case "$command" in
  start) start ;;
  env)
    is_running || {
      echo "pg-server: no server running in $dir" >&2
      exit 1
    }
    print_env
    ;;
  halt)
    if is_running; then
      as_server "$(state_get bin)/pg_ctl" stop -D "$(state_get data)" -m fast -w -t 30 >/dev/null
    fi
    ;;
  resume)
    [ -f "$dir/state" ] || fail "no server kept in $dir"
    is_running || start_server || fail "the server did not start again"
    ;;
  stop) remove_all ;;
  *) usage ;;
esac

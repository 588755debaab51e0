#!/usr/bin/env bash
# Runs a command (a test binary and its arguments) with TABRIK_TEST_PG naming a
# throwaway PostgreSQL server that scripts/pg-server.sh starts for it and stops after.
# Exit 77 (a skipped test for ctest) with the reason when no server can be started.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
server=$root/scripts/pg-server.sh
if [ ! -f "$server" ]; then
  echo "skipped: $server is missing, so no test server can be started"
  exit 77
fi
dir=$(mktemp -d /tmp/tabrik_pg_XXXXXX)
cleanup() {
  bash "$server" stop "$dir" >/dev/null 2>&1
  rm -rf "$dir"
}
trap cleanup EXIT
if ! env_text=$(bash "$server" start "$dir"); then
  echo "skipped: no PostgreSQL server could be started here (see the message above)"
  exit 77
fi
eval "$env_text"
if [ -z "${TABRIK_TEST_PG:-}" ]; then
  echo "skipped: the server script gave no TABRIK_TEST_PG"
  exit 77
fi
# The server is this command's alone: a test may stop and start it.
export TABRIK_TEST_PG_PRIVATE=1
# Every database the command creates by path goes to the server (a pointer file at
# the path); the PG* variables above name the server, so the string names nothing else.
if [ -n "${TABRIK_TEST_PG_NEW_DATABASES:-}" ]; then
  export TABRIK_DATABASE_SERVER='ODBC;DRIVER={PostgreSQL}'
fi
# The same server as a DAO connect string, for LISP scenarios; the password comes from
# the server's password file (PGPASSFILE), never from the string.
export TABRIK_TEST_PG_CONNECT="ODBC;DRIVER={PostgreSQL};SERVER=$PGHOST;PORT=$PGPORT;DATABASE=$PGDATABASE;UID=$PGUSER"
"$@"

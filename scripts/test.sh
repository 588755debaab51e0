#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test: the unit tests and the LISP
# scenario tests, first in the release build, then under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/format-check.sh

run_suite() {
  local dir=$1
  echo "== tests in $dir ==" >&2
  (cd "$dir" && ctest --output-on-failure -j "$(nproc)")
}

# A PostgreSQL server of the tests' own for both suites; the server back end's tests
# skip, saying why, when it cannot be started.
# One server per run (two runs at once each have their own); a run that was killed
# leaves its server behind, which the next run stops.
mkdir -p build
for stale in build/pg-test-server.*; do
  [ -d "$stale" ] || continue
  kill -0 "${stale##*.}" 2>/dev/null || scripts/pg-server.sh stop "$stale" >/dev/null 2>&1 || true
  kill -0 "${stale##*.}" 2>/dev/null || rm -rf "$stale" "$stale.log"
done
pg_state=$PWD/build/pg-test-server.$$
pg_server=$PWD/scripts/pg-server.sh
trap '"$pg_server" stop "$pg_state" >/dev/null 2>&1 || true; rm -rf "$pg_state" "$pg_state.log"' EXIT
if pg_env=$("$pg_server" start "$pg_state" 2>"$pg_state.log"); then
  eval "$pg_env"
  echo "PostgreSQL test server on 127.0.0.1:$PGPORT" >&2
else
  echo "No PostgreSQL test server ($(tail -n 1 "$pg_state.log")): server tests skip" >&2
fi

scripts/build.sh release
run_suite build
if [ "${TABRIK_SKIP_SANITIZE:-0}" != 1 ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  scripts/build.sh sanitize
  run_suite build-sanitize
fi
echo "All tests passed." >&2

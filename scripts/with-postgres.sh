#!/usr/bin/env bash
# Runs a command beside a throw-away PostgreSQL 15 server on loopback:
#   scripts/with-postgres.sh CMD [ARGS...]
# The server lives in a fresh temporary folder (data, unix socket, log), on a
# free port of its own, with one database. CMD sees its address in
# PRVC03_PG_CONNINFO ("host=127.0.0.1 port=P dbname=prvc03 user=postgres")
# and its log in PRVC03_PG_LOG. With PRVC03_PG_LOG_STATEMENTS=1 the server
# logs every statement it runs, each line led by the server process's id,
# so that tests can read what reached it (the benchmarks leave it off).
# The server is stopped and the folder removed when the script ends, whether
# or not CMD failed; the script returns CMD's exit code. A server that cannot
# start is an error, never a silent skip.
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

pg_bin=${PG_BIN:-/usr/lib/postgresql/15/bin}
for tool in initdb pg_ctl postgres; do
  if [ ! -x "$pg_bin/$tool" ]; then
    echo "with-postgres: $pg_bin/$tool not found (install the package postgresql-15)" >&2
    exit 1
  fi
done

# PostgreSQL refuses to run as root: as root, its tools run as the postgres
# system user, inside the folder that user owns.
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id postgres >/dev/null 2>&1; then
    echo "with-postgres: running as root but there is no postgres system user" >&2
    exit 1
  fi
  as_server=(runuser -u postgres --)
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/prvc03-pg.XXXXXX")
data="$dir/data"
log="$dir/server.log"
started=0

cleanup() {
  local rc=$?
  if [ "$started" -eq 1 ]; then
    (cd "$dir" && "${as_server[@]}" "$pg_bin/pg_ctl" -D "$data" -m immediate -w stop) \
      >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [ ${#as_server[@]} -gt 0 ]; then
  chown postgres: "$dir"
fi
chmod 700 "$dir"

server() {
  (cd "$dir" && "${as_server[@]}" "$@")
}

if ! server "$pg_bin/initdb" -D "$data" -U postgres -A trust -E UTF8 --locale=C --no-sync \
  >"$dir/initdb.log" 2>&1; then
  echo "with-postgres: initdb failed:" >&2
  cat "$dir/initdb.log" >&2
  exit 1
fi

# A port nobody listens on; pg_ctl itself tells if it was taken meanwhile,
# and then the next candidate is tried.
port_free() {
  ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

logging=""
if [ "${PRVC03_PG_LOG_STATEMENTS:-0}" = 1 ]; then
  # pg_ctl hands the options to the server through the shell: quoted there.
  logging="-c log_statement=all -c log_line_prefix='[%p] '"
fi

port=""
for attempt in 1 2 3 4 5 6 7 8; do
  candidate=$((20000 + (RANDOM * 32768 + RANDOM) % 40000))
  port_free "$candidate" || continue
  # Durability is of no use to a throw-away server: no fsync, no full pages.
  if server "$pg_bin/pg_ctl" -D "$data" -l "$log" -w -t 60 \
    -o "-p $candidate -k $dir -c listen_addresses=127.0.0.1 -c fsync=off \
-c synchronous_commit=off -c full_page_writes=off -c max_connections=200 $logging" start \
    >/dev/null 2>&1; then
    port=$candidate
    started=1
    break
  fi
  echo "with-postgres: the server did not start on port $candidate (attempt $attempt)" >&2
done
if [ -z "$port" ]; then
  echo "with-postgres: could not start PostgreSQL; server log:" >&2
  cat "$log" >&2 2>/dev/null || true
  exit 1
fi

dbname=prvc03
if ! server "$pg_bin/psql" -X -q -h "$dir" -p "$port" -U postgres -d postgres \
  -c "CREATE DATABASE $dbname" >/dev/null; then
  echo "with-postgres: could not create the database $dbname" >&2
  exit 1
fi

export PRVC03_PG_CONNINFO="host=127.0.0.1 port=$port dbname=$dbname user=postgres"
export PRVC03_PG_LOG="$log"
echo "with-postgres: PostgreSQL $("$pg_bin/postgres" --version | awk '{print $3}') on 127.0.0.1:$port"

set +e
"$@"
rc=$?
set -e
exit "$rc"

#!/usr/bin/env bash
# Runs the test suite of a build folder, offscreen, beside a throw-away
# PostgreSQL server (scripts/with-postgres.sh), so that the database tests run
# on every configuration; then says how many cases ran on each.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen
# The suites run under UTF-8; the ODBC configurations run again under
# zh_CN.GBK and POSIX (tests named *_zh_CN_GBK and *_POSIX).
export LANG=C.UTF-8 LC_ALL=C.UTF-8
log=$(mktemp)
out=$(mktemp)
trap 'rm -f "$log" "$out"' EXIT
export PRVC03_CONFIGURATION_LOG="$log"
# The server logs every statement: tests read what reached it.
export PRVC03_PG_LOG_STATEMENTS=1
bash "$here/with-postgres.sh" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" | tee "$out"
echo "Cases run per database configuration:"
sort "$log" | uniq -c | awk '{printf "  %-24s %5d %s\n", $2, $1, $3}'
# ctest's own closing line closes the output.
grep -E '^[0-9]+% tests passed' "$out" | tail -n 1

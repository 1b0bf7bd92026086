#!/usr/bin/env bash
# Runs the test suite of a build folder, offscreen, beside a throw-away
# PostgreSQL server (scripts/with-postgres.sh), so that the database tests run
# on every configuration; then says how many cases ran on each, and fails
# when a configuration or a locale rerun ran fewer than it should.
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
status=0
bash "$here/with-postgres.sh" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" |
  tee "$out" || status=$?
# The log has a line "program configuration passed|failed" per case.
echo "Cases run per database configuration:"
awk '{print $2, $3}' "$log" | sort | uniq -c | awk '{printf "  %-24s %5d %s\n", $2, $1, $3}'

# Coverage that drops fails the run: every configuration runs cases, and each
# locale rerun of a program (test "program_zh_CN_GBK" runs "program" under
# zh_CN.GBK) runs as many cases of each ODBC configuration as that program's
# UTF-8 run.
coverage=0
for configuration in SQLite PostgreSQL OdbcPostgreSQL OdbcSQLite; do
  if ! awk -v c="$configuration" '$2 == c {found = 1} END {exit !found}' "$log"; then
    echo "coverage: no case ran on $configuration" >&2
    coverage=1
  fi
done
tests=$(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: //p')
while read -r program tag; do
  if [[ $tag == *_* ]]; then locale="${tag%_*}.${tag##*_}"; else locale=$tag; fi
  if ! awk -v p="$program" -v l="$locale" '
      $1 == p && $2 ~ /^Odbc/ && $2 !~ /@/ { utf8[$2]++ }
      $1 == p && $2 ~ ("@" l "$") { sub("@.*", "", $2); rerun[$2]++ }
      END {
        bad = 0
        for (c in utf8) {
          if (rerun[c] < utf8[c]) {
            printf "coverage: %s under %s ran %d cases of %s, under UTF-8 %d\n", p, l, rerun[c] + 0, c, utf8[c] > "/dev/stderr"
            bad = 1
          }
        }
        if (length(utf8) == 0) {
          printf "coverage: %s ran no ODBC case to rerun under %s\n", p, l > "/dev/stderr"
          bad = 1
        }
        exit bad
      }' "$log"; then
    coverage=1
  fi
done < <(awk 'NR == FNR { name[$0] = 1; next }
              { for (p in name) if (index($0, p "_") == 1)
                  print p, substr($0, length(p) + 2) }' <(echo "$tests") <(echo "$tests"))
# ctest's own closing line closes the output.
grep -E '^[0-9]+% tests passed' "$out" | tail -n 1 || true
if [ "$coverage" -ne 0 ]; then
  echo "coverage dropped: see the lines above" >&2
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"

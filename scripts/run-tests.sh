#!/usr/bin/env bash
# Runs the test suite of a build folder, offscreen, beside a throw-away
# PostgreSQL server (scripts/with-postgres.sh), so that the database tests run
# on it as well as on SQLite.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=offscreen
exec bash "$here/with-postgres.sh" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

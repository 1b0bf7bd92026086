#!/usr/bin/env bash
# Runs the test suite of a build folder, offscreen.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

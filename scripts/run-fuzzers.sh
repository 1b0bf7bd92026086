#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time each:
#   scripts/run-fuzzers.sh BUILD [SECONDS]
# The targets and their dictionaries are the build's own list,
# BUILD/fuzz/fuzzers.txt (one "target dictionary" per line, written by
# fuzz/CMakeLists.txt). Each target starts from the seeds in
# fuzz/seeds/<target> and keeps what it learns in BUILD/fuzz-corpus/<target>;
# a finding leaves its input in BUILD/fuzz-findings/. Prints the executions of
# each target and fails when any target found something.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
findings="$build/fuzz-findings"
list="$build/fuzz/fuzzers.txt"
if [ ! -s "$list" ]; then
  echo "run-fuzzers: $list is missing: configure $build with -DPRVC03_FUZZ=ON" >&2
  exit 1
fi
mkdir -p "$findings"

failed=0
total=0
# The list comes in on its own descriptor: a target may read its standard input.
while read -r target dict <&3; do
  binary="$build/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "run-fuzzers: $binary is missing" >&2
    failed=1
    continue
  fi
  corpus="$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  log="$build/fuzz-$target.log"
  "$binary" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
    -dict="$root/fuzz/$dict" -artifact_prefix="$findings/$target-" \
    "$corpus" "$root/fuzz/seeds/$target" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  total=$((total + runs))
  if [ $rc -eq 0 ]; then
    printf '%-18s %12s executions, nothing found\n' "$target" "$runs"
  else
    printf '%-18s %12s executions, FOUND a failure (exit %d); see %s\n' "$target" "$runs" "$rc" "$log"
    grep -E 'property broken|ERROR: AddressSanitizer|runtime error|Test unit written' "$log" | head -5
    failed=1
  fi
done 3<"$list"
printf '%-18s %12s executions in all\n' "total" "$total"
exit $failed

#!/usr/bin/env bash
# Runs every fuzz target of a build directory for SECONDS each (default 60):
#   run-all.sh BUILD_DIR [SECONDS]
# Each program starts from the seeds in fuzz/corpus/<program> when that
# folder exists; what it finds goes to BUILD_DIR/fuzz/corpus/<program>, an
# input that fails to BUILD_DIR/fuzz/<program>-crash-... (turn it into a
# regression file: tests/hostile/regressions/<program>/, replayed by the suite).
set -uo pipefail
build=${1:?usage: run-all.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for program in "$build"/fuzz/fuzz_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  corpus="$build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/corpus/$name" ] && seeds=("$here/corpus/$name")
  echo "== $name for ${seconds}s"
  "$program" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/$name-" "$corpus" "${seeds[@]}" \
    > "$build/fuzz/$name.log" 2>&1
  result=$?
  grep -E '^stat::number_of_executed_units|ERROR|SUMMARY' "$build/fuzz/$name.log" || true
  [ $result -eq 0 ] || status=1
done
exit $status

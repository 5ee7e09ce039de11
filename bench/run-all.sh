#!/usr/bin/env bash
# Runs every benchmark of a build directory: run-all.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: run-all.sh BUILD_DIR}
status=0
for program in "$build"/bench/bench_*; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" || status=1
done
exit $status

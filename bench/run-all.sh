#!/usr/bin/env bash
# Runs every benchmark of a build directory and ends with one table of all
# their figures against their references: run-all.sh BUILD_DIR
# Lines other than results (notes, warnings) are shown as they come.
set -euo pipefail
build=${1:?usage: run-all.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
results=$(mktemp)
output=$(mktemp)
trap 'rm -f "$results" "$output"' EXIT
status=0
for program in "$build"/bench/bench_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  echo "== $name"
  if ! "$program" >"$output"; then
    echo "$name failed" >&2
    status=1
  fi
  grep -v '^RESULT	' "$output" || true
  if ! grep '^RESULT	' "$output" >>"$results"; then
    echo "$name printed no results" >&2
    status=1
  fi
done
echo
awk -f "$here/results-table.awk" "$results" || status=1
exit $status

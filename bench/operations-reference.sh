#!/usr/bin/env bash
# Installs the reference programs of the operations benchmark when missing
# (they are needed for nothing else), then runs it: operations-reference.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
REFERENCE_PACKAGES=(imagemagick)
missing=()
for p in "${REFERENCE_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
build=${1:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPDFIMPORT_BENCH=ON -DPDFIMPORT_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_operations -j "${JOBS:-2}"
exec "$build/bench/bench_operations"

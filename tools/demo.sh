#!/usr/bin/env bash
# The main job of `./run demo`: until the converter window exists, runs the
# controls gallery with its script on the offscreen driver and leaves the
# snapshots in BUILD/demo-snapshots.
set -euo pipefail
BUILD=$(cd "${1:?usage: demo.sh BUILD_DIR}" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$BUILD/demo-snapshots"
cmake --build "$BUILD" --target pdfimport-gallery
rm -rf "$OUT"
mkdir -p "$OUT"
cd "$OUT"
PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT="$ROOT/examples/gallery/gallery.script" \
  "$BUILD/examples/gallery/pdfimport-gallery"
echo "demo: snapshots of the controls gallery in $OUT:"
ls "$OUT"

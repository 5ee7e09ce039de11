#!/usr/bin/env bash
# Builds the controls gallery in BUILD_DIR, plays its script on the offscreen
# driver and leaves the snapshots in BUILD_DIR/gallery-snapshots.
set -euo pipefail
BUILD=$(cd "${1:?usage: run-gallery.sh BUILD_DIR}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
OUT="$BUILD/gallery-snapshots"
cmake --build "$BUILD" --target pdfimport-gallery
rm -rf "$OUT"
mkdir -p "$OUT"
cd "$OUT"
PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT="$HERE/gallery.script" "$BUILD/examples/gallery/pdfimport-gallery"
echo "gallery: snapshots in $OUT:"
ls "$OUT"

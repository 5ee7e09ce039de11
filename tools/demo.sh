#!/usr/bin/env bash
# The main job of `./run demo`: the demo host opens the converter window on
# the bundled sample plan. Offscreen, a script plays the user (browse, step a
# page, choose the current page, set a scale, convert) and the window's
# snapshots are left in BUILD/demo-snapshots; the host prints what it got.
set -euo pipefail
BUILD=$(cd "${1:?usage: demo.sh BUILD_DIR}" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$BUILD/demo-snapshots"
rm -rf "$OUT"
mkdir -p "$OUT"
sed -e "s|@OUT@|$OUT|g" -e "s|@SAMPLE@|$ROOT/resources/demo/sample.pdf|g" \
  "$ROOT/resources/demo/demo.script.in" > "$OUT/demo.script"
status=0
PDFIMPORT_UI=${PDFIMPORT_UI:-offscreen} PDFIMPORT_SCRIPT="$OUT/demo.script" \
  "$BUILD/tools/host/pdfimport-host" --entry GetPDFInfo2Out || status=$?
echo "demo: snapshots of the converter window in $OUT:"
ls "$OUT"/*.png
exit $status

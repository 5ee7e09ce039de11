#!/usr/bin/env bash
# The main job of `./run demo`: the demo host opens the converter window on
# the bundled sample plan. With a display (DISPLAY or WAYLAND_DISPLAY set, or
# PDFIMPORT_UI=sdl) it is a real window for you to use; the sample's path is
# printed to type into the file dialog. Offscreen (no display, or
# PDFIMPORT_UI=offscreen), a script plays the user (browse, step a page,
# choose the current page, set a scale, convert) and the window's snapshots
# are left in BUILD/demo-snapshots. The host prints what it got.
set -euo pipefail
BUILD=$(cd "${1:?usage: demo.sh BUILD_DIR}" && pwd)
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SAMPLE="$ROOT/resources/demo/sample.pdf"
HOST="$BUILD/tools/host/pdfimport-host"

ui=${PDFIMPORT_UI:-}
if [ -z "$ui" ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then ui=sdl; else ui=offscreen; fi
fi

if [ "$ui" = sdl ]; then
  echo "demo: the converter window opens on your display; a sample plan: $SAMPLE"
  PDFIMPORT_UI=sdl exec "$HOST" --entry GetPDFInfo2Out
fi

OUT="$BUILD/demo-snapshots"
rm -rf "$OUT"
mkdir -p "$OUT"
sed -e "s|@OUT@|$OUT|g" -e "s|@SAMPLE@|$SAMPLE|g" \
  "$ROOT/resources/demo/demo.script.in" > "$OUT/demo.script"
status=0
PDFIMPORT_UI=offscreen PDFIMPORT_SCRIPT="$OUT/demo.script" "$HOST" --entry GetPDFInfo2Out || status=$?
echo "demo: snapshots of the converter window in $OUT:"
ls "$OUT"/*.png
exit $status

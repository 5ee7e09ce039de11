#!/usr/bin/env bash
# rximage on a small pixmap: information, conversion, and the error paths.
#   rximage_cli.sh RXIMAGE
set -u
tool=${1:?usage: rximage_cli.sh RXIMAGE}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

printf 'P3\n3 2\n255\n255 0 0  0 255 0  0 0 255\n1 2 3  4 5 6  7 8 9\n' > "$work/in.ppm"
printf 'not a picture\n' > "$work/text.txt"

out=$("$tool" info "$work/in.ppm") || fail "info exit status $?"
for line in "width: 3" "height: 2" "bits per pixel: 24" "colours: 0" "resolution: 96 x 96 dpi" "transparency: none"; do
  grep -qx "$line" <<<"$out" || fail "info lacks '$line'"
done

"$tool" convert "$work/in.ppm" "$work/out.PPM" || fail "convert to PPM"
[ "$(head -c 11 "$work/out.PPM")" = "$(printf 'P6\n3 2\n255')" ] || fail "converted header"
[ "$(wc -c < "$work/out.PPM")" -eq 29 ] || fail "converted size"

err=$("$tool" info "$work/text.txt" 2>&1); status=$?
[ $status -eq 1 ] || fail "garbage: status $status"
grep -q "Decode: Unknown or wrong format" <<<"$err" || fail "garbage: '$err'"

err=$("$tool" info "$work/text.txt" --type 9 2>&1); status=$?
[ $status -eq 1 ] || fail "typed garbage: status $status"
grep -q "error: cannot load image data" <<<"$err" || fail "typed garbage: '$err'"

"$tool" info "$work/missing.ppm" >/dev/null 2>&1
[ $? -eq 1 ] || fail "missing file status"
"$tool" convert "$work/in.ppm" "$work/out.xyz" >/dev/null 2>&1
[ $? -eq 2 ] || fail "unknown extension status"
"$tool" info "$work/in.ppm" --type 12 >/dev/null 2>&1
[ $? -eq 2 ] || fail "bad type status"
"$tool" >/dev/null 2>&1
[ $? -eq 2 ] || fail "usage status"

[ $failures -eq 0 ] && echo "rximage: all checks passed"
exit $((failures > 0))

#!/usr/bin/env python3
"""Round trips through `rximage convert` for every depth that JPEG, PNG and
TIFF files hold: a picture made with Pillow is converted into the format and
back to PNG by rximage, and Pillow compares the result with the original.

usage: library_roundtrip.py RXIMAGE WORKDIR
"""
import os
import subprocess
import sys

from PIL import Image

RXIMAGE, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)


def source(kind):
    w, h = 29, 17
    rgb = Image.new("RGB", (w, h))
    px = rgb.load()
    for y in range(h):
        for x in range(w):
            px[x, y] = (x * 9, y * 15, (x + y) * 4)  # smooth: lossy coding stays close
    if kind == "1":
        return rgb.convert("1"), {}
    if kind == "4":
        return rgb.quantize(16), {"bits": 4}
    if kind == "8 palette":
        return rgb.quantize(200), {}
    if kind == "8 grey":
        return rgb.convert("L"), {}
    if kind == "24":
        return rgb, {}
    alpha = rgb.convert("RGBA")
    alpha.putalpha(Image.linear_gradient("L").resize((w, h)))
    return alpha, {}


def rximage(*args):
    result = subprocess.run([RXIMAGE] + list(args), capture_output=True, text=True)
    if result.returncode != 0:
        raise RuntimeError("rximage %s: %s" % (" ".join(args), result.stderr.strip()))
    return result.stdout


def compare(a, b, tolerance):
    a, b = a.convert("RGBA"), b.convert("RGBA")
    if a.size != b.size:
        return "size %s != %s" % (a.size, b.size)
    worst = max(abs(p - q) for pa, pb in zip(a.getdata(), b.getdata()) for p, q in zip(pa, pb))
    return None if worst <= tolerance else "largest difference %d" % worst


# format, depths it holds (source kind -> bits per pixel expected after
# loading the converted file), tolerance
CASES = [
    ("png", {"1": 1, "4": 4, "8 palette": 8, "8 grey": 8, "24": 24, "24 alpha": 24}, 0),
    ("tif", {"1": 1, "4": 4, "8 palette": 8, "8 grey": 8}, 0),
    ("tif", {"24": 24, "24 alpha": 24}, 8),  # JPEG compression by default
    ("jpg", {"8 grey": 8, "24": 24}, 8),
]

failures = []
count = 0
for fmt, depths, tolerance in CASES:
    for kind, bpp in depths.items():
        count += 1
        image, options = source(kind)
        stem = os.path.join(WORK, "%s_%s" % (fmt, kind.replace(" ", "_")))
        original = stem + "_source.png"
        image.save(original, **options)
        converted, back = stem + "." + fmt, stem + "_back.png"
        try:
            rximage("convert", original, converted, "--quality", "95")
            info = rximage("info", converted)
            if "bits per pixel: %d" % bpp not in info:
                failures.append("%s %s: %s" % (fmt, kind, info.replace("\n", "; ")))
                continue
            rximage("convert", converted, back)
        except RuntimeError as error:
            failures.append("%s %s: %s" % (fmt, kind, error))
            continue
        with Image.open(original) as a, Image.open(back) as b:
            problem = compare(a, b, tolerance)
        if problem:
            failures.append("%s %s: %s" % (fmt, kind, problem))

for failure in failures:
    print("FAIL", failure)
print("%d round trips, %d failed" % (count, len(failures)))
sys.exit(1 if failures else 0)

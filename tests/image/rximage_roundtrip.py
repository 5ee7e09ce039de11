#!/usr/bin/python3
"""Round trips through `rximage convert` for every depth each format holds: a
picture made with Pillow is converted into the format and back to PNG by
rximage, and Pillow compares the result with the original. Depths a format
cannot hold must be refused with the encoder's message.

usage: rximage_roundtrip.py RXIMAGE WORKDIR
"""
import os
import re
import subprocess
import sys

from PIL import Image

RXIMAGE, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
ENV = dict(os.environ, ASAN_OPTIONS="exitcode=99", UBSAN_OPTIONS="halt_on_error=1:exitcode=98")

# Wider and taller than one 17 x 15 tile of a true-colour GIF, not a multiple
# of either, so that tiles are cut at both edges.
WIDTH, HEIGHT = 29, 17


def source(kind, width=WIDTH):
    rgb = Image.new("RGB", (width, HEIGHT))
    px = rgb.load()
    for y in range(HEIGHT):
        for x in range(width):
            px[x, y] = ((x * 9) & 255, y * 15, ((x + y) * 4) & 255)  # smooth: lossy coding stays close
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
    alpha.putalpha(Image.linear_gradient("L").resize((width, HEIGHT)))
    return alpha, {}


def rximage(*args):
    result = subprocess.run([RXIMAGE] + list(args), capture_output=True, text=True, env=ENV, timeout=120)
    return result.returncode, result.stdout, result.stderr.strip()


def compare(a, b, tolerance, channels):
    a, b = a.convert(channels), b.convert(channels)
    if a.size != b.size:
        return "size %s != %s" % (a.size, b.size)
    worst = max(abs(p - q) for pa, pb in zip(a.getdata(), b.getdata()) for p, q in zip(pa, pb))
    return None if worst <= tolerance else "largest difference %d" % worst


def frames_of(info):
    found = re.search(r"^frames: (\d+)$", info, re.M)
    return int(found.group(1)) if found else 1


GIF_TILES = ((WIDTH + 16) // 17) * ((HEIGHT + 14) // 15)

# format, source kind, what `rximage info` tells of the converted file, what
# the round trip keeps (RGBA, or RGB where the format carries no alpha), tolerance
CASES = [
    ("bmp", "1", ["bits per pixel: 1"], "RGBA", 0),
    ("bmp", "4", ["bits per pixel: 4"], "RGBA", 0),
    ("bmp", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("bmp", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    ("bmp", "24", ["bits per pixel: 24"], "RGBA", 0),
    ("bmp", "24 alpha", ["bits per pixel: 24", "transparency: none"], "RGB", 0),  # rows are written as 24 bits
    ("gif", "1", ["bits per pixel: 1"], "RGBA", 0),
    ("gif", "4", ["bits per pixel: 4"], "RGBA", 0),
    ("gif", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("gif", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    # True colour becomes 8-bit tiles; the last frame shows the whole picture.
    ("gif", "24", ["bits per pixel: 8", "frames: %d" % GIF_TILES], "RGBA", 0),
    ("tga", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("tga", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    ("tga", "24", ["bits per pixel: 24", "transparency: none"], "RGBA", 0),
    ("tga", "24 alpha", ["bits per pixel: 24", "transparency: alpha plane"], "RGBA", 0),
    ("pcx", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("pcx", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    ("pcx", "24", ["bits per pixel: 24"], "RGBA", 0),
    ("wbmp", "1", ["bits per pixel: 1"], "RGBA", 0),
    ("png", "1", ["bits per pixel: 1"], "RGBA", 0),
    ("png", "4", ["bits per pixel: 4"], "RGBA", 0),
    ("png", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("png", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    ("png", "24", ["bits per pixel: 24"], "RGBA", 0),
    ("png", "24 alpha", ["bits per pixel: 24", "transparency: alpha plane"], "RGBA", 0),
    ("tif", "1", ["bits per pixel: 1"], "RGBA", 0),
    ("tif", "4", ["bits per pixel: 4"], "RGBA", 0),
    ("tif", "8 palette", ["bits per pixel: 8"], "RGBA", 0),
    ("tif", "8 grey", ["bits per pixel: 8"], "RGBA", 0),
    ("tif", "24", ["bits per pixel: 24"], "RGBA", 8),  # JPEG compression by default
    ("tif", "24 alpha", ["bits per pixel: 24", "transparency: alpha plane"], "RGBA", 8),
    ("jpg", "8 grey", ["bits per pixel: 8"], "RGBA", 8),
    ("jpg", "24", ["bits per pixel: 24"], "RGBA", 8),
]

# Depths a format cannot hold: the conversion fails with this message and
# leaves no file behind.
REFUSED = [
    ("tga", "1", WIDTH, "Bit depth must be 8 or 24"),
    ("tga", "4", WIDTH, "Bit depth must be 8 or 24"),
    ("pcx", "1", WIDTH, "Bit depth must be 8 or 24"),
    ("pcx", "4", WIDTH, "Bit depth must be 8 or 24"),
    ("wbmp", "8 grey", WIDTH, "Can't save this image as WBMP"),
    ("wbmp", "24", WIDTH, "Can't save this image as WBMP"),
    ("wbmp", "1", 256, "Can't save this image as WBMP"),
    ("jpg", "8 palette", WIDTH, "JPEG can save only RGB or GreyScale images"),
]


def stem_of(fmt, kind, width=WIDTH):
    return os.path.join(WORK, "%s_%s_%d" % (fmt, kind.replace(" ", "_"), width))


def write_source(kind, width=WIDTH, stem=None):
    image, options = source(kind, width)
    original = stem + "_source.png"
    image.save(original, **options)
    return original


def round_trip(fmt, kind, expected, channels, tolerance):
    stem = stem_of(fmt, kind)
    original = write_source(kind, stem=stem)
    converted, back = stem + "." + fmt, stem + "_back.png"
    status, _, error = rximage("convert", original, converted, "--quality", "95")
    if status != 0:
        return "convert: %s" % error
    status, info, error = rximage("info", converted)
    if status != 0:
        return "info: %s" % error
    missing = [line for line in expected if not re.search("^%s$" % re.escape(line), info, re.M)]
    if missing:
        return "info lacks %s: %s" % (missing, info.replace("\n", "; "))
    last = str(frames_of(info) - 1) if frames_of(info) > 1 else "0"
    status, _, error = rximage("convert", converted, back, "--frame", last)
    if status != 0:
        return "convert back: %s" % error
    with Image.open(original) as a, Image.open(back) as b:
        return compare(a, b, tolerance, channels)


def refused(fmt, kind, width, message):
    stem = stem_of(fmt, kind, width)
    original = write_source(kind, width, stem=stem)
    converted = stem + "." + fmt
    status, _, error = rximage("convert", original, converted)
    if status != 1 or not error.endswith(": " + message):
        return "status %d, message %r" % (status, error)
    if os.path.exists(converted):
        return "a file was left behind"
    return None


failures = []
for fmt, kind, expected, channels, tolerance in CASES:
    problem = round_trip(fmt, kind, expected, channels, tolerance)
    if problem:
        failures.append("%s %s: %s" % (fmt, kind, problem))
for fmt, kind, width, message in REFUSED:
    problem = refused(fmt, kind, width, message)
    if problem:
        failures.append("%s %s (%d wide) refused: %s" % (fmt, kind, width, problem))

for failure in failures:
    print("FAIL", failure)
print("%d round trips, %d refusals, %d failed" % (len(CASES), len(REFUSED), len(failures)))
sys.exit(1 if failures else 0)

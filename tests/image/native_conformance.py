#!/usr/bin/python3
"""Conformance of the BMP, GIF, TGA and PCX codecs against an independent
implementation (Pillow, Debian's python3-pil).

Usage: native_conformance.py RXIMAGE [--keep]

Every conversion goes through `RXIMAGE convert IN OUT [--frame N] [--option N]`,
which loads IN by content and saves it in the format of OUT's extension,
exiting with 1 and a message on failure.

1. Decoding: Pillow writes every variant it can make of each format, and this
   script writes the variants Pillow reads but does not write (RLE4, RLE8,
   16-bit bit fields, top-down rows, OS/2 headers, 16-bit TGA). Each file is
   converted to BMP by rximage and Pillow compares the pixels with its own
   reading of the file.
2. Encoding: each decoded picture is written back in its format (GIF with every
   body coder) and Pillow must read the same pixels from it.
3. Malformed input: truncated and corrupted copies must be refused with a
   message (exit status 1), never a crash or sanitizer report.
"""

import concurrent.futures
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image

RXIMAGE = sys.argv[1]
KEEP = "--keep" in sys.argv
WORK = tempfile.mkdtemp(prefix="native-conformance-")
ENV = dict(os.environ, ASAN_OPTIONS="exitcode=99:detect_leaks=1", UBSAN_OPTIONS="halt_on_error=1:exitcode=98")
failures = []
compared = []


def fail(name, text):
    failures.append(f"{name}: {text}")


def path(name):
    return os.path.join(WORK, name)


def convert(src, dst, *extra):
    result = subprocess.run([RXIMAGE, "convert", src, dst, *extra], capture_output=True, text=True, env=ENV, timeout=120)
    return result.returncode, result.stderr.strip()


def reference(file_name, frame=0, shift=0):
    """Size and RGB bytes of a picture as Pillow reads it."""
    with Image.open(file_name) as im:
        if frame:
            im.seek(frame)
        rgb = im.convert("RGB")
        data = rgb.tobytes()
    if shift:
        data = bytes(b >> shift for b in data)
    return rgb.size, data


def frame_count(file_name):
    with Image.open(file_name) as im:
        return getattr(im, "n_frames", 1)


def same(name, expected, got):
    compared.append(name)
    if expected[0] != got[0]:
        fail(name, f"size {got[0]}, expected {expected[0]}")
        return False
    if expected[1] != got[1]:
        index = next(i for i in range(len(got[1])) if got[1][i] != expected[1][i])
        width = expected[0][0]
        pixel = index // 3
        fail(name, f"pixel ({pixel % width}, {pixel // width}) channel {index % 3}: "
                   f"{got[1][index]} instead of {expected[1][index]}")
        return False
    return True


# ---------------------------------------------------------------- test pictures

def gradient(width, height, seed):
    rnd = random.Random(seed)
    im = Image.new("RGB", (width, height))
    im.putdata([((x * 255) // max(width - 1, 1), (y * 255) // max(height - 1, 1),
                 (x * y + rnd.randrange(40)) & 255) for y in range(height) for x in range(width)])
    return im


def blocks(width, height, colours, seed):
    """Flat areas and runs: what run-length and LZW coders meet in drawings."""
    rnd = random.Random(seed)
    im = Image.new("P", (width, height))
    palette = []
    for i in range(256):
        palette += [rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)]
    im.putpalette(palette)
    data = []
    for y in range(height):
        value = rnd.randrange(colours)
        for x in range(width):
            if rnd.random() < 0.15:
                value = rnd.randrange(colours)
            data.append(value)
    im.putdata(data)
    return im


SIZES = [(1, 1), (37, 23), (160, 121)]


def pictures():
    """(name, image) pairs in every mode the formats hold."""
    for w, h in SIZES:
        tag = f"{w}x{h}"
        rgb = gradient(w, h, w)
        yield f"rgb-{tag}", rgb
        yield f"rgba-{tag}", Image.merge("RGBA", (*rgb.split(), rgb.convert("L").point(lambda v: 255 - v)))
        yield f"l-{tag}", rgb.convert("L")
        yield f"one-{tag}", rgb.convert("L").point(lambda v: 255 if v > 100 else 0).convert("1")
        yield f"p256-{tag}", rgb.quantize(256)
        yield f"p16-{tag}", blocks(w, h, 16, h)
        yield f"p2-{tag}", blocks(w, h, 2, h + 1)


# ---------------------------------------------------------------- hand-made files

def bmp_file(width, height, bits, pixel_rows, palette=(), compression=0, masks=(), core=False, top_down=False):
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        pal = b"".join(bytes((b, g, r)) for r, g, b in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, compression,
                           len(pixel_rows), 2835, 2835, len(palette), 0)
        pal = b"".join(struct.pack("<I", m) for m in masks) + b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + len(info) + len(pal)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixel_rows), 0, 0, offset) + info + pal + pixel_rows


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def rle8(rows, width):
    """Runs, absolute runs (odd and even), end of line and end of bitmap."""
    out = bytearray()
    for row in rows:
        x = 0
        while x < width:
            run = 1
            while x + run < width and run < 255 and row[x + run] == row[x]:
                run += 1
            if run >= 3 or width - x < 3:
                out += bytes((run, row[x]))
                x += run
                continue
            n = 3
            while x + n < width and n < 255 and not (x + n + 2 < width and row[x + n] == row[x + n + 1] == row[x + n + 2]):
                n += 1
            out += bytes((0, n)) + bytes(row[x:x + n]) + (b"\0" if n & 1 else b"")
            x += n
        out += b"\0\0"
    return bytes(out) + b"\0\1"


def rle4(rows, width):
    """Two-colour runs and absolute nibble runs."""
    out = bytearray()
    for row in rows:
        x = 0
        while x < width:
            if x % 7 == 0 and width - x >= 4:
                n = min(width - x, 12)
                nibbles = row[x:x + n]
                data = bytes((nibbles[i] << 4) | (nibbles[i + 1] if i + 1 < n else 0) for i in range(0, n, 2))
                out += bytes((0, n)) + data + (b"\0" if len(data) & 1 else b"")
                x += n
            else:
                n = min(width - x, 2)
                out += bytes((n, (row[x] << 4) | (row[x + 1] if n > 1 else 0)))
                x += n
        out += b"\0\0"
    return bytes(out) + b"\0\1"


def handmade():
    """(name, file bytes, channel shift for comparing) of variants Pillow reads but does not write."""
    rnd = random.Random(5)
    w, h = 29, 13
    pal16 = [(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)) for _ in range(16)]
    pal256 = [(i, 255 - i, (i * 7) & 255) for i in range(256)]
    idx8 = [[(x // 3 + y) % 256 if x % 5 else rnd.randrange(256) for x in range(w)] for y in range(h)]
    idx4 = [[(x // 2 + y) % 16 for x in range(w)] for y in range(h)]
    yield "bmp-rle8", bmp_file(w, h, 8, rle8(idx8, w), pal256, compression=1), 0
    yield "bmp-rle4", bmp_file(w, h, 4, rle4(idx4, w), pal16, compression=2), 0
    yield "bmp-4bit", bmp_file(w, h, 4, b"".join(padded(bytes((r[i] << 4) | (r[i + 1] if i + 1 < w else 0)
                                                              for i in range(0, w, 2))) for r in idx4), pal16), 0
    yield "bmp-core-8bit", bmp_file(w, h, 8, b"".join(padded(bytes(r)) for r in idx8), pal256, core=True), 0
    rgb = [[(x * 9 & 255, y * 19 & 255, (x + y) * 5 & 255) for x in range(w)] for y in range(h)]
    rows24 = b"".join(padded(b"".join(bytes((b, g, r)) for r, g, b in row)) for row in rgb)
    yield "bmp-top-down", bmp_file(w, h, 24, rows24, top_down=True), 0
    v555 = [[rnd.randrange(0x8000) for _ in range(w)] for _ in range(h)]
    yield "bmp-16-555", bmp_file(w, h, 16, b"".join(padded(struct.pack(f"<{w}H", *r)) for r in v555)), 3
    v565 = [[rnd.randrange(0x10000) for _ in range(w)] for _ in range(h)]
    yield "bmp-16-565", bmp_file(w, h, 16, b"".join(padded(struct.pack(f"<{w}H", *r)) for r in v565),
                                 compression=3, masks=(0xF800, 0x07E0, 0x001F)), 3
    v32 = [[rnd.randrange(1 << 32) for _ in range(w)] for _ in range(h)]
    yield "bmp-32-fields", bmp_file(w, h, 32, b"".join(struct.pack(f"<{w}I", *r) for r in v32),
                                    compression=3, masks=(0xFF0000, 0xFF00, 0xFF)), 0
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 16, 0)
    yield "tga-16", header + b"".join(struct.pack(f"<{w}H", *r) for r in v555), 3
    yield "tga-16-rle", struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, w, h, 16, 0x20) + b"".join(
        bytes((0x80 | (w - 1),)) + struct.pack("<H", r[0]) for r in v555), 3


# ---------------------------------------------------------------- the checks

def pillow_files():
    """(name, file name, shift) for each variant Pillow writes."""
    for name, im in pictures():
        mode = im.mode
        # BMP: 1, L, P, RGB and RGBA (32 bits).
        yield f"{name}.bmp", im, {}
        # GIF: palette pictures, plain and interlaced, with and without
        # transparency; small palettes come out of optimize.
        if mode in ("P", "L", "1"):
            yield f"{name}-interlaced.gif", im, {"interlace": True}
            yield f"{name}-plain.gif", im, {"interlace": False, "optimize": True}
            if mode == "P":
                yield f"{name}-transparent.gif", im, {"transparency": 1, "comment": b"made by Pillow"}
        # TGA: every mode, plain and run-length, both row orders.
        if mode in ("L", "P", "RGB", "RGBA"):
            for rle in (False, True):
                for orientation in (-1, 1):
                    yield f"{name}-{'rle' if rle else 'raw'}{orientation}.tga", im, {"rle": rle, "orientation": orientation}
        # PCX: 1, L, P, RGB. (Pillow writes one-pixel RGB pictures with
        # scan lines shorter than their header says: not a valid file.)
        if mode in ("1", "L", "P", "RGB") and (mode != "RGB" or im.size[0] > 1):
            yield f"{name}.pcx", im, {}


def animation():
    frames = [gradient(40, 30, s).quantize(64) for s in range(3)]
    frames[1] = frames[1].crop((5, 5, 25, 20))
    name = path("animation.gif")
    canvas = [frames[0]]
    for i in (1, 2):
        canvas.append(frames[i])
    frames[0].save(name, save_all=True, append_images=frames[1:], duration=[40, 50, 60], loop=0, disposal=1)
    return name


def check_decode(name, file_name, shift, frames=1):
    for frame in range(frames):
        out = path(f"{name}.frame{frame}.decoded.bmp")
        rc, err = convert(file_name, out, "--frame", str(frame))
        if rc != 0:
            fail(name, f"frame {frame} not decoded ({rc}): {err}")
            return None
        if not same(f"{name} frame {frame}", reference(file_name, frame, shift), reference(out, 0, shift)):
            return None
    return path(f"{name}.frame0.decoded.bmp")


def check_encode(name, decoded, extension, options=()):
    out = path(f"{name}.again{''.join(options)}.{extension}")
    rc, err = convert(decoded, out, *options)
    if rc != 0:
        fail(name, f"not encoded as {extension} {options}: {err}")
        return
    # A true-colour GIF is a stack of tiles: Pillow shows the whole picture at the last one.
    last = frame_count(out) - 1
    same(f"{name} encoded as {extension} {options}", reference(decoded), reference(out, last))


def check_malformed(name, file_name):
    data = open(file_name, "rb").read()
    rnd = random.Random(name)
    variants = [("cut-half", data[:len(data) // 2]), ("cut-header", data[:min(len(data) - 1, 20)])]
    for i in range(2):
        broken = bytearray(data)
        for _ in range(1 + i * 3):
            broken[rnd.randrange(len(broken))] = rnd.randrange(256)
        variants.append((f"flipped{i}", bytes(broken)))
    for tag, content in variants:
        bad = path(f"{name}.{tag}.{name.rsplit('.', 1)[-1]}")
        with open(bad, "wb") as f:
            f.write(content)
        rc, err = convert(bad, path(f"{name}.{tag}.out.bmp"))
        if rc not in (0, 1) or (rc == 1 and not err):
            fail(f"{name} {tag}", f"exit status {rc}, message {err!r}")


def check_pillow_file(name, im, options):
    file_name = path(name)
    im.save(file_name, **options)
    decoded = check_decode(name, file_name, 0)
    if "37x23" in name:
        check_malformed(name, file_name)
    if not decoded:
        return
    extension = name.rsplit(".", 1)[1]
    if extension == "gif":
        for option in ("0", "1", "2"):
            check_encode(name, decoded, "gif", ("--option", option))
    elif extension == "pcx" and im.mode == "1":
        # The PCX encoder writes 8 and 24 bits only.
        rc, err = convert(decoded, path(name + ".again.pcx"))
        if rc != 1 or err.split(": ", 1)[-1] != "Bit depth must be 8 or 24":
            fail(name, f"1-bit picture written as PCX: {rc} {err}")
    else:
        check_encode(name, decoded, extension)
    # Every picture also goes through the BMP and GIF encoders.
    check_encode(name, decoded, "bmp")
    if extension != "gif":
        check_encode(name, decoded, "gif", ("--option", "2"))


def main():
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for future in [pool.submit(check_pillow_file, *job) for job in pillow_files()]:
            future.result()

    for name, content, shift in handmade():
        file_name = path(name + (".tga" if name.startswith("tga") else ".bmp"))
        with open(file_name, "wb") as f:
            f.write(content)
        check_decode(name, file_name, shift)
        check_malformed(os.path.basename(file_name), file_name)

    anim = animation()
    check_decode("animation", anim, 0, frames=frame_count(anim))
    check_malformed("animation.gif", anim)

    print(f"{len(compared)} pictures compared with Pillow, {len(failures)} failures")
    for f in failures:
        print("FAIL", f)
    if not KEEP:
        shutil.rmtree(WORK)
    else:
        print("files kept in", WORK)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

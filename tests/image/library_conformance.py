#!/usr/bin/env python3
"""Writes JPEG, PNG and TIFF files made by independent encoders (Pillow, the
libtiff tools, and a small interlaced PNG writer below) into a directory,
with the pixels Pillow decodes from each, for the codec conformance test.

manifest.txt, one file per line:
  name reference width height tolerance expect frame
reference is a raw RGBA file (top row first) or "-"; expect is "ok" (must
decode and match), "fail" (must be refused) or "any" (must not crash).
"""
import io
import os
import shutil
import struct
import subprocess
import sys
import zlib

from PIL import Image

OUT = sys.argv[1]
os.makedirs(OUT, exist_ok=True)
manifest = []


def pattern(mode, size=(37, 23)):
    """A picture with gradients, edges and every corner distinct."""
    w, h = size
    rgba = Image.new("RGBA", size)
    px = rgba.load()
    for y in range(h):
        for x in range(w):
            px[x, y] = ((x * 7 + y * 3) % 256, (y * 11) % 256, (x * y) % 256, (x * 13 + 40) % 256)
    if mode == "RGBA":
        return rgba
    if mode == "LA":
        return rgba.convert("LA")
    if mode == "P":
        return rgba.convert("RGB").quantize(200)
    return rgba.convert(mode)


def reference(name, image, frame=0, tolerance=0, flatten=None):
    if image.mode == "I" or image.mode.startswith("I;16"):
        # 16-bit samples keep their high byte (Pillow would clip them).
        image = Image.frombytes("L", image.size, bytes(v >> 8 for v in image.getdata()))
    rgba = image.convert("RGBA")
    if flatten is not None:
        bg = Image.new("RGBA", rgba.size, flatten + (255,))
        mask = rgba.getchannel("A").point(lambda a: 255 if a else 0)
        bg.paste(rgba, (0, 0), mask)
        rgba = bg
    ref = "%s.%d.rgba" % (name, frame)
    with open(os.path.join(OUT, ref), "wb") as f:
        f.write(rgba.tobytes())
    manifest.append("%s %s %d %d %d ok %d" % (name, ref, rgba.width, rgba.height, tolerance, frame))


def save(name, image, tolerance=0, flatten=None, **options):
    image.save(os.path.join(OUT, name), **options)
    # The reference is what Pillow reads back from the file itself.
    with Image.open(os.path.join(OUT, name)) as decoded:
        decoded.load()
        if decoded.mode == "CMYK":
            reference_cmyk(name, decoded, tolerance)
        else:
            reference(name, decoded, tolerance=tolerance, flatten=flatten)


def reference_cmyk(name, decoded, tolerance, jpeg=True):
    # Colour = stored ink value x stored black / 255 for JPEG (Adobe files
    # store inverted inks); libtiff's reader uses (255 - ink) x (255 - black).
    out = Image.new("RGBA", decoded.size)
    src = decoded.load()
    dst = out.load()
    for y in range(decoded.height):
        for x in range(decoded.width):
            c, m, yy, k = src[x, y]
            dst[x, y] = tuple((255 - v) * (255 - k) // 255 for v in (c, m, yy)) + (255,)
    reference(name, out, tolerance=tolerance)


def damaged(name, data, expect="any"):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    manifest.append("%s - 0 0 0 %s 0" % (name, expect))


# --- PNG
for mode in ("1", "L", "LA", "P", "RGB", "RGBA", "I;16"):
    image = pattern(mode if mode != "I;16" else "L")
    if mode == "I;16":
        image = image.point(lambda v: v * 257, "I").convert("I;16")
    save("png_%s.png" % mode.replace(";", ""), image)
for bits in (1, 2, 4):
    image = pattern("RGB").quantize(1 << bits)
    save("png_P%d.png" % bits, image, bits=bits)
p = pattern("P")
save("png_P_trans_single.png", p, transparency=0)
save("png_P_trans_table.png", p, transparency=bytes([0, 64, 128, 200]))
save("png_L_key.png", pattern("L"), transparency=128, flatten=(192, 192, 192))
save("png_RGB_key.png", pattern("RGB"), transparency=(0, 0, 0), flatten=(192, 192, 192))
save("png_dpi.png", pattern("RGB"), dpi=(300, 300))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def interlaced_png(image, grey_bits=None):
    """Adam7 interlaced PNG of an RGB image, or of a grey image at 4 bits."""
    w, h = image.size
    px = image.load()
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    raw = b""
    for x0, y0, dx, dy in passes:
        xs = list(range(x0, w, dx))
        if not xs:
            continue
        for y in range(y0, h, dy):
            if grey_bits:
                vals = [px[x, y] >> (8 - grey_bits) for x in xs]
                row = bytearray((len(vals) * grey_bits + 7) // 8)
                for i, v in enumerate(vals):
                    bit = i * grey_bits
                    row[bit // 8] |= v << (8 - grey_bits - bit % 8)
            else:
                row = bytearray()
                for x in xs:
                    row += bytes(px[x, y])
            raw += b"\0" + bytes(row)
    colour = 0 if grey_bits else 2
    depth = grey_bits or 8
    header = struct.pack(">IIBBBBB", w, h, depth, colour, 0, 0, 1)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


for name, data in (("png_interlaced_rgb.png", interlaced_png(pattern("RGB"))),
                   ("png_interlaced_grey4.png", interlaced_png(pattern("L"), grey_bits=4))):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
    with Image.open(os.path.join(OUT, name)) as decoded:
        decoded.load()
        reference(name, decoded)

good_png = open(os.path.join(OUT, "png_RGB.png"), "rb").read()
damaged("png_truncated.png", good_png[: len(good_png) // 2])
bad_crc = bytearray(good_png)
bad_crc[40] ^= 0x55
damaged("png_bad_idat.png", bytes(bad_crc))
damaged("png_header_only.png", good_png[:33], "fail")

# --- JPEG
save("jpeg_L.jpg", pattern("L"), tolerance=2, quality=90)
save("jpeg_RGB_420.jpg", pattern("RGB"), tolerance=2, quality=90, subsampling=2)
save("jpeg_RGB_444.jpg", pattern("RGB"), tolerance=2, quality=90, subsampling=0)
save("jpeg_progressive.jpg", pattern("RGB"), tolerance=2, quality=85, progressive=True)
save("jpeg_CMYK.jpg", pattern("CMYK"), tolerance=2, quality=95)
exif = Image.Exif()
exif[0x0112] = 3
exif[0x010F] = "Conformance"
exif[0x011A] = 240.0
exif[0x011B] = 240.0
exif[0x0128] = 2
save("jpeg_exif.jpg", pattern("RGB"), tolerance=2, quality=90, exif=exif.tobytes())
good_jpeg = open(os.path.join(OUT, "jpeg_RGB_444.jpg"), "rb").read()
damaged("jpeg_truncated.jpg", good_jpeg[: len(good_jpeg) * 2 // 3])
damaged("jpeg_header_only.jpg", good_jpeg[:100], "fail")

# --- TIFF
save("tiff_1_g4.tif", pattern("1"), compression="group4")
save("tiff_L_lzw.tif", pattern("L"), compression="tiff_lzw")
save("tiff_P.tif", pattern("P"))
save("tiff_RGB_packbits.tif", pattern("RGB"), compression="packbits")
save("tiff_RGBA_deflate.tif", pattern("RGBA"), compression="tiff_deflate")
save("tiff_CMYK.tif", pattern("CMYK"), tolerance=1)
save("tiff_I16.tif", pattern("L").point(lambda v: v * 257, "I").convert("I;16"))
save("tiff_RGB_jpeg.tif", pattern("RGB", (48, 32)), tolerance=12, compression="jpeg", quality=95)

pages = [pattern("RGB"), pattern("L", (20, 30)), pattern("1", (50, 10))]
pages[0].save(os.path.join(OUT, "tiff_pages.tif"), save_all=True, append_images=pages[1:], compression="tiff_lzw")
for frame, page in enumerate(pages):
    reference("tiff_pages.tif", page, frame=frame)

# The libtiff tools: tiles, group 4, JPEG and LZW recoding, bilevel conversion.
tools = shutil.which("tiffcp") is not None
if tools:
    jobs = [
        ("tiffcp_tiled_rgb.tif", ["tiffcp", "-t", "-w", "16", "-l", "16", "-c", "lzw"], "tiff_RGB_packbits.tif", 0),
        ("tiffcp_tiled_grey.tif", ["tiffcp", "-t", "-w", "16", "-l", "16"], "tiff_L_lzw.tif", 0),
        ("tiffcp_tiled_cmyk.tif", ["tiffcp", "-t", "-w", "16", "-l", "16"], "tiff_CMYK.tif", 1),
        ("tiffcp_g4.tif", ["tiffcp", "-c", "g4"], "tiff_1_g4.tif", 0),
        ("tiffcp_jpeg.tif", ["tiffcp", "-c", "jpeg:95", "-r", "16"], "tiff_RGB_jpeg.tif", 12),
        ("tiffcp_lzw_predictor.tif", ["tiffcp", "-c", "lzw:2"], "tiff_RGB_packbits.tif", 0),
        ("tiffcp_strip1.tif", ["tiffcp", "-r", "1", "-c", "zip"], "tiff_P.tif", 0),
    ]
    for name, command, source, tolerance in jobs:
        target = os.path.join(OUT, name)
        subprocess.run(command + [os.path.join(OUT, source), target], check=True)
        with Image.open(target) as decoded:
            decoded.load()
            if decoded.mode == "CMYK":
                reference_cmyk(name, decoded, tolerance)
            else:
                reference(name, decoded, tolerance=tolerance)
    target = os.path.join(OUT, "tiff2bw.tif")
    subprocess.run(["tiff2bw", os.path.join(OUT, "tiff_RGB_packbits.tif"), target], check=True)
    with Image.open(target) as decoded:
        decoded.load()
        reference("tiff2bw.tif", decoded)

good_tiff = open(os.path.join(OUT, "tiff_L_lzw.tif"), "rb").read()
damaged("tiff_truncated.tif", good_tiff[: len(good_tiff) // 2])
damaged("tiff_header_only.tif", good_tiff[:8], "fail")

with open(os.path.join(OUT, "manifest.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")

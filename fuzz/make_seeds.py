#!/usr/bin/env python3
"""Writes the small seed files of the native image decoders and of the PDF
load into fuzz/corpus/<target>/: a few valid pictures per format in the
layouts the decoders distinguish (depths, compressions, orientation), and
PDFs with the features a first page commonly uses. Run it again after a
change here; the files are kept in the repository."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def save(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bmp(width, height, bpp, compression=0, pixels=None, top_down=False, masks=b""):
    palette = b"".join(bytes((i * 37 % 256, i * 91 % 256, i * 13 % 256, 0)) for i in range(1 << bpp)) if bpp <= 8 else b""
    row = (width * bpp + 31) // 32 * 4
    if pixels is None:
        pixels = bytes((x * 7 + y * 3) % 256 for y in range(height) for x in range(row))
    offset = 14 + 40 + len(masks) + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp, compression,
                       len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + masks + palette + pixels


def bmp_seeds():
    save("fuzz_bmp", "rgb24.bmp", bmp(5, 3, 24))
    save("fuzz_bmp", "pal8_topdown.bmp", bmp(6, 4, 8, top_down=True))
    save("fuzz_bmp", "pal4.bmp", bmp(7, 3, 4))
    save("fuzz_bmp", "mono.bmp", bmp(9, 2, 1))
    save("fuzz_bmp", "rgb565.bmp", bmp(4, 2, 16, 3, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
    save("fuzz_bmp", "bgra32.bmp", bmp(3, 3, 32))
    # RLE8: a run, an absolute run, a delta, end of line, end of bitmap.
    rle8 = bytes([3, 5, 0, 3, 1, 2, 3, 0, 0, 2, 1, 1, 0, 0, 2, 9, 0, 1])
    save("fuzz_bmp", "rle8.bmp", bmp(6, 3, 8, 1, pixels=rle8))
    rle4 = bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 3, 0x78, 0, 1])
    save("fuzz_bmp", "rle4.bmp", bmp(5, 2, 4, 2, pixels=rle4))
    core = struct.pack("<IHHHH", 12, 3, 2, 1, 24)
    pixels = bytes(range(24))
    save("fuzz_bmp", "os2_core.bmp", b"BM" + struct.pack("<IHHI", 26 + len(pixels), 0, 0, 26) + core + pixels)


def gif_codes(codes, size):
    """Packs LZW codes least significant bit first, widening as a decoder would."""
    out, acc, bits = bytearray(), 0, 0
    clear = 1 << size
    width, next_code = size + 1, clear + 2
    for code in codes:
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
        if code == clear:
            width, next_code = size + 1, clear + 2
        elif code != clear + 1:
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
    if bits:
        out.append(acc & 0xFF)
    blocks = bytearray([size])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks) + b"\0"


def gif_frame(left, top, width, height, size, interlace=False, local=None, control=None):
    pixels = [(x + y) % (1 << size) for y in range(height) for x in range(width)]
    clear = 1 << size
    # Literal codes with a clear before the table would need a wider code.
    codes, run = [clear], 0
    for p in pixels:
        codes.append(p)
        run += 1
        if run == (1 << (size + 1)) - clear - 3:
            codes.append(clear)
            run = 0
    codes.append(clear + 1)
    head = b""
    if control is not None:
        disposal, transparent = control
        head = b"\x21\xf9\x04" + bytes([(disposal << 2) | (1 if transparent is not None else 0)]) + \
            struct.pack("<H", 5) + bytes([transparent or 0, 0])
    flags = (0x40 if interlace else 0)
    table = b""
    if local:
        flags |= 0x80 | (size - 1)
        table = local
    return head + b"\x2c" + struct.pack("<HHHH", left, top, width, height) + bytes([flags]) + table + \
        gif_codes(codes, size)


def palette(entries):
    return b"".join(bytes((i * 50 % 256, i * 90 % 256, i * 20 % 256)) for i in range(entries))


def gif_seeds():
    screen = lambda w, h, size: b"GIF89a" + struct.pack("<HH", w, h) + bytes([0x80 | (size - 1), 0, 0]) + palette(1 << size)
    save("fuzz_gif", "one_frame.gif",
         b"\0\0" + screen(6, 5, 2) + gif_frame(0, 0, 6, 5, 2) + b";")
    save("fuzz_gif", "interlaced.gif",
         b"\0\0" + screen(4, 9, 3) + gif_frame(0, 0, 4, 9, 3, interlace=True) + b";")
    comment = b"\x21\xfe\x05hello\0"
    loop = b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\0"
    frames = gif_frame(0, 0, 5, 5, 2, control=(1, None)) + gif_frame(1, 1, 2, 3, 2, local=palette(4), control=(1, 2))
    save("fuzz_gif", "animation.gif", b"\x01\x01" + screen(5, 5, 2) + loop + comment + frames + b";")
    save("fuzz_gif", "eight_bits.gif", b"\x00\x02" + screen(20, 3, 8) + gif_frame(0, 0, 20, 3, 8) + b";")


def tga(width, height, depth, image_type, descriptor=0, colour_map=b"", data=None):
    cmap_type = 1 if colour_map else 0
    header = struct.pack("<BBBHHBHHHHBB", 0, cmap_type, image_type, 0, len(colour_map) // 3 if colour_map else 0,
                         24 if colour_map else 0, 0, 0, width, height, depth, descriptor)
    if data is None:
        data = bytes((i * 11) % 256 for i in range(width * height * ((depth + 7) // 8)))
    return header + colour_map + data


def tga_seeds():
    save("fuzz_tga", "rgb24.tga", tga(4, 3, 24, 2))
    save("fuzz_tga", "rgba32_top.tga", tga(3, 3, 32, 2, descriptor=0x28))
    save("fuzz_tga", "rgb16_mirrored.tga", tga(3, 2, 16, 2, descriptor=0x10))
    save("fuzz_tga", "mapped.tga", tga(4, 2, 8, 1, colour_map=palette(8), data=bytes(i % 8 for i in range(8))))
    save("fuzz_tga", "grey.tga", tga(5, 2, 8, 3))
    # Run-length: a repeated pixel, then raw pixels.
    rle = bytes([0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9, 0x80, 10, 11, 12])
    save("fuzz_tga", "rle24.tga", tga(3, 2, 24, 10, data=rle))


def pcx(width, height, planes, bits, rows, tail=b""):
    bytes_per_line = (width * bits + 15) // 16 * 2
    header = struct.pack("<BBBBHHHHHH", 10, 5, 1, bits, 0, 0, width - 1, height - 1, 72, 72)
    header += palette(16) + bytes([0, planes]) + struct.pack("<HH", bytes_per_line, 1) + bytes(58)
    data = bytearray()
    for y in range(height):
        for p in range(planes):
            line = bytes(((x + y + p) * 9) % 256 for x in range(bytes_per_line))
            for b in line:
                if b >= 192:
                    data += bytes([0xC1])
                data.append(b)
    return header + bytes(data) + tail


def pcx_seeds():
    save("fuzz_pcx", "rgb.pcx", pcx(5, 3, 3, 8, None))
    save("fuzz_pcx", "rgba.pcx", pcx(3, 2, 4, 8, None))
    save("fuzz_pcx", "pal8.pcx", pcx(4, 3, 1, 8, None, b"\x0c" + palette(256)))
    save("fuzz_pcx", "planes4x1.pcx", pcx(9, 2, 4, 1, None))
    save("fuzz_pcx", "mono.pcx", pcx(10, 2, 1, 1, None))


def wbmp_seeds():
    save("fuzz_wbmp", "small.wbmp", bytes([0, 0, 9, 3]) + bytes([0xA5, 0x80, 0x0F, 0x00, 0xFF, 0x80]))
    save("fuzz_wbmp", "wide.wbmp", bytes([0, 0, 127, 2]) + bytes(range(32)))


def pdf(objects, trailer_extra=b""):
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R%s >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, trailer_extra, xref)
    return bytes(out)


def stream(data, compress=False):
    if compress:
        data = zlib.compress(data)
        return b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(data) + data + b"\nendstream"
    return b"<< /Length %d >>\nstream\n" % len(data) + data + b"\nendstream"


def pdf_seeds():
    drawing = b"0 0 1 rg 20 20 200 100 re f 1 0 0 RG 4 w 10 10 m 300 400 l S"
    save("fuzz_load_document", "one_page.pdf", pdf([
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R >>",
        stream(drawing)]))
    text = b"BT /F1 24 Tf 50 700 Td (Hello) Tj ET q 0.5 0 0 0.5 100 100 cm 0 1 0 rg 0 0 50 50 re f Q"
    save("fuzz_load_document", "text_rotated_two_pages.pdf", pdf([
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 /Resources << /Font << /F1 6 0 R >> >> >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 400 300] /Rotate 90 /Contents 4 0 R >>",
        stream(text, compress=True),
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /CropBox [10 10 150 150] /Contents 4 0 R >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]))
    image = bytes((x * 16) % 256 for x in range(4 * 4 * 3))
    save("fuzz_load_document", "image.pdf", pdf([
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents 4 0 R "
        b"/Resources << /XObject << /Im1 5 0 R >> >> >>",
        stream(b"q 80 0 0 80 10 10 cm /Im1 Do Q"),
        b"<< /Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceRGB /BitsPerComponent 8 "
        b"/Length %d >>\nstream\n" % len(image) + image + b"\nendstream"]))


def operations_seeds():
    # Width, height, depth choice, then pixel and palette bytes, then steps
    # (an operation byte and its operands) through the whole list once.
    picture = bytes([9, 7, 3]) + bytes((i * 29) % 256 for i in range(9 * 7 * 3))
    steps = b"".join(bytes([op]) + bytes([(op * 37 + k) % 256 for k in range(16)]) for op in range(34))
    save("fuzz_operations", "every_step", picture + steps[:200])
    save("fuzz_operations", "palette_steps", bytes([12, 5, 2]) + bytes(range(60)) + bytes(1024) + steps[200:])


if __name__ == "__main__":
    bmp_seeds()
    gif_seeds()
    tga_seeds()
    pcx_seeds()
    wbmp_seeds()
    pdf_seeds()
    operations_seeds()

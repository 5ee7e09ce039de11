#!/usr/bin/python3
"""Draws the library's artwork and writes it as Windows BMP, ICO and CUR files.

Run from anywhere: python3 resources/artwork/make_artwork.py [--preview DIR]
The outputs land beside this script and are committed; --preview also writes
enlarged PNG copies for looking at them. Needs Pillow (python3-pil) for the
drawing only; the file formats are written here byte by byte.
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = "/usr/share/fonts/truetype/liberation/"

WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)

# ---------------------------------------------------------------------------
# File formats


def row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def pack_rows(img, bits, palette_index=None):
    """Bottom-up rows of an RGB (24), RGBA (32) or paletted (1/4/8) image."""
    w, h = img.size
    px = img.load()
    stride = row_stride(w, bits)
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        if bits == 24:
            for x in range(w):
                r, g, b = px[x, y][:3]
                row += bytes((b, g, r))
        elif bits == 32:
            for x in range(w):
                r, g, b, a = px[x, y]
                row += bytes((b, g, r, a))
        else:
            acc, n = 0, 0
            for x in range(w):
                acc = (acc << bits) | palette_index(px[x, y])
                n += bits
                if n == 8:
                    row.append(acc)
                    acc, n = 0, 0
            if n:
                row.append(acc << (8 - n))
        row += bytes(stride - len(row))
        out += row
    return bytes(out)


def info_header(width, height, bits, image_size, colours_used=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       2835, 2835, colours_used, 0)


def palette_bytes(colours):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in colours)


def bmp_file(dib):
    offset = 14 + 40 + (len(dib) - 40 - dib_pixels_size(dib))
    return struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, offset) + dib


def dib_pixels_size(dib):
    return struct.unpack_from("<I", dib, 20)[0]


def write_bmp24(path, img):
    img = img.convert("RGB")
    pixels = pack_rows(img, 24)
    dib = info_header(img.width, img.height, 24, len(pixels)) + pixels
    write(path, bmp_file(dib))
    check_read_back(path, img)


def check_read_back(path, expected, mode="RGB"):
    """Decodes the written file with an independent reader and compares pixels."""
    with Image.open(os.path.join(HERE, path)) as got:
        got = got.convert(mode)
        if got.size != expected.size or list(got.getdata()) != list(expected.convert(mode).getdata()):
            raise SystemExit("%s: the file does not read back as drawn" % path)


def write_bmp_paletted(path, img, palette, bits):
    """img is RGB; every pixel colour must be in palette."""
    index = {c: i for i, c in enumerate(palette)}
    missing = {c for c in img.convert("RGB").getdata() if c not in index}
    if missing:
        raise ValueError("%s: colours outside the palette: %s" % (path, sorted(missing)[:5]))
    pixels = pack_rows(img.convert("RGB"), bits, lambda c: index[c])
    full = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    dib = info_header(img.width, img.height, bits, len(pixels), len(palette))
    dib += palette_bytes(full[:len(palette)]) + pixels
    write(path, bmp_file(dib))
    check_read_back(path, img)


def and_mask(img, transparent):
    """1-bit AND mask rows, bottom-up: 1 where the screen shows through."""
    w, h = img.size
    px = img.load()
    stride = row_stride(w, 1)
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if transparent(px[x, y]):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_image_32(img):
    """DIB of an RGBA image for an icon: BGRA rows plus the AND mask."""
    colour = pack_rows(img, 32)
    mask = and_mask(img, lambda p: p[3] < 128)
    header = info_header(img.width, img.height * 2, 32, len(colour) + len(mask))
    return header + colour + mask


def write_ico(path, images):
    """images: RGBA images of different sizes."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for img in images:
        dib = icon_image_32(img)
        w, h = img.size
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(dib), offset)
        blobs += dib
        offset += len(dib)
    write(path, struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)
    # The reader gives the largest image; alpha is kept as drawn.
    check_read_back(path, images[0], "RGBA")


def cursor_image(grid):
    """An RGB image of a cursor grid: black, white, and (1, 1, 1) for transparent."""
    size = len(grid)
    img = Image.new("RGB", (size, size))
    px = img.load()
    for y in range(size):
        for x in range(size):
            c = grid[y][x]
            px[x, y] = (0, 0, 0) if c == "X" else WHITE if c == "." else (1, 1, 1)
    return img


def cursor_dib(img):
    size = img.width
    # Transparent pixels: AND 1, XOR 0 (black in the colour plane).
    xor = pack_rows(img, 1, lambda c: 1 if c == WHITE else 0)
    mask = and_mask(img, lambda c: c == (1, 1, 1))
    dib = info_header(size, size * 2, 1, len(xor) + len(mask), 2)
    return dib + palette_bytes([(0, 0, 0), WHITE]) + xor + mask


def cursor_file(images):
    """images: (size, hot spot, DIB) per picture."""
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, hot_spot, dib in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 2, 0, hot_spot[0], hot_spot[1], len(dib), offset)
        blobs += dib
        offset += len(dib)
    return struct.pack("<HHH", 0, 2, len(images)) + entries + blobs


def write_cur(path, pictures):
    """pictures: (grid, hot spot) per size; a grid is square rows of 'X' black,
    '.' white and anything else transparent."""
    images = [(len(grid), hot_spot, cursor_dib(cursor_image(grid))) for grid, hot_spot in pictures]
    write(path, cursor_file(images))
    for index, (grid, _) in enumerate(pictures):
        check_cursor(path, index, grid)
        img = cursor_image(grid)
        preview_image = Image.new("RGB", img.size, (0, 160, 160))
        preview_image.paste(img, mask=Image.eval(img.convert("L"), lambda v: 0 if v == 1 else 255))
        preview(variant_name(path, len(grid) * 100 // 32), preview_image, 12 * 32 // len(grid))


def check_cursor(path, index, grid):
    """The colour plane through an independent reader (given the picture
    alone), the AND mask by hand."""
    size = len(grid)
    with open(os.path.join(HERE, path), "rb") as f:
        data = f.read()
    entry = 6 + 16 * index
    hot_spot = struct.unpack_from("<HH", data, entry + 4)
    length, dib = struct.unpack_from("<II", data, entry + 8)
    alone = cursor_file([(size, hot_spot, data[dib:dib + length])])
    with Image.open(io.BytesIO(alone)) as got:
        colour = got.convert("L")
    mask = dib + 40 + 8 + row_stride(size, 1) * size
    for y in range(size):
        for x in range(size):
            c = grid[y][x]
            row = mask + (size - 1 - y) * row_stride(size, 1)
            transparent = bool(data[row + x // 8] & (0x80 >> (x % 8)))
            white = colour.getpixel((x, y)) == 255
            if transparent != (c not in "X.") or white != (c == "."):
                raise SystemExit("%s: picture %d does not read back as drawn at %d,%d" % (path, index, x, y))


def write(path, data):
    with open(os.path.join(HERE, path), "wb") as f:
        f.write(data)


PREVIEW_DIR = None


def preview(path, img, scale=None):
    if not PREVIEW_DIR:
        return
    if scale is None:
        scale = max(1, min(12, 400 // max(img.size)))
    big = img.convert("RGBA")
    if big.mode == "RGBA":
        backdrop = Image.new("RGBA", big.size, (212, 208, 200, 255))
        big = Image.alpha_composite(backdrop, big)
    big = big.resize((img.width * scale, img.height * scale), Image.NEAREST)
    big.convert("RGB").save(os.path.join(PREVIEW_DIR, os.path.splitext(path)[0] + ".png"))


# ---------------------------------------------------------------------------
# Drawing helpers


# Every picture is drawn for these display scales, in percent. 100 is the
# 96-dpi picture; the others carry "@<percent>" before the extension.
SCALES = (100, 150, 200)


def variant_name(path, percent):
    if percent == 100:
        return path
    stem, ext = os.path.splitext(path)
    return "%s@%d%s" % (stem, percent, ext)


def at_scale(pixels, percent):
    """A length of the 96-dpi picture at a scale, rounded half up as the
    library rounds it, so that the variants have the sizes it expects."""
    return (pixels * percent + 50) // 100


def supersampled(size, factor, background, draw_fn, mode="RGB", percent=100):
    """Draws at factor times the size and scales down for smooth edges.
    size is the 96-dpi size; the drawing gets the factor of the scale."""
    w, h = at_scale(size[0], percent), at_scale(size[1], percent)
    big = Image.new(mode, (w * factor, h * factor), background)
    f = factor * percent // 100 if factor * percent % 100 == 0 else factor * percent / 100
    draw_fn(ImageDraw.Draw(big), f)
    return big.resize((w, h), Image.LANCZOS if mode == "RGB" else Image.BOX)


def pixel_spans(length, percent):
    """Where each source pixel lands on a scaled axis: (start, width) per
    index; at 150 % even indices take two pixels, odd ones one."""
    edges = [at_scale(i, percent) for i in range(length + 1)]
    return [(edges[i], edges[i + 1] - edges[i]) for i in range(length)]


def enlarge_pixel_art(grid, percent, outside):
    """Pixel art (rows of colours) at 150 or 200 % without a new colour.

    200 % doubles every pixel. At 150 % every other pixel is doubled; a
    line one pixel thin would then come out one or two pixels thick by
    chance, so where a doubled pixel is part of such a line only its first
    copy keeps the line and the second takes the neighbour's colour: thin
    lines stay one pixel, areas and thick strokes grow by half. Pixels of
    diagonal strokes keep both copies so that the stroke stays connected.
    """
    h, w = len(grid), len(grid[0])
    if percent == 200:
        return [[grid[y // 2][x // 2] for x in range(2 * w)] for y in range(2 * h)]
    assert percent == 150

    def at(x, y):
        return grid[y][x] if 0 <= x < w and 0 <= y < h else outside

    def in_thin_column(x, y):
        c = at(x, y)
        return at(x - 1, y) != c and at(x + 1, y) != c and (at(x, y - 1) == c or at(x, y + 1) == c)

    def in_thin_row(x, y):
        c = at(x, y)
        return at(x, y - 1) != c and at(x, y + 1) != c and (at(x - 1, y) == c or at(x + 1, y) == c)

    # The pixel where a thin line turns or ends belongs to the line as well:
    # doubled, it would stick out of the corner.
    def thin_column(x, y):
        c = at(x, y)
        return in_thin_column(x, y) or any(at(x, y + d) == c and in_thin_column(x, y + d) for d in (-1, 1))

    def thin_row(x, y):
        c = at(x, y)
        return in_thin_row(x, y) or any(at(x + d, y) == c and in_thin_row(x + d, y) for d in (-1, 1))

    # The copy given away takes the colour of the background side when the
    # line has one, so that outlines stay against the picture and keep
    # touching the lines they meet diagonally; the right and lower side
    # first, so that a line between picture and background stays straight.
    def given_away(x, y, thin, dx, dy):
        if not thin(x, y):
            return None
        if at(x - dx, y - dy) == outside and at(x + dx, y + dy) != outside:
            return 0, (x - dx, y - dy)
        return 1, (x + dx, y + dy)

    columns, rows = pixel_spans(w, percent), pixel_spans(h, percent)
    out = [[outside] * at_scale(w, percent) for _ in range(at_scale(h, percent))]
    for y, (top, height) in enumerate(rows):
        for x, (left, width) in enumerate(columns):
            column = given_away(x, y, thin_column, 1, 0) if width == 2 else None
            row = given_away(x, y, thin_row, 0, 1) if height == 2 else None
            for dy in range(height):
                for dx in range(width):
                    sx = column[1][0] if column and column[0] == dx else x
                    sy = row[1][1] if row and row[0] == dy else y
                    out[top + dy][left + dx] = at(sx, sy)
    return out


def image_grid(img):
    px = img.load()
    return [[px[x, y] for x in range(img.width)] for y in range(img.height)]


def grid_image(grid):
    img = Image.new("RGB", (len(grid[0]), len(grid)))
    px = img.load()
    for y, row in enumerate(grid):
        for x, c in enumerate(row):
            px[x, y] = c
    return img


def enlarge_pixel_image(img, percent, outside):
    if percent == 100:
        return img
    return grid_image(enlarge_pixel_art(image_grid(img), percent, outside))


def scaled(points, f, dx=0, dy=0):
    return [((x + dx) * f, (y + dy) * f) for x, y in points]


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


def pixel_art(rows, colours, background):
    """An image from strings; each character names a colour, '.' the background."""
    h, w = len(rows), max(len(r) for r in rows)
    img = Image.new("RGB", (w, h), background)
    px = img.load()
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c != "." and c != " ":
                px[x, y] = colours[c]
    return img


def arrow_polygon(x0, y_mid, length, shaft_half, head_half, head_len, direction=1):
    """A block arrow pointing right (direction 1) or left (-1) from x0."""
    d = direction
    xs = x0
    xh = x0 + d * (length - head_len)
    xt = x0 + d * length
    return [(xs, y_mid - shaft_half), (xh, y_mid - shaft_half), (xh, y_mid - head_half),
            (xt, y_mid), (xh, y_mid + head_half), (xh, y_mid + shaft_half), (xs, y_mid + shaft_half)]


# ---------------------------------------------------------------------------
# The pictures

DOC_EDGE = (96, 104, 118)
PDF_RED = (200, 30, 30)
SHEET_BLUE = (28, 78, 156)
GREEN = (46, 160, 60)
DARK_GREEN = (20, 110, 35)


def draw_document(d, f, x, y, w, h, fold, label=True, lines=4):
    """A page with a folded corner, a red PDF band and text lines."""
    body = [(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)]
    d.polygon(scaled(body, f), fill=WHITE, outline=DOC_EDGE, width=max(1, f))
    d.polygon(scaled([(x + w - fold, y), (x + w - fold, y + fold), (x + w, y + fold)], f),
              fill=(222, 226, 232), outline=DOC_EDGE, width=max(1, f))
    top = y + fold + 2
    if label:
        bh = h * 0.2
        d.rectangle(scaled([(x + 2, top), (x + w * 0.62, top + bh)], f), fill=PDF_RED)
        top += bh + 2.5
    step = (y + h - 2 - top) / max(lines, 1)
    for i in range(lines):
        ly = top + i * step + step * 0.4
        right = x + w - 3 - (w * 0.25 if i % 3 == 2 else 0)
        d.line(scaled([(x + 3, ly), (right, ly)], f), fill=(160, 166, 176), width=max(1, int(f * 1.2)))


def draw_pdf_text(d, f, x, y, size):
    d.text((x * f, y * f), "PDF", fill=WHITE, font=font("LiberationSans-Bold.ttf", int(size * f)))


def draw_sheet(d, f, x, y, w, h):
    """A drawing sheet: blue paper with a frame, a part outline, a circle and a title block."""
    d.rectangle(scaled([(x, y), (x + w, y + h)], f), fill=(236, 243, 252), outline=SHEET_BLUE, width=max(1, f))
    m = 2.5
    d.rectangle(scaled([(x + m, y + m), (x + w - m, y + h - m)], f), outline=(120, 150, 200), width=max(1, f // 2))
    # Title block in the lower right corner.
    tb = [(x + w * 0.55, y + h * 0.78), (x + w - m, y + h - m)]
    d.rectangle(scaled(tb, f), outline=SHEET_BLUE, width=max(1, f // 2))
    d.line(scaled([(x + w * 0.55, y + h * 0.78 + (h * 0.22 - m) / 2), (x + w - m, y + h * 0.78 + (h * 0.22 - m) / 2)], f),
           fill=SHEET_BLUE, width=max(1, f // 2))
    # A part: an L-shaped outline with a hole and a centre mark.
    px0, py0 = x + w * 0.14, y + h * 0.14
    pw, ph = w * 0.62, h * 0.52
    part = [(px0, py0), (px0 + pw * 0.55, py0), (px0 + pw * 0.55, py0 + ph * 0.45), (px0 + pw, py0 + ph * 0.45),
            (px0 + pw, py0 + ph), (px0, py0 + ph)]
    d.polygon(scaled(part, f), outline=SHEET_BLUE, width=max(1, int(f * 1.3)))
    cx, cy, r = px0 + pw * 0.27, py0 + ph * 0.55, min(pw, ph) * 0.2
    d.ellipse(scaled([(cx - r, cy - r), (cx + r, cy + r)], f), outline=SHEET_BLUE, width=max(1, int(f * 1.1)))
    d.line(scaled([(cx - r * 1.5, cy), (cx + r * 1.5, cy)], f), fill=(210, 60, 60), width=max(1, f // 2))
    d.line(scaled([(cx, cy - r * 1.5), (cx, cy + r * 1.5)], f), fill=(210, 60, 60), width=max(1, f // 2))
    # A dimension line under the part.
    dy = py0 + ph + h * 0.09
    d.line(scaled([(px0, dy), (px0 + pw, dy)], f), fill=(90, 120, 170), width=max(1, f // 2))
    for ex in (px0, px0 + pw):
        d.line(scaled([(ex, dy - 1.5), (ex, dy + 1.5)], f), fill=(90, 120, 170), width=max(1, f // 2))


def make_banner(percent):
    w, h = 668, 84
    f = 4
    px = lambda v: at_scale(v, percent)

    def draw(d, f):
        # A soft band at the right behind the picture.
        for i in range(200):
            t = i / 199
            c = tuple(int(255 - (255 - v) * t * 0.55) for v in (214, 228, 246))
            d.rectangle([((w - 200 + i) * f, 0), ((w - 199 + i) * f, h * f)], fill=c)
        # Document, arrow, sheet.
        draw_document(d, f, 488, 12, 44, 58, 11, lines=5)
        draw_pdf_text(d, f, 492.5, 25.3, 9.5)
        d.polygon(scaled(arrow_polygon(538, 41, 24, 4.5, 10, 11), f), fill=GREEN, outline=DARK_GREEN)
        draw_sheet(d, f, 568, 10, 84, 62)

    img = supersampled((w, h), f, WHITE, draw, percent=percent)
    # The text is drawn at the target size (hinted for it), not enlarged.
    d = ImageDraw.Draw(img)
    d.text((px(18), px(18)), "Kestrion Orvane PDF to DWG Converter", fill=(22, 52, 110),
           font=font("LiberationSans-Bold.ttf", px(21)))
    d.text((px(19), px(51)), "Convert pdf file to dwg/dxf file(s), high quality and ease of use",
           fill=(88, 96, 110), font=font("LiberationSans-Regular.ttf", px(13)))
    d.line([(px(19), px(45)), (px(260), px(45))], fill=(216, 112, 32), width=px(2))
    path = variant_name("bitmap-1004-banner.bmp", percent)
    write_bmp24(path, img)
    preview(path, img, 2 * 100 // percent or 1)


TAB_COLOURS = {
    "o": (240, 140, 20),   # star
    "y": (255, 196, 70),
    "r": (180, 80, 0),
    "k": (60, 60, 60),     # window frame
    "b": (40, 90, 190),    # title bar
    "c": (120, 170, 235),
    "g": (200, 200, 200),
    "w": (250, 250, 250),
    "e": (46, 140, 60),    # chart bars
    "E": (120, 200, 120),
    "u": (50, 110, 200),
    "U": (130, 180, 240),
    "a": (200, 60, 40),
    "A": (240, 130, 110),
    "p": (240, 190, 50),   # pencil
    "P": (170, 110, 20),
    "z": (230, 120, 150),
    "t": (235, 200, 150),
    "m": (90, 90, 90),
}

STAR = [
    "................",
    ".......r........",
    "......ryr.......",
    "......ryr.......",
    ".....ryyor......",
    "rrrrrryyorrrrrr.",
    ".ryyyyyyooooor..",
    "..ryyyyyoooor...",
    "...ryyyoooor....",
    "....ryyooor.....",
    "....ryoooor.....",
    "...ryoorooor....",
    "...ryor.roor....",
    "..ryor...roor...",
    "..rrr.....rrr...",
    "................",
]

WINDOW = [
    "................",
    "kkkkkkkkkkkkkkk.",
    "kbbbbbbbbbbbbbk.",
    "kbwwbbbbbbgbgbk.",
    "kkkkkkkkkkkkkkk.",
    "kwwwwwwwwwwwwwk.",
    "kwcccccwwwwwwwk.",
    "kwcccccwgggggwk.",
    "kwcccccwwwwwwwk.",
    "kwcccccwgggggwk.",
    "kwwwwwwwwwwwwwk.",
    "kwgggggggggggwk.",
    "kwwwwwwwwwwwwwk.",
    "kwgggggggggggwk.",
    "kwwwwwwwwwwwwwk.",
    "kkkkkkkkkkkkkkk.",
]

CHART_BARS = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "m...............",
    "m.....eE........",
    "m.....eE........",
    "m.....eE........",
    "m.uU..eE........",
    "m.uU..eE..aA....",
    "m.uU..eE..aA....",
    "m.uU..eE..aA....",
    "mmmmmmmmmmmmmmm.",
    "................",
]


def chart_with_pencil():
    """The bar chart with a pencil lying across it, point down to the left."""
    rows = [list(r) for r in CHART_BARS]
    # Along the diagonal from the eraser at the top right to the point.
    for k in range(9):
        x, y = 13 - k, 1 + k
        if k < 2:
            cells = "zzz"
        elif k < 7:
            cells = "Ppy"
        elif k == 7:
            cells = ".tt"
        else:
            cells = "..k"
        for dx, c in zip((-1, 0, 1), cells):
            if c != "." and 0 <= x + dx < 16:
                rows[y][x + dx] = c
    return ["".join(r) for r in rows]


def make_tabs(percent):
    strip = Image.new("RGB", (48, 17), WHITE)
    for i, art in enumerate((STAR, WINDOW, chart_with_pencil())):
        strip.paste(pixel_art(art, TAB_COLOURS, WHITE), (16 * i, 0))
    strip = enlarge_pixel_image(strip, percent, WHITE)
    palette = [WHITE] + sorted(set(TAB_COLOURS.values()))
    path = variant_name("bitmap-1003-tabs.bmp", percent)
    write_bmp_paletted(path, strip, palette, 8)
    preview(path, strip, 10 * 100 // percent)


def make_page_icon(size, direction):
    # The rim is one pixel up to 32 x 32 and grows with the larger sizes,
    # which are the 32 x 32 picture on 150 and 200 % screens.
    u = max(1, size / 32)

    def draw(d, f):
        s = size
        r = s * 0.2
        # Green square with rounded corners, lighter at the top.
        d.rounded_rectangle([(0.5 * u * f, 0.5 * u * f), ((s - 0.5 * u) * f, (s - 0.5 * u) * f)], radius=r * f,
                            fill=(24, 120, 40, 255))
        d.rounded_rectangle([(1.5 * u * f, 1.5 * u * f), ((s - 1.5 * u) * f, (s - 1.5 * u) * f)],
                            radius=(r - u) * f, fill=(56, 168, 70, 255))
        d.rounded_rectangle([(2 * u * f, 2 * u * f), ((s - 2 * u) * f, s * 0.5 * f)], radius=(r - 1.5 * u) * f,
                            fill=(92, 196, 100, 255))
        length = s * 0.62
        x0 = (s - length) / 2 if direction > 0 else (s + length) / 2
        pts = arrow_polygon(x0, s / 2, length, s * 0.1, s * 0.26, s * 0.3, direction)
        d.polygon(scaled(pts, f), fill=(255, 255, 255, 255))

    return supersampled((size, size), 8, (0, 0, 0, 0), draw, mode="RGBA")


# The standard 32 and 16 pixel icons and their sizes at 150 and 200 %.
ICON_SIZES = (64, 48, 32, 24, 16)


def make_icons():
    for number, name, direction in ((1000, "next-page", 1), (1001, "previous-page", -1)):
        images = [make_page_icon(size, direction) for size in ICON_SIZES]
        path = "icon-%d-%s.ico" % (number, name)
        write_ico(path, images)
        for img in images:
            preview(variant_name(path, img.width * 100 // 32) if img.width >= 32 else
                    "%s-%d.ico" % (path[:-4], img.width), img, 320 // img.width)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), MAGENTA,
         (0, 255, 255), WHITE]

CONVERT = [
    "kkkkkkkkk...........",
    "kwwwwwwwkk..........",
    "kwsssswwkfk.........",
    "kwwwwwwwkkkk........",
    "kwssssswwwwk........",
    "kwwwwwwwwwwk..D.....",
    "kwsssswwwwwk..DD....",
    "kwwwwwwwwDDDDDDgD...",
    "kwssssswwDgggggggD..",
    "kwwwwwwwwDggggggggD.",
    "kwsssswwwDGGGGGGGD..",
    "kwwwwwwwwDDDDDDGD...",
    "kwssssswwwwk..DD....",
    "kwwwwwwwwwwk..D.....",
    "kkkkkkkkkkkk........",
    "....................",
]


def make_convert(percent):
    colours = {"k": (80, 88, 100), "w": (252, 252, 252), "s": (150, 158, 170), "f": (200, 206, 214),
               "D": (20, 110, 35), "g": (90, 200, 90), "G": (40, 150, 50)}
    img = enlarge_pixel_image(pixel_art(CONVERT, colours, WHITE), percent, WHITE)
    path = variant_name("bitmap-1010-convert.bmp", percent)
    write_bmp24(path, img)
    preview(path, img, 16 * 100 // percent)


HELP = [
    "..............",
    ".NNNNNNNNNNNN.",
    ".NBBBBBBBBBBN.",
    ".NBBBWWWWBBBN.",
    ".NBBWWBBWWBBN.",
    ".NBBWWBBWWBBN.",
    ".NBBBBBBWWBBN.",
    ".NBBBBBWWBBBN.",
    ".NBBBBWWBBBBN.",
    ".NBBBBWWBBBBN.",
    ".NBBBBBBBBBBN.",
    ".NBBBBWWBBBBN.",
    ".NBBBBWWBBBBN.",
    ".NBBBBBBBBBBN.",
    ".NNNNNNNNNNNN.",
    "..............",
]


def make_help(percent):
    colours = {"N": (0, 0, 128), "B": (0, 0, 255), "W": WHITE}
    img = enlarge_pixel_image(pixel_art(HELP, colours, MAGENTA), percent, MAGENTA)
    path = variant_name("bitmap-134-help.bmp", percent)
    write_bmp_paletted(path, img, VGA16, 4)
    preview(path, img, 20 * 100 // percent)


def make_about(percent):
    w, h = 63, 67

    def draw(d, f):
        draw_sheet(d, f, 31, 23, 30, 41)
        draw_document(d, f, 2, 2, 27, 35, 8, lines=3)
        draw_pdf_text(d, f, 4.2, 11.6, 6.6)
        # A red arrow bending from under the document into the sheet.
        d.arc(scaled([(8, 27), (34, 53)], f), start=95, end=180, fill=PDF_RED, width=int(3.4 * f))
        d.polygon(scaled([(21, 46), (34, 52.5), (21, 59)], f), fill=PDF_RED)

    img = supersampled((w, h), 4, WHITE, draw, percent=percent)
    path = variant_name("bitmap-1012-about.bmp", percent)
    write_bmp24(path, img)
    preview(path, img, 6 * 100 // percent)


HAND = [
    "     XX",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..X",
    "    X..XXX",
    "    X..X..XXX",
    "    X..X..X..XXX",
    "    X..X..X..X..X",
    "XX  X..X..X..X..X",
    "X.X X...........X",
    "X..XX...........X",
    " X..............X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "   X..........X",
    "    X.........X",
    "    X.........X",
    "    XXXXXXXXXXX",
]


HAND_HOT_SPOT = (5, 0)


def make_cursor():
    """One file with the 32 x 32 cursor and its 150 and 200 % sizes."""
    grid = [list(r.ljust(32)) for r in HAND] + [list(" " * 32) for _ in range(32 - len(HAND))]
    pictures = [(grid, HAND_HOT_SPOT)]
    for percent in (150, 200):
        hot_spot = tuple(at_scale(v, percent) for v in HAND_HOT_SPOT)
        enlarged = enlarge_pixel_art(grid, percent, " ")
        # At 150 % the fingertip's outline sits one row down (its outer copy
        # went to the background); the picture moves up so that the tip
        # stays on the top row, at the hot spot.
        while all(c == " " for c in enlarged[0]):
            enlarged = enlarged[1:] + [enlarged[0]]
        pictures.append((enlarged, hot_spot))
    write_cur("cursor-1002-hand.cur", pictures)


OPTION_SIZE = (80, 42)
INK = (30, 60, 140)
RESULT = (200, 40, 40)


def option_picture(path, draw_left, draw_right, percent):
    def draw(d, f):
        draw_left(d, f)
        # The conversion arrow in the middle.
        d.line(scaled([(36, 21), (44, 21)], f), fill=(110, 110, 110), width=int(1.6 * f))
        d.polygon(scaled([(43, 17.5), (48, 21), (43, 24.5)], f), fill=(110, 110, 110))
        draw_right(d, f)

    img = supersampled(OPTION_SIZE, 4, WHITE, draw, percent=percent)
    path = variant_name(path, percent)
    write_bmp24(path, img)
    preview(path, img, 6 * 100 // percent)


def big_arrow(x0):
    return arrow_polygon(x0, 21, 27, 5.5, 12, 11)


def filled_arrow(colour, dark):
    def draw(d, f, x0):
        d.polygon(scaled(big_arrow(x0), f), fill=colour)
        d.line(scaled(big_arrow(x0) + [big_arrow(x0)[0]], f), fill=dark, width=int(1.2 * f), joint="curve")
    return draw


def outlined_arrow(colour):
    def draw(d, f, x0):
        d.line(scaled(big_arrow(x0) + [big_arrow(x0)[0]], f), fill=colour, width=int(1.3 * f), joint="curve")
    return draw


def stroke(width, colour):
    def draw(d, f, x0):
        pts = [(x0 + 2 + i * 0.5, 21 - 10 * math.sin((i * 0.5) / 23 * 2 * math.pi)) for i in range(47)]
        d.line(scaled(pts, f), fill=colour, width=int(width * f), joint="curve")
        for end in (pts[0], pts[-1]):
            r = width / 2
            d.ellipse(scaled([(end[0] - r, end[1] - r), (end[0] + r, end[1] + r)], f), fill=colour)
    return draw


def make_options(percent):
    pdf_fill = filled_arrow((70, 110, 200), (30, 60, 140))
    option_picture("bitmap-1006-fill-solid.bmp", lambda d, f: pdf_fill(d, f, 5),
                   lambda d, f: filled_arrow((220, 70, 60), (150, 30, 30))(d, f, 50), percent)
    option_picture("bitmap-1007-fill-outline.bmp", lambda d, f: pdf_fill(d, f, 5),
                   lambda d, f: outlined_arrow((200, 40, 40))(d, f, 50), percent)
    option_picture("bitmap-1008-width-kept.bmp", lambda d, f: stroke(5, INK)(d, f, 5),
                   lambda d, f: stroke(5, RESULT)(d, f, 51), percent)
    option_picture("bitmap-1009-width-thin.bmp", lambda d, f: stroke(5, INK)(d, f, 5),
                   lambda d, f: stroke(1.1, RESULT)(d, f, 51), percent)


def main():
    global PREVIEW_DIR
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        PREVIEW_DIR = sys.argv[2]
        os.makedirs(PREVIEW_DIR, exist_ok=True)
    elif len(sys.argv) != 1:
        sys.exit(__doc__)
    for percent in SCALES:
        make_banner(percent)
        make_tabs(percent)
        make_convert(percent)
        make_help(percent)
        make_about(percent)
        make_options(percent)
    make_icons()
    make_cursor()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes sample.pdf: three pages of simple plans for the demo, drawn with
PDF path operators and the standard Helvetica font (no embedded data)."""
import sys


def page_plan(number):
    ops = ["0.2 0.3 0.6 RG 2 w", "60 80 492 632 re S"]  # sheet border
    # rooms: a grid of rectangles that differs per page
    cols, rows = 2 + number, 3
    w, h = 400 / cols, 460 / rows
    for c in range(cols):
        for r in range(rows):
            x, y = 100 + c * w, 180 + r * h
            ops.append(f"0 0 0 RG {1 + (c + r) % 3} w {x:.1f} {y:.1f} {w:.1f} {h:.1f} re S")
    ops.append("0.85 0.9 1 rg 100 120 400 40 re f")  # title block fill
    ops.append("0 0 0 RG 1 w 100 120 400 40 re S")
    ops.append("0.8 0.1 0.1 RG 1.5 w 300 420 m 340 460 l 380 420 l 340 380 l h S")  # a marker
    ops.append(f"BT /F1 18 Tf 110 134 Td (Sample plan, sheet {number} of 3) Tj ET")
    return "\n".join(ops).encode("latin-1")


def build():
    objects = []

    def add(body):
        objects.append(body)
        return len(objects)

    catalog = add(None)
    pages = add(None)
    font = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
    kids = []
    for n in (1, 2, 3):
        content = page_plan(n)
        stream = add(b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream")
        kids.append(add(b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] "
                        b"/Resources << /Font << /F1 %d 0 R >> >> /Contents %d 0 R >>"
                        % (pages, font, stream)))
    objects[catalog - 1] = b"<< /Type /Catalog /Pages %d 0 R >>" % pages
    objects[pages - 1] = (b"<< /Type /Pages /Kids [" + b" ".join(b"%d 0 R" % k for k in kids)
                          + b"] /Count %d >>" % len(kids))

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % i + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for off in offsets:
        out += b"%010d 00000 n \n" % off
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, catalog, xref)
    return bytes(out)


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "sample.pdf"
    with open(path, "wb") as f:
        f.write(build())

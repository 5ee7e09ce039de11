#include "image/codecs/RxImagePCX.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxByteWriter.h"

struct RxImagePCX::Header {
    BYTE bitsPerPixel;
    BYTE planes;
    WORD bytesPerLine;
    LONG width, height;
    uint8_t palette16[48];
};

bool RxImagePCX::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImagePCX::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImagePCX::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        RxByteReader in(file);
        uint8_t raw[128];
        if (!in.Read(raw, sizeof(raw))) throw "Can't read PCX image";
        if (raw[0] != 10) throw "Error: Not a PCX file";
        if (raw[2] != 1) throw "PCX file has unknown encoding scheme";
        Header h;
        h.bitsPerPixel = raw[3];
        h.planes = raw[65];
        h.bytesPerLine = RxByteReader::Le16(raw + 66);
        if (h.planes > 4) throw "Can't handle image with more than 4 planes";
        LONG xmin = RxByteReader::Le16(raw + 4), ymin = RxByteReader::Le16(raw + 6);
        LONG xmax = RxByteReader::Le16(raw + 8), ymax = RxByteReader::Le16(raw + 10);
        h.width = xmax - xmin + 1;
        h.height = ymax - ymin + 1;
        std::memcpy(h.palette16, raw + 16, sizeof(h.palette16));
        if (h.width <= 0 || h.height <= 0 || h.planes == 0) throw "corrupted PCX";

        DWORD bpp;
        if (h.planes >= 3 && h.bitsPerPixel == 8) {
            bpp = 24;
        } else if (h.planes == 1) {
            if (h.bitsPerPixel != 1 && h.bitsPerPixel != 2 && h.bitsPerPixel != 4 && h.bitsPerPixel != 8)
                throw "Can't handle more than 1 bit per pixel";
            bpp = h.bitsPerPixel == 2 ? 4 : h.bitsPerPixel;
        } else if (h.bitsPerPixel == 1) {
            bpp = 4;
        } else {
            throw "Can't handle packed pixels with more than 1 plane.";
        }
        // Each plane's scan line must hold the picture's width.
        if (uint64_t(h.bytesPerLine) * 8 < uint64_t(h.width) * h.bitsPerPixel) throw "corrupted PCX";
        // Two bytes make at most 63: a file too short for the scan lines is
        // refused before the picture is allocated.
        const int64_t fileSize = in.FileSize();
        const uint64_t codedBytes = uint64_t(h.planes) * h.bytesPerLine * uint64_t(h.height);
        if (fileSize >= 0 && uint64_t(fileSize - std::min(fileSize, in.Tell())) < codedBytes / 63 * 2)
            throw "corrupted PCX";
        if (!FitsDecodeLimit(DWORD(h.width), DWORD(h.height), bpp) ||
            !Create(DWORD(h.width), DWORD(h.height), bpp, info.type))
            throw "Can't allocate memory";
        SetXDPI(RxByteReader::Le16(raw + 12));
        SetYDPI(RxByteReader::Le16(raw + 14));
        if (h.planes == 4 && bpp == 24 && !AlphaCreate()) throw "Can't allocate memory";

        const size_t scanBytes = size_t(h.planes) * h.bytesPerLine;
        std::vector<BYTE> scan(scanBytes);
        // A run may reach into the next scan line; the rest is carried over.
        size_t runLeft = 0;
        BYTE runValue = 0;
        for (LONG row = 0; row < h.height; ++row) {
            ThrowIfCancelled();
            size_t n = 0;
            while (n < scanBytes) {
                if (runLeft) {
                    size_t take = std::min(runLeft, scanBytes - n);
                    std::memset(&scan[n], runValue, take);
                    n += take;
                    runLeft -= take;
                    continue;
                }
                int c = in.GetByte();
                if (c < 0) throw "corrupted PCX";
                if (c > 191) {
                    int value = in.GetByte();
                    if (value < 0) throw "corrupted PCX";
                    runLeft = size_t(c & 0x3F);
                    runValue = BYTE(value);
                    uint64_t remaining = uint64_t(scanBytes) * uint64_t(h.height - row) - n;
                    if (runLeft > remaining) throw "repeat count spans end of image";
                } else {
                    scan[n++] = BYTE(c);
                }
            }
            StoreRow(scan.data(), h, h.height - 1 - row);
        }

        if (h.planes == 1 && h.bitsPerPixel == 8) {
            ReadTrailerPalette(in);
        } else if (h.planes == 1 && h.bitsPerPixel == 1) {
            SetPaletteColor(0, 0, 0, 0);
            SetPaletteColor(1, 255, 255, 255);
        } else if (bpp != 24) {
            for (BYTE i = 0; i < 16; ++i)
                SetPaletteColor(i, h.palette16[3 * i], h.palette16[3 * i + 1], h.palette16[3 * i + 2]);
        }
    });
}

// The 256-colour palette: a byte 12 and 768 bytes of red, green, blue. It
// normally follows the data at once; files with padding between keep it in
// the last 769 bytes.
void RxImagePCX::ReadTrailerPalette(RxByteReader& in) {
    uint8_t raw[769];
    bool found = in.Read(raw, sizeof(raw)) && raw[0] == 12;
    if (!found) {
        int64_t size = in.FileSize();
        found = size >= 769 && in.SeekTo(size - 769) && in.Read(raw, sizeof(raw)) && raw[0] == 12;
    }
    if (!found) throw "bad color map signature";
    for (int i = 0; i < 256; ++i)
        SetPaletteColor(BYTE(i), raw[1 + 3 * i], raw[2 + 3 * i], raw[3 + 3 * i]);
}

void RxImagePCX::StoreRow(const BYTE* scan, const Header& h, LONG y) {
    BYTE* target = info.bits + size_t(y) * info.effWidth;
    const size_t line = h.bytesPerLine;
    if (header.biBitCount == 24) {
        const BYTE *r = scan, *g = scan + line, *b = scan + 2 * line;
        for (LONG x = 0; x < h.width; ++x, target += 3) {
            target[0] = b[x];
            target[1] = g[x];
            target[2] = r[x];
        }
        if (h.planes == 4) std::memcpy(alpha + size_t(y) * size_t(h.width), scan + 3 * line, size_t(h.width));
        return;
    }
    if (h.planes == 1 && h.bitsPerPixel != 2) {
        // Packed pixels in the image's own layout.
        std::memcpy(target, scan, (size_t(h.width) * h.bitsPerPixel + 7) / 8);
        return;
    }
    for (LONG x = 0; x < h.width; ++x) {
        BYTE index = 0;
        if (h.planes == 1) {  // two bits per pixel
            index = BYTE((scan[x >> 2] >> (6 - 2 * (x & 3))) & 3);
        } else {
            for (int p = 0; p < h.planes; ++p)
                index |= BYTE(((scan[p * line + size_t(x >> 3)] >> (7 - (x & 7))) & 1) << p);
        }
        BYTE& b = target[x >> 1];
        b = (x & 1) ? BYTE((b & 0xF0) | index) : BYTE((b & 0x0F) | (index << 4));
    }
}

void RxImagePCX::EncodeLine(RxByteWriter& out, const BYTE* data, size_t length) {
    size_t i = 0;
    while (i < length) {
        BYTE value = data[i];
        size_t run = 1;
        while (i + run < length && run < 63 && data[i + run] == value) ++run;
        if (run > 1 || value >= 0xC0) out.Put(BYTE(0xC0 | run));
        out.Put(value);
        i += run;
    }
}

bool RxImagePCX::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        WORD bpp = GetBpp();
        if (bpp != 8 && bpp != 24) throw "Bit depth must be 8 or 24";
        LONG width = GetWidth(), height = GetHeight();
        if (width > 0xFFFF || height > 0xFFFF) throw "Image too large for PCX";
        const BYTE planes = bpp == 24 ? 3 : 1;
        // Scan lines hold an even number of bytes.
        const size_t line = (size_t(width) + 1) & ~size_t(1);
        uint8_t raw[128] = {};
        raw[0] = 10;
        raw[1] = 5;
        raw[2] = 1;
        raw[3] = 8;
        auto put16 = [&](int at, LONG value) {
            raw[at] = BYTE(value);
            raw[at + 1] = BYTE(value >> 8);
        };
        put16(8, width - 1);
        put16(10, height - 1);
        put16(12, GetXDPI());
        put16(14, GetYDPI());
        raw[65] = planes;
        put16(66, LONG(line));
        put16(68, 1);
        RxByteWriter out(file);
        out.Write(raw, sizeof(raw));
        if (!out.Finish()) throw "cannot write PCX header";

        std::vector<BYTE> plane(line, 0);
        for (LONG y = height - 1; y >= 0; --y) {
            const BYTE* source = info.bits + size_t(y) * info.effWidth;
            if (planes == 1) {
                std::memcpy(plane.data(), source, size_t(width));
                EncodeLine(out, plane.data(), line);
                continue;
            }
            for (int p = 2; p >= 0; --p) {  // red, green, blue
                for (LONG x = 0; x < width; ++x) plane[size_t(x)] = source[3 * x + p];
                EncodeLine(out, plane.data(), line);
            }
        }
        if (planes == 1) {
            out.Put(12);
            const RGBQUAD* palette = GetPalette();
            for (DWORD i = 0; i < 256; ++i) {
                RGBQUAD c = i < header.biClrUsed ? palette[i] : RGBQUAD{0, 0, 0, 0};
                out.Put(c.rgbRed);
                out.Put(c.rgbGreen);
                out.Put(c.rgbBlue);
            }
        }
        if (!out.Finish()) throw "Write Error in PCX file";
    });
}

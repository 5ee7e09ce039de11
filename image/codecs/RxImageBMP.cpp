#include "image/codecs/RxImageBMP.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxByteWriter.h"

namespace {

constexpr DWORD kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// One colour channel described by a bit mask: where it sits and how wide it is.
struct Channel {
    unsigned shift = 0;
    unsigned width = 0;
    DWORD mask = 0;

    explicit Channel(DWORD m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        while (width < 32 - shift && ((m >> (shift + width)) & 1)) ++width;
    }
    // The channel's bits placed at the top of a byte: 5 bits of 0x1F give 248.
    BYTE Value(DWORD pixel) const {
        if (!width) return 0;
        DWORD v = (pixel & mask) >> shift;
        return BYTE(width >= 8 ? v >> (width - 8) : v << (8 - width));
    }
};

// Resolutions beyond any device are kept within a range whose conversions
// stay in 32 bits; negative ones are taken as unknown (0).
constexpr LONG kMaxDotsPerInch = 1000000;

LONG DotsPerInch(LONG pixelsPerMetre) {
    double dpi = std::floor(pixelsPerMetre * 254.0 / 10000.0 + 0.5);
    return LONG(std::min(std::max(dpi, 0.0), double(kMaxDotsPerInch)));
}

LONG PixelsPerMetre(LONG dotsPerInch) {
    LONG dpi = std::min(std::max(dotsPerInch, LONG(0)), kMaxDotsPerInch);
    return LONG(std::floor(dpi * 10000.0 / 254.0 + 0.5));
}

}  // namespace

struct RxImageBMP::Layout {
    int64_t start = 0;          // file position of the file header (or bare header)
    bool fileHeader = false;
    DWORD dataOffset = 0;
    DWORD headerSize = 0;
    LONG width = 0;
    LONG height = 0;            // positive
    bool topDown = false;
    WORD bitCount = 0;
    DWORD compression = 0;
    DWORD colors = 0;
    DWORD masks[3] = {0, 0, 0}; // red, green, blue
    bool masksInHeader = false;
};

bool RxImageBMP::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageBMP::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageBMP::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        RxByteReader in(file);
        Layout layout;
        layout.start = in.Tell();
        uint8_t fileHeader[14];
        if (!in.Read(fileHeader, sizeof(fileHeader))) throw "Not a BMP";
        if (RxByteReader::Le16(fileHeader) == 0x4D42) {
            layout.fileHeader = true;
            layout.dataOffset = RxByteReader::Le32(fileHeader + 10);
        } else if (!in.SeekTo(layout.start)) {
            throw "Not a BMP";
        }
        ReadInfoHeader(in, layout);

        if (!MayHoldRows(in, layout)) throw "Unexpected end of BMP data";
        DWORD targetBpp = layout.bitCount <= 8 ? layout.bitCount : 24;
        if (!FitsDecodeLimit(DWORD(layout.width), DWORD(layout.height), targetBpp) ||
            !Create(DWORD(layout.width), DWORD(layout.height), targetBpp, info.type))
            throw "Can't allocate memory";
        SetXDPI(DotsPerInch(header.biXPelsPerMeter));
        SetYDPI(DotsPerInch(header.biYPelsPerMeter));
        ReadPalette(in, layout);

        if (layout.fileHeader && !in.SeekTo(layout.start + layout.dataOffset))
            throw "Unexpected end of BMP data";
        if (layout.bitCount <= 8) {
            if (layout.compression == kRgb)
                ReadRows(in, layout);
            else if ((layout.compression == kRle8 && layout.bitCount == 8) ||
                     (layout.compression == kRle4 && layout.bitCount == 4))
                ReadRle(in, layout);
            else
                throw "compression type not supported";
        } else if (layout.bitCount == 24) {
            if (layout.compression != kRgb) throw "unknown compression";
            ReadRows(in, layout);
        } else {
            ReadBitFields(in, layout);
        }
    });
}

// Reads the information header in any of its three sizes (and the two later
// Windows sizes, which extend the 40-byte one) and checks what the pixel
// reading relies on.
void RxImageBMP::ReadInfoHeader(RxByteReader& in, Layout& layout) {
    uint8_t raw[124];
    if (!in.Read(raw, 12)) throw "Error reading BMP info";
    layout.headerSize = RxByteReader::Le32(raw);
    BITMAPINFOHEADER h{};
    if (layout.headerSize == 12) {
        h.biWidth = RxByteReader::Le16(raw + 4);
        h.biHeight = int16_t(RxByteReader::Le16(raw + 6));
        h.biPlanes = RxByteReader::Le16(raw + 8);
        h.biBitCount = RxByteReader::Le16(raw + 10);
    } else if (layout.headerSize == 40 || layout.headerSize == 64 || layout.headerSize == 108 ||
               layout.headerSize == 124) {
        if (!in.Read(raw + 12, layout.headerSize - 12)) throw "Error reading BMP info";
        h.biWidth = LONG(RxByteReader::Le32(raw + 4));
        h.biHeight = LONG(RxByteReader::Le32(raw + 8));
        h.biPlanes = RxByteReader::Le16(raw + 12);
        h.biBitCount = RxByteReader::Le16(raw + 14);
        h.biCompression = RxByteReader::Le32(raw + 16);
        h.biSizeImage = RxByteReader::Le32(raw + 20);
        h.biXPelsPerMeter = LONG(RxByteReader::Le32(raw + 24));
        h.biYPelsPerMeter = LONG(RxByteReader::Le32(raw + 28));
        h.biClrUsed = RxByteReader::Le32(raw + 32);
        if (layout.headerSize >= 52) {
            layout.masksInHeader = true;
            for (int i = 0; i < 3; ++i) layout.masks[i] = RxByteReader::Le32(raw + 40 + 4 * i);
        }
    } else {
        throw "Error reading BMP info";
    }

    WORD bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw "Error reading BMP info";
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) throw "Error reading BMP info";
    layout.width = h.biWidth;
    layout.topDown = h.biHeight < 0;
    layout.height = layout.topDown ? -h.biHeight : h.biHeight;
    layout.bitCount = bits;
    layout.compression = h.biCompression;
    DWORD maxColors = bits <= 8 ? (DWORD(1) << bits) : 0;
    layout.colors = h.biClrUsed == 0 || h.biClrUsed > maxColors ? maxColors : h.biClrUsed;

    header.biXPelsPerMeter = h.biXPelsPerMeter;
    header.biYPelsPerMeter = h.biYPelsPerMeter;
}

void RxImageBMP::ReadPalette(RxByteReader& in, const Layout& layout) {
    if (layout.bitCount > 8) return;
    size_t entrySize = layout.headerSize == 12 ? 3 : 4;
    DWORD colors = layout.colors;
    // A palette cannot reach into the pixel data.
    if (layout.fileHeader) {
        int64_t room = int64_t(layout.dataOffset) - 14 - layout.headerSize;
        if (room >= 0 && uint64_t(room) / entrySize < colors) colors = DWORD(uint64_t(room) / entrySize);
    }
    std::vector<uint8_t> raw(colors * entrySize);
    if (!in.Read(raw.data(), raw.size())) throw "Unexpected end of BMP data";
    std::vector<RGBQUAD> entries(colors);
    for (DWORD i = 0; i < colors; ++i) {
        const uint8_t* p = raw.data() + i * entrySize;
        entries[i] = RGBQUAD{p[0], p[1], p[2], 0};
    }
    SetPalette(entries.data(), colors);
}

// Plain rows have a known length: a file too short to hold them is refused
// before the picture is allocated, so that a few bytes cannot claim megabytes.
bool RxImageBMP::MayHoldRows(const RxByteReader& in, const Layout& layout) {
    const bool plain = layout.compression == kRgb ||
                       (layout.compression == kBitFields && (layout.bitCount == 16 || layout.bitCount == 32));
    if (!plain) return true;
    int64_t fileSize = in.FileSize();
    if (fileSize < 0) return true;
    uint64_t stride = (uint64_t(layout.width) * layout.bitCount + 31) / 32 * 4;
    return uint64_t(fileSize - std::min(fileSize, layout.start)) / stride >= uint64_t(layout.height);
}

BYTE* RxImageBMP::RowForFileRow(LONG fileRow, const Layout& layout) const {
    LONG y = layout.topDown ? layout.height - 1 - fileRow : fileRow;
    return info.bits + size_t(y) * info.effWidth;
}

void RxImageBMP::ReadRows(RxByteReader& in, const Layout& layout) {
    // Stored rows have the same padded length as the image's own rows.
    for (LONG row = 0; row < layout.height; ++row) {
        ThrowIfCancelled();
        if (!in.Read(RowForFileRow(row, layout), info.effWidth)) throw "Unexpected end of BMP data";
    }
}

void RxImageBMP::ReadRle(RxByteReader& in, const Layout& layout) {
    Clear(0);
    const bool four = layout.compression == kRle4;
    LONG x = 0, row = 0;
    auto put = [&](BYTE index) {
        if (row >= layout.height) throw "RLE data passes the end of the bitmap";
        // Pixels beyond the right edge are dropped, as a row cannot hold them.
        if (x < layout.width) {
            BYTE* line = RowForFileRow(row, layout);
            if (four) {
                BYTE& b = line[x >> 1];
                b = (x & 1) ? BYTE((b & 0xF0) | (index & 0x0F)) : BYTE((b & 0x0F) | (index << 4));
            } else {
                line[x] = index;
            }
        }
        ++x;
    };
    auto next = [&]() {
        int c = in.GetByte();
        if (c < 0) throw "Unexpected end of BMP data";
        return BYTE(c);
    };
    for (;;) {
        BYTE count = next();
        BYTE value = next();
        if (count) {
            for (int i = 0; i < count; ++i)
                put(four ? BYTE((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            ++row;
            ThrowIfCancelled();
            break;
        case 1:  // end of bitmap
            return;
        case 2: {  // move right and down
            BYTE dx = next(), dy = next();
            x += dx;
            row += dy;
            if (row > layout.height || (row == layout.height && x > 0))
                throw "RLE data passes the end of the bitmap";
            break;
        }
        default: {  // absolute run, padded to an even number of bytes
            int bytes = four ? (value + 1) / 2 : value;
            BYTE data[256];
            for (int i = 0; i < bytes; ++i) data[i] = next();
            for (int i = 0; i < value; ++i)
                put(four ? BYTE((i & 1) ? data[i / 2] & 0x0F : data[i / 2] >> 4) : data[i]);
            if (bytes & 1) next();
        }
        }
        if (row >= layout.height && x == 0 && value != 2) {
            // The last row ended: only an end of bitmap may follow, and files
            // that stop here are complete.
            int a = in.GetByte(), b = in.GetByte();
            if (a < 0 || (a == 0 && b == 1)) return;
            throw "RLE data passes the end of the bitmap";
        }
    }
}

void RxImageBMP::ReadBitFields(RxByteReader& in, const Layout& layout) {
    DWORD masks[3];
    if (layout.compression == kBitFields) {
        if (layout.masksInHeader) {
            std::memcpy(masks, layout.masks, sizeof(masks));
        } else {
            // The 40-byte header is followed by the three masks.
            uint8_t raw[12];
            if (!in.SeekTo(layout.start + (layout.fileHeader ? 14 : 0) + layout.headerSize) ||
                !in.Read(raw, sizeof(raw)))
                throw "Unexpected end of BMP data";
            for (int i = 0; i < 3; ++i) masks[i] = RxByteReader::Le32(raw + 4 * i);
            if (layout.fileHeader && !in.SeekTo(layout.start + layout.dataOffset))
                throw "Unexpected end of BMP data";
        }
    } else if (layout.compression == kRgb) {
        if (layout.bitCount == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
    } else {
        throw layout.bitCount == 16 ? "compression type not supported" : "unknown compression";
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const size_t bytesPerPixel = layout.bitCount / 8;
    const size_t stride = (size_t(layout.width) * bytesPerPixel + 3) & ~size_t(3);
    std::vector<uint8_t> line;
    try {
        line.resize(stride);
    } catch (const std::bad_alloc&) {
        throw "can't allocate memory";
    }
    for (LONG row = 0; row < layout.height; ++row) {
        ThrowIfCancelled();
        if (!in.Read(line.data(), stride)) throw "Unexpected end of BMP data";
        BYTE* target = RowForFileRow(row, layout);
        const uint8_t* source = line.data();
        if (layout.bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF) {
            for (LONG x = 0; x < layout.width; ++x, source += 4, target += 3) {
                target[0] = source[0];
                target[1] = source[1];
                target[2] = source[2];
            }
            continue;
        }
        for (LONG x = 0; x < layout.width; ++x, source += bytesPerPixel, target += 3) {
            DWORD pixel = bytesPerPixel == 2 ? RxByteReader::Le16(source) : RxByteReader::Le32(source);
            target[0] = blue.Value(pixel);
            target[1] = green.Value(pixel);
            target[2] = red.Value(pixel);
        }
    }
}

bool RxImageBMP::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        DWORD paletteBytes = GetPaletteSize();
        DWORD bitmapBytes = GetSize();
        RxByteWriter out(file);
        out.Put16(0x4D42);
        out.Put32(bitmapBytes + 14);
        out.Put32(0);
        out.Put32(14 + 40 + paletteBytes);
        // The resolution is taken from the image's dots per inch: the copy of
        // the header inside the packed bitmap does not follow later changes.
        BITMAPINFOHEADER current = header;
        current.biSize = 40;
        current.biXPelsPerMeter = PixelsPerMetre(info.xDpi);
        current.biYPelsPerMeter = PixelsPerMetre(info.yDpi);
        out.Write(&current, sizeof(current));
        out.Write(static_cast<const BYTE*>(dib) + sizeof(BITMAPINFOHEADER), bitmapBytes - sizeof(BITMAPINFOHEADER));
        if (!out.Finish()) throw "Write Error in BMP file";
    });
}

#include "platform/DibReader.h"

#include <algorithm>
#include <cstring>

#include "platform/GdiDefs.h"

namespace {

constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kLargestHeaderSize = 124;
constexpr uint64_t kMaxImageBytes = uint64_t(1) << 31;

bool Fail(std::string* error, const char* message) {
    if (error) *error = message;
    return false;
}

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

// Extracts one channel described by a bit mask and scales it to 0..255.
struct MaskChannel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit MaskChannel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
    }
    uint8_t Get(uint32_t value) const {
        if (!mask || !max) return 0;
        const uint32_t v = (value & mask) >> shift;
        return uint8_t((uint64_t(v) * 255 + max / 2) / max);
    }
};

uint32_t PaletteColour(const DibReader::Info& info, unsigned index) {
    if (index >= unsigned(info.paletteSize)) return 0xFF000000u;  // out-of-range index: black
    const RGBQUAD& q = info.palette[index];
    return 0xFF000000u | (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

bool DecodeRle(const DibReader::Info& info, const uint8_t* data, size_t size, Surface* out, std::string* error) {
    const bool four = info.compression == BI_RLE4;
    out->Fill(PaletteColour(info, 0));
    int x = 0, row = 0;  // row counts from the bottom
    size_t pos = 0;
    // Positions are clamped at the right edge so that long runs and deltas
    // cannot overflow them.
    auto put = [&](unsigned index) {
        if (x < info.width && row < info.height) out->Row(info.height - 1 - row)[x] = PaletteColour(info, index);
        if (x < info.width) ++x;
    };
    while (pos + 1 < size) {
        const uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta
            if (pos + 1 >= size) break;
            x = std::min(x + data[pos], info.width);
            row += data[pos + 1];
            pos += 2;
        } else {  // absolute run
            const size_t bytes = four ? (size_t(value) + 1) / 2 : size_t(value);
            const size_t padded = (bytes + 1) & ~size_t(1);
            if (pos + bytes > size) return Fail(error, "truncated RLE data");
            for (int i = 0; i < value; ++i) {
                const uint8_t b = data[pos + (four ? size_t(i) / 2 : size_t(i))];
                put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += padded;
        }
        if (row >= info.height) return true;
    }
    return true;  // data ended without an end marker: keep what was decoded
}

}  // namespace

bool DibReader::ImageSize(int width, int height, int bitCount, size_t* bytes) {
    if (width <= 0 || height < 0 || bitCount <= 0 || bitCount > 32) return false;
    const uint64_t rowBytes = ((uint64_t(width) * uint64_t(bitCount) + 31) / 32) * 4;
    const uint64_t total = rowBytes * uint64_t(height);
    if (total > kMaxImageBytes) return false;
    *bytes = size_t(total);
    return true;
}

bool DibReader::ReadInfo(const void* header, size_t headerSize, Info* info, std::string* error, int heightDivisor) {
    const auto* p = static_cast<const uint8_t*>(header);
    *info = Info();
    if (!p || headerSize < 4) return Fail(error, "bitmap header missing");
    const uint32_t size = Le32(p);
    const bool core = size == kCoreHeaderSize;
    // Known headers run from 40 to 124 bytes (version 5); anything longer is
    // refused, so a lying size cannot send the palette read far away.
    if (!core && (size < sizeof(BITMAPINFOHEADER) || size > kLargestHeaderSize))
        return Fail(error, "unknown bitmap header");
    if (headerSize < size) return Fail(error, "truncated bitmap header");

    int64_t width, height;
    int bitCount;
    uint32_t clrUsed = 0;
    if (core) {
        width = Le16(p + 4);
        height = Le16(p + 6);
        bitCount = Le16(p + 10);
        info->compression = BI_RGB;
    } else {
        width = int32_t(Le32(p + 4));
        height = int32_t(Le32(p + 8));
        bitCount = Le16(p + 14);
        info->compression = Le32(p + 16);
        clrUsed = Le32(p + 32);
    }
    if (height < 0) {
        info->topDown = true;
        height = -height;
    }
    if (heightDivisor > 1) height /= heightDivisor;
    if (width <= 0 || height <= 0) return Fail(error, "bitmap has no pixels");
    if (!Surface::SizeIsAcceptable(int(std::min<int64_t>(width, Surface::kMaxSide + 1)),
                                   int(std::min<int64_t>(height, Surface::kMaxSide + 1))))
        return Fail(error, "bitmap too large");
    info->width = int(width);
    info->height = int(height);
    info->bitCount = bitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return Fail(error, "unsupported bits per pixel");

    switch (info->compression) {
    case BI_RGB: break;
    case BI_RLE8:
        if (bitCount != 8 || info->topDown) return Fail(error, "invalid RLE8 bitmap");
        break;
    case BI_RLE4:
        if (bitCount != 4 || info->topDown) return Fail(error, "invalid RLE4 bitmap");
        break;
    case BI_BITFIELDS:
        if (bitCount != 16 && bitCount != 32) return Fail(error, "invalid bit-field bitmap");
        break;
    default: return Fail(error, "unsupported compression");
    }

    size_t offset = size;
    if (bitCount == 16) {
        info->masks[0] = 0x7C00;
        info->masks[1] = 0x03E0;
        info->masks[2] = 0x001F;
    } else if (bitCount == 32) {
        info->masks[0] = 0x00FF0000;
        info->masks[1] = 0x0000FF00;
        info->masks[2] = 0x000000FF;
        info->masks[3] = 0xFF000000;
    }
    if (info->compression == BI_BITFIELDS) {
        if (size >= 52) {
            for (int i = 0; i < 3; ++i) info->masks[i] = Le32(p + 40 + 4 * i);
            info->masks[3] = size >= 56 ? Le32(p + 52) : 0;
        } else {
            if (headerSize < offset + 12) return Fail(error, "truncated bit masks");
            for (int i = 0; i < 3; ++i) info->masks[i] = Le32(p + offset + 4 * i);
            info->masks[3] = 0;
            offset += 12;
        }
    }

    const size_t entrySize = core ? 3 : 4;
    uint64_t entries = 0;
    if (bitCount <= 8) {
        const uint32_t full = 1u << bitCount;
        entries = clrUsed ? clrUsed : full;
        if (entries > full) entries = full;  // more than the depth can index: the rest is never used
        info->paletteSize = int(entries);
    } else {
        entries = clrUsed;  // an optional palette for display; skipped
    }
    const uint64_t paletteBytes = entries * entrySize;
    if (paletteBytes > headerSize || offset + paletteBytes > headerSize) return Fail(error, "truncated palette");
    for (int i = 0; i < info->paletteSize; ++i) {
        const uint8_t* q = p + offset + size_t(i) * entrySize;
        info->palette[i] = RGBQUAD{q[0], q[1], q[2], entrySize == 4 ? q[3] : uint8_t(0)};
    }
    info->headerSize = offset + size_t(paletteBytes);
    size_t imageBytes = 0;
    if (!ImageSize(info->width, info->height, bitCount, &imageBytes)) return Fail(error, "bitmap too large");
    info->rowBytes = imageBytes / size_t(info->height);
    return true;
}

bool DibReader::DecodePixels(const Info& info, const void* rows, size_t rowsSize, Surface* out, std::string* error) {
    const auto* data = static_cast<const uint8_t*>(rows);
    if (!data) return Fail(error, "no pixel data");
    const bool rle = info.compression == BI_RLE4 || info.compression == BI_RLE8;
    // Check the data before allocating, so a short file cannot claim a huge image.
    if (!rle && (info.rowBytes == 0 || rowsSize / info.rowBytes < size_t(info.height)))
        return Fail(error, "truncated pixel data");
    if (!out->Resize(info.width, info.height)) return Fail(error, "bitmap too large");
    if (rle) return DecodeRle(info, data, rowsSize, out, error);

    const MaskChannel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]), alpha(info.masks[3]);
    for (int r = 0; r < info.height; ++r) {
        const uint8_t* src = data + size_t(r) * info.rowBytes;
        uint32_t* dst = out->Row(info.topDown ? r : info.height - 1 - r);
        for (int x = 0; x < info.width; ++x) {
            uint32_t pixel;
            switch (info.bitCount) {
            case 1: pixel = PaletteColour(info, (src[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: pixel = PaletteColour(info, (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)); break;
            case 8: pixel = PaletteColour(info, src[x]); break;
            case 24: {
                const uint8_t* s = src + size_t(x) * 3;
                pixel = 0xFF000000u | (uint32_t(s[2]) << 16) | (uint32_t(s[1]) << 8) | s[0];
                break;
            }
            default: {
                const uint32_t v = info.bitCount == 16 ? Le16(src + size_t(x) * 2) : Le32(src + size_t(x) * 4);
                // The fourth channel is kept as read; callers that know it to be
                // alpha (icons) use it, drawing ignores it.
                const uint32_t a = info.masks[3] ? alpha.Get(v) : 0xFF;
                pixel = (a << 24) | (uint32_t(red.Get(v)) << 16) | (uint32_t(green.Get(v)) << 8) | blue.Get(v);
                break;
            }
            }
            dst[x] = pixel;
        }
    }
    return true;
}

bool DibReader::Decode(const void* dib, size_t size, Surface* out, std::string* error) {
    Info info;
    if (!ReadInfo(dib, size, &info, error)) return false;
    const auto* p = static_cast<const uint8_t*>(dib);
    return DecodePixels(info, p + info.headerSize, size - info.headerSize, out, error);
}

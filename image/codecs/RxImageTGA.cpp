#include "image/codecs/RxImageTGA.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxByteWriter.h"

struct RxImageTGA::Header {
    BYTE idLength, colorMapType, imageType;
    WORD mapFirst, mapLength;
    BYTE mapEntryBits;
    WORD width, height;
    BYTE depth, descriptor;

    bool RunLength() const { return imageType >= 9; }
    bool Gray() const { return imageType == 3 || imageType == 11; }
    bool Mapped() const { return imageType == 1 || imageType == 9; }
};

namespace {

// A 15- or 16-bit pixel: five bits per channel, blue lowest.
inline void Store555(WORD value, BYTE* target) {
    target[0] = BYTE(value << 3);
    target[1] = BYTE((value >> 2) & 0xF8);
    target[2] = BYTE((value >> 7) & 0xF8);
}

size_t EntryBytes(BYTE bits) {
    return (size_t(bits) + 7) / 8;
}

}  // namespace

bool RxImageTGA::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageTGA::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageTGA::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        RxByteReader in(file);
        uint8_t raw[18];
        if (!in.Read(raw, sizeof(raw))) throw "Not a TGA";
        Header h{raw[0], raw[1], raw[2], RxByteReader::Le16(raw + 3), RxByteReader::Le16(raw + 5),
                 raw[7], RxByteReader::Le16(raw + 12), RxByteReader::Le16(raw + 14), raw[16], raw[17]};
        switch (h.imageType) {
        case 1: case 2: case 3: case 9: case 10: case 11: break;
        default: throw "Unknown TGA image type";
        }
        if (h.width == 0 || h.height == 0 || h.depth == 0 || h.mapLength > 256) throw "bad TGA header";
        if (h.depth != 8 && h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32)
            throw "bad TGA header";
        // A colour map must fit the 256 entries of an 8-bit palette, and only
        // 8-bit pixels can index one.
        if (h.Mapped() && (h.depth != 8 || h.colorMapType != 1 || h.mapFirst + h.mapLength > 256))
            throw "bad TGA header";
        if (h.colorMapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
            h.mapEntryBits != 32)
            throw "bad TGA header";
        if (!in.Skip(h.idLength)) throw "corrupted TGA";

        if (!MayHoldPixels(in, h)) throw "corrupted TGA";
        DWORD bpp = h.depth == 8 ? 8 : 24;
        if (!FitsDecodeLimit(h.width, h.height, bpp) || !Create(h.width, h.height, bpp, info.type))
            throw "TGA Create failed";
        if (h.depth == 32 && !AlphaCreate()) throw "TGA Create failed";
        if (h.colorMapType == 1) ReadColorMap(in, h);
        if (bpp == 8 && !h.Mapped()) SetGrayPalette();
        ReadPixels(in, h);
    });
}

// The fewest bytes that can carry the pixels: all of them when plain, one
// packet per 128 pixels when run-length coded. A shorter file is refused
// before the picture is allocated, so that a few bytes cannot claim megabytes.
bool RxImageTGA::MayHoldPixels(const RxByteReader& in, const Header& h) {
    int64_t fileSize = in.FileSize();
    if (fileSize < 0) return true;
    const uint64_t pixels = uint64_t(h.width) * h.height, pixelBytes = EntryBytes(h.depth);
    uint64_t least = h.RunLength() ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (h.colorMapType == 1) least += uint64_t(h.mapLength) * EntryBytes(h.mapEntryBits);
    return uint64_t(fileSize - std::min(fileSize, in.Tell())) >= least;
}

void RxImageTGA::ReadColorMap(RxByteReader& in, const Header& h) {
    size_t entry = EntryBytes(h.mapEntryBits);
    std::vector<uint8_t> raw(size_t(h.mapLength) * entry);
    if (!in.Read(raw.data(), raw.size())) throw "corrupted TGA";
    if (!h.Mapped()) return;  // a true-colour or grey picture does not use it
    for (size_t i = 0; i < h.mapLength; ++i) {
        const uint8_t* p = raw.data() + i * entry;
        BYTE bgr[3];
        if (entry == 2)
            Store555(RxByteReader::Le16(p), bgr);
        else
            std::memcpy(bgr, p, 3);
        SetPaletteColor(BYTE(h.mapFirst + i), bgr[2], bgr[1], bgr[0]);
    }
}

void RxImageTGA::ReadPixels(RxByteReader& in, const Header& h) {
    const size_t pixelBytes = EntryBytes(h.depth);
    const LONG width = h.width, height = h.height;
    const bool topDown = (h.descriptor & 0x20) != 0;
    const bool mirrored = (h.descriptor & 0x10) != 0;
    const size_t imageBytes = size_t(width) * pixelBytes;
    std::vector<uint8_t> line(imageBytes);
    // A run-length packet may continue into the next row; what is left of it
    // is carried over.
    size_t runLeft = 0, rawLeft = 0;
    uint8_t runPixel[4] = {0, 0, 0, 0};

    // Plain 8- and 24-bit rows in reading order are the image's own rows.
    const bool direct = !h.RunLength() && !mirrored && (pixelBytes == 1 || pixelBytes == 3);
    for (LONG row = 0; row < height; ++row) {
        ThrowIfCancelled();
        if (direct) {
            LONG y = topDown ? height - 1 - row : row;
            if (!in.Read(info.bits + size_t(y) * info.effWidth, imageBytes)) throw "corrupted TGA";
            continue;
        }
        if (!h.RunLength()) {
            if (!in.Read(line.data(), imageBytes)) throw "corrupted TGA";
        } else {
            size_t x = 0;
            while (x < size_t(width)) {
                if (!runLeft && !rawLeft) {
                    int count = in.GetByte();
                    if (count < 0) throw "corrupted TGA";
                    if (count & 0x80) {
                        runLeft = size_t(count - 127);
                        if (!in.Read(runPixel, pixelBytes)) throw "corrupted TGA";
                    } else {
                        rawLeft = size_t(count + 1);
                    }
                }
                if (runLeft) {
                    size_t n = std::min(runLeft, size_t(width) - x);
                    for (size_t i = 0; i < n; ++i, ++x)
                        std::memcpy(line.data() + x * pixelBytes, runPixel, pixelBytes);
                    runLeft -= n;
                } else {
                    size_t n = std::min(rawLeft, size_t(width) - x);
                    if (!in.Read(line.data() + x * pixelBytes, n * pixelBytes)) throw "corrupted TGA";
                    x += n;
                    rawLeft -= n;
                }
            }
        }
        LONG y = topDown ? height - 1 - row : row;
        BYTE* target = info.bits + size_t(y) * info.effWidth;
        BYTE* alphaRow = alpha ? alpha + size_t(y) * size_t(width) : nullptr;
        const uint8_t* source = line.data();
        for (LONG i = 0; i < width; ++i, source += pixelBytes) {
            LONG x = mirrored ? width - 1 - i : i;
            switch (pixelBytes) {
            case 1:
                target[x] = source[0];
                break;
            case 2:
                Store555(RxByteReader::Le16(source), target + 3 * x);
                break;
            default:
                std::memcpy(target + 3 * x, source, 3);
                if (alphaRow) alphaRow[x] = source[3];
            }
        }
    }
}

bool RxImageTGA::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        WORD bpp = GetBpp();
        if (bpp < 8) throw "Bit depth must be 8 or 24";
        LONG width = GetWidth(), height = GetHeight();
        if (width > 0xFFFF || height > 0xFFFF) throw "Image too large for TGA";
        const bool withAlpha = bpp == 24 && alpha;
        RxByteWriter out(file);
        out.Put(0);
        out.Put(bpp == 8 ? 1 : 0);
        out.Put(bpp == 8 ? 1 : 2);
        out.Put16(0);
        out.Put16(bpp == 8 ? 256 : 0);
        out.Put(bpp == 8 ? 24 : 0);
        out.Put16(0);
        out.Put16(0);
        out.Put16(WORD(width));
        out.Put16(WORD(height));
        out.Put(withAlpha ? 32 : BYTE(bpp));
        // Eight attribute bits tell readers that the fourth byte is alpha.
        out.Put(withAlpha ? 8 : 0);
        if (bpp == 8) {
            const RGBQUAD* palette = GetPalette();
            for (DWORD i = 0; i < 256; ++i) {
                RGBQUAD c = i < header.biClrUsed ? palette[i] : RGBQUAD{0, 0, 0, 0};
                out.Put(c.rgbBlue);
                out.Put(c.rgbGreen);
                out.Put(c.rgbRed);
            }
        }
        const size_t rowBytes = size_t(width) * (bpp / 8);
        std::vector<uint8_t> line(size_t(width) * 4);
        for (LONG y = 0; y < height; ++y) {
            const BYTE* source = info.bits + size_t(y) * info.effWidth;
            if (!withAlpha) {
                out.Write(source, rowBytes);
                continue;
            }
            const BYTE* alphaRow = alpha + size_t(y) * size_t(width);
            for (LONG x = 0; x < width; ++x) {
                std::memcpy(&line[size_t(x) * 4], source + 3 * x, 3);
                line[size_t(x) * 4 + 3] = BYTE(alphaRow[x] * info.alphaMax / 255);
            }
            out.Write(line.data(), line.size());
        }
        if (!out.Finish()) throw "Write Error in TGA file";
    });
}

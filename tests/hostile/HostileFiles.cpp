#include "HostileFiles.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <zlib.h>

#include "image/RxImage.h"

namespace {

class Writer {
public:
    Bytes bytes;
    Writer& U8(uint32_t v) {
        bytes.push_back(uint8_t(v));
        return *this;
    }
    Writer& Le16(uint32_t v) { return U8(v).U8(v >> 8); }
    Writer& Le32(uint32_t v) { return Le16(v).Le16(v >> 16); }
    Writer& Be32(uint32_t v) { return U8(v >> 24).U8(v >> 16).U8(v >> 8).U8(v); }
    Writer& Str(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Writer& Fill(size_t count, uint8_t value = 0) {
        bytes.insert(bytes.end(), count, value);
        return *this;
    }
};

void PutBe(Bytes& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.at(at + size_t(i)) = uint8_t(value >> (8 * (count - 1 - i)));
}

}  // namespace

Bytes Truncated(Bytes bytes, size_t keep) {
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes MakeBmp(uint32_t width, uint32_t height, int bpp, bool withPixels) {
    const uint32_t palette = bpp <= 8 ? 4u << bpp : 0;
    const uint64_t rowBytes = (uint64_t(width) * uint32_t(bpp) + 31) / 32 * 4;
    Writer w;
    w.Str("BM").Le32(0).Le32(0).Le32(54 + palette);
    w.Le32(40).Le32(width).Le32(height).Le16(1).Le16(uint32_t(bpp)).Le32(0).Le32(0).Le32(2835).Le32(2835);
    w.Le32(0).Le32(0);
    for (uint32_t i = 0; i < palette / 4; ++i) w.U8(i).U8(i).U8(i).U8(0);
    if (withPixels) w.Fill(size_t(rowBytes * height), 0x5A);
    return w.bytes;
}

Bytes MakeRunLengthBmp(uint32_t width, uint32_t height) {
    Bytes bytes = MakeBmp(width, height, 8, false);
    bytes[30] = 1;  // compression: run-length, 8 bits
    bytes.push_back(0);
    bytes.push_back(1);  // end of bitmap
    return bytes;
}

Bytes MakeGif(uint16_t screenWidth, uint16_t screenHeight, uint16_t frameWidth, uint16_t frameHeight) {
    Writer w;
    w.Str("GIF89a").Le16(screenWidth).Le16(screenHeight).U8(0x80).U8(0).U8(0);
    w.U8(0).U8(0).U8(0).U8(255).U8(255).U8(255);
    w.U8(0x2C).Le16(0).Le16(0).Le16(frameWidth).Le16(frameHeight).U8(0);
    // Minimum code size 2: clear (4), pixel 0, end (5) in 3-bit codes.
    w.U8(2).U8(2).U8(0x44).U8(0x01).U8(0).U8(0x3B);
    return w.bytes;
}

Bytes MakeTga(uint16_t width, uint16_t height, int depth, bool withPixels) {
    Writer w;
    w.U8(0).U8(0).U8(2).Le16(0).Le16(0).U8(0).Le16(0).Le16(0).Le16(width).Le16(height).U8(uint32_t(depth)).U8(0);
    if (withPixels) w.Fill(size_t(width) * height * size_t((depth + 7) / 8), 0x33);
    return w.bytes;
}

Bytes MakeRunLengthTga(uint16_t width, uint16_t height) {
    Writer w;
    w.U8(0).U8(0).U8(10).Le16(0).Le16(0).U8(0).Le16(0).Le16(0).Le16(width).Le16(height).U8(24).U8(0);
    // Each packet repeats one pixel 128 times.
    for (uint64_t pixels = uint64_t(width) * height; pixels > 0; pixels -= std::min<uint64_t>(pixels, 128))
        w.U8(0xFF).U8(1).U8(2).U8(3);
    return w.bytes;
}

Bytes MakePcx(uint16_t width, uint16_t height, int planes, bool withPixels) {
    const uint16_t bytesPerLine = uint16_t(std::min<uint32_t>((width + 1u) & ~1u, 65535u));
    Writer w;
    w.U8(10).U8(5).U8(1).U8(8).Le16(0).Le16(0).Le16(uint16_t(width - 1)).Le16(uint16_t(height - 1));
    w.Le16(72).Le16(72).Fill(48).U8(0).U8(uint32_t(planes)).Le16(bytesPerLine).Le16(1).Fill(58);
    if (!withPixels) return w.bytes;
    // Runs of at most 63 bytes, across scan lines.
    for (uint64_t left = uint64_t(height) * uint64_t(planes) * bytesPerLine; left > 0;) {
        const uint64_t run = std::min<uint64_t>(left, 63);
        w.U8(0xC0 | uint32_t(run)).U8(0x21);
        left -= run;
    }
    if (planes == 1) {
        w.U8(12);
        for (int i = 0; i < 256; ++i) w.U8(uint32_t(i)).U8(uint32_t(i)).U8(uint32_t(i));
    }
    return w.bytes;
}

Bytes MakeWbmp(uint8_t width, uint8_t height, bool withPixels) {
    Writer w;
    w.U8(0).U8(0).U8(width).U8(height);
    if (withPixels) w.Fill(size_t((width + 7) / 8) * height, 0xA5);
    return w.bytes;
}

Bytes MakePpm(uint32_t width, uint32_t height, bool withPixels) {
    Writer w;
    w.Str("P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n");
    if (withPixels) w.Fill(size_t(width) * height * 3, 0x7F);
    return w.bytes;
}

Bytes MakeTiff(uint32_t width, uint32_t height, bool withPixels, bool rgb) {
    struct Tag {
        uint16_t id, type;
        uint32_t count, value;
    };
    const uint32_t entries = 9;
    const uint32_t samples = rgb ? 3 : 1;
    const uint32_t bitsOffset = 8 + 2 + entries * 12 + 4;  // three shorts, used when rgb
    const uint32_t dataOffset = bitsOffset + (rgb ? 6 : 0);
    const Tag tags[] = {
        {256, 4, 1, width},          {257, 4, 1, height},
        {258, 3, samples, rgb ? bitsOffset : 8},
        {259, 3, 1, 1},              {262, 3, 1, rgb ? 2u : 1u},
        {273, 4, 1, dataOffset},     {277, 3, 1, samples},
        {278, 4, 1, height},         {279, 4, 1, width * height * samples},
    };
    Writer w;
    w.Str("II").Le16(42).Le32(8).Le16(entries);
    for (const Tag& tag : tags) {
        w.Le16(tag.id).Le16(tag.type).Le32(tag.count);
        if (tag.type == 3 && tag.count == 1)
            w.Le16(tag.value).Le16(0);
        else
            w.Le32(tag.value);
    }
    w.Le32(0);
    if (rgb) w.Le16(8).Le16(8).Le16(8);
    if (withPixels) w.Fill(size_t(width) * height * samples, 0x80);
    return w.bytes;
}

Bytes EncodeSmallPicture(uint32_t type) {
    RxImage image(8, 8, 24, 0);
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x) image.SetPixelColor(x, y, RGBQUAD{BYTE(x * 30), BYTE(y * 30), 90, 0});
    BYTE* encoded = nullptr;
    LONG size = 0;
    if (!image.Encode(encoded, size, type)) throw std::runtime_error(image.GetLastError());
    Bytes bytes(encoded, encoded + size);
    std::free(encoded);
    return bytes;
}

Bytes WithJpegSize(Bytes jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            PutBe(jpeg, i + 5, height, 2);
            PutBe(jpeg, i + 7, width, 2);
            return jpeg;
        }
    }
    throw std::runtime_error("no frame header");
}

Bytes WithPngSize(Bytes png, uint32_t width, uint32_t height) {
    // Signature (8), length (4), "IHDR" (4), then width and height.
    PutBe(png, 16, width, 4);
    PutBe(png, 20, height, 4);
    const uLong crc = crc32(0, png.data() + 12, 17);
    PutBe(png, 29, uint32_t(crc), 4);
    return png;
}

Bytes MakeJ2k(uint32_t width, uint32_t height) {
    std::ifstream seed(PROJECT_SOURCE_DIR "/fuzz/corpus/fuzz_component_decode/seed_j2k", std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(seed), std::istreambuf_iterator<char>()};
    if (bytes.size() < 32 || bytes[2] != 0xFF || bytes[3] != 0x51) throw std::runtime_error("no J2K seed");
    // Image size (Xsiz, Ysiz) and tile size (XTsiz, YTsiz) of the SIZ segment.
    PutBe(bytes, 8, width, 4);
    PutBe(bytes, 12, height, 4);
    PutBe(bytes, 24, width, 4);
    PutBe(bytes, 28, height, 4);
    return bytes;
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/RxImage.h"
#include "image/RxMemFile.h"

// Little-endian byte building for hand-made test files.
struct ByteBuilder {
    std::vector<uint8_t> bytes;

    ByteBuilder& u8(int v) {
        bytes.push_back(uint8_t(v));
        return *this;
    }
    ByteBuilder& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    ByteBuilder& u32(uint32_t v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    ByteBuilder& text(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& raw(const std::vector<uint8_t>& v) {
        bytes.insert(bytes.end(), v.begin(), v.end());
        return *this;
    }
    ByteBuilder& fill(size_t n, int v) {
        bytes.insert(bytes.end(), n, uint8_t(v));
        return *this;
    }
};

// Decodes bytes with codec C; the codec object keeps the picture or the error.
template <class C>
bool DecodeBytes(C& codec, std::vector<uint8_t> bytes) {
    RxMemFile file(bytes.data(), uint32_t(bytes.size()));
    return codec.Decode(&file);
}

// Encodes an image with codec C (as a copy of it) and returns the file bytes;
// ok reports the encoder's result and error its text.
template <class C>
std::vector<uint8_t> EncodeBytes(const RxImage& image, bool* ok = nullptr, std::string* error = nullptr,
                                 DWORD option = 0) {
    C codec;
    codec.Copy(image);
    codec.SetEncodeOption(option);
    RxMemFile file;
    file.Open();
    bool result = codec.Encode(&file);
    if (ok) *ok = result;
    if (error) *error = codec.GetLastError();
    int32_t size = file.Size();
    unsigned char* data = file.GetBuffer();
    std::vector<uint8_t> out(data, data + (size > 0 ? size : 0));
    std::free(data);
    return out;
}

// Colour of pixel (x, y) with y counted from the top of the picture, as
// 0xRRGGBB.
inline uint32_t TopDownRgb(RxImage& image, LONG x, LONG y) {
    RGBQUAD c = image.GetPixelColor(x, image.GetHeight() - 1 - y);
    return (uint32_t(c.rgbRed) << 16) | (uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
}

// Test pictures: a palette image of bpp bits whose index at (x, y) is
// PatternIndex, with a distinct colour for each index, or a 24-bit image with
// PatternColor.
inline BYTE PatternIndex(LONG x, LONG y, WORD bpp) {
    return BYTE((x * 7 + y * 3 + (x * y) % 5) & ((1 << bpp) - 1));
}
inline RGBQUAD PatternColor(LONG x, LONG y) {
    return RGBQUAD{BYTE(x * 13 + y), BYTE(y * 29 + 7), BYTE((x ^ y) * 11), 0};
}
inline void MakePattern(RxImage& image, LONG width, LONG height, WORD bpp) {
    image.Create(DWORD(width), DWORD(height), bpp, 0);
    if (bpp <= 8) {
        for (DWORD i = 0; i < image.GetNumColors(); ++i)
            image.SetPaletteColor(BYTE(i), BYTE(i * 37), BYTE(255 - i), BYTE(i * 11 + 3));
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) image.SetPixelIndex(x, y, PatternIndex(x, y, bpp));
    } else {
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) image.SetPixelColor(x, y, PatternColor(x, y));
    }
}

// True when both pictures have the same size and every pixel the same colour.
inline bool SamePixels(RxImage& a, RxImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (LONG y = 0; y < a.GetHeight(); ++y)
        for (LONG x = 0; x < a.GetWidth(); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue) return false;
        }
    return true;
}

// A binary PPM page image as the preview writes them.
inline std::vector<uint8_t> PageImage(int width, int height) {
    std::string head = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<uint8_t> bytes(head.begin(), head.end());
    for (int i = 0; i < width * height * 3; ++i) bytes.push_back(uint8_t(i * 7));
    return bytes;
}

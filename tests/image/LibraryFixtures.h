#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/RxImage.h"

// Exposes the fields the codecs set to the tests.
class LibraryProbe : public RxImage {
public:
    using RxImage::RxImage;
    const BITMAPINFOHEADER& Header() const { return header; }
    const Info& GetInfo() const { return info; }
    BYTE* AlphaPlane() const { return alpha; }
};

typedef std::vector<uint8_t> Bytes;

// Decodes bytes from memory with the given format identifier.
bool DecodeBytes(RxImage& image, Bytes data, DWORD type);
// Encodes into memory; empty on failure.
Bytes EncodeBytes(RxImage& image, DWORD type);

// A PNG written by libpng itself: rows are given top row first, each packed
// as the format packs them (samples big-endian for 16 bits).
struct PngFixture {
    int width = 0, height = 0;
    int colorType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<Bytes> rows;
    std::vector<uint8_t> palette;  // red, green, blue triples
    std::vector<uint8_t> trans;    // palette alpha, or a 16-bit grey / colour key
    std::vector<uint16_t> background;  // bKGD: one grey value or red, green, blue
    int physUnit = -1;             // -1: no pHYs chunk
    uint32_t physX = 0, physY = 0;
    Bytes Build() const;
};

// A JPEG written by the JPEG library itself from interleaved samples, top row
// first; `components` 1 (grey), 3 (RGB) or 4 (CMYK, written as is).
struct JpegFixture {
    int width = 0, height = 0;
    int components = 3;
    int quality = 95;
    bool progressive = false;
    int densityUnit = 0;
    int xDensity = 1, yDensity = 1;
    Bytes samples;
    Bytes Build() const;
};

// A minimal Exif block (the APP1 payload after its length bytes) with the
// given tags in one directory, little-endian.
struct ExifFixture {
    uint16_t orientation = 0;
    uint32_t xResolution = 0, yResolution = 0;  // numerator over 1
    uint16_t resolutionUnit = 0;
    std::string make, model, dateTime;
    Bytes Build() const;
};

// Inserts an APP1 section with the payload right after the start marker.
Bytes WithApp1(const Bytes& jpeg, const Bytes& payload);

// Runs the helper script with python3 (Pillow); returns its exit status.
int RunPython(const std::string& script, const std::string& arguments);

#pragma once

// Builders of small image files for every format the content search reaches,
// each with the knobs that hostile variants turn: claimed size, depth, and
// whether the pixel data is there.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes Truncated(Bytes bytes, size_t keep);
Bytes Text(const std::string& text);

// Uncompressed bottom-up bitmap with file header; 1, 4, 8 or 24 bits.
Bytes MakeBmp(uint32_t width, uint32_t height, int bpp, bool withPixels = true);
// Run-length coded 8-bit bitmap whose data ends the picture at once: its
// length does not tell the size it claims.
Bytes MakeRunLengthBmp(uint32_t width, uint32_t height);
// One frame of frameWidth x frameHeight at (0, 0) of the logical screen, two
// colours, the code stream of a single pixel.
Bytes MakeGif(uint16_t screenWidth, uint16_t screenHeight, uint16_t frameWidth, uint16_t frameHeight);
// Uncompressed true-colour TGA (image type 2) of the given depth.
Bytes MakeTga(uint16_t width, uint16_t height, int depth, bool withPixels = true);
// Run-length coded true-colour TGA (image type 10), the fewest bytes that
// carry the pixels.
Bytes MakeRunLengthTga(uint16_t width, uint16_t height);
// Run-length coded PCX of `planes` planes of 8 bits (1 plane: with the
// 256-entry palette after the data).
Bytes MakePcx(uint16_t width, uint16_t height, int planes, bool withPixels = true);
Bytes MakeWbmp(uint8_t width, uint8_t height, bool withPixels = true);
// Binary PPM ("P6") with maximum value 255.
Bytes MakePpm(uint32_t width, uint32_t height, bool withPixels = true);
// Uncompressed 8-bit grey (or RGB) TIFF in one strip.
Bytes MakeTiff(uint32_t width, uint32_t height, bool withPixels = true, bool rgb = false);
// A JPEG or PNG of a small picture, written by the library's own encoders.
Bytes EncodeSmallPicture(uint32_t type);
// The JPEG with its frame header claiming another size.
Bytes WithJpegSize(Bytes jpeg, uint16_t width, uint16_t height);
// The PNG with its header chunk claiming another size (checksum renewed).
Bytes WithPngSize(Bytes png, uint32_t width, uint32_t height);
// A JPEG 2000 code stream whose image and tile claim width x height.
Bytes MakeJ2k(uint32_t width, uint32_t height);

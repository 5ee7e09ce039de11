#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/RxImage.h"

// Exposes the protected fields of an image to the tests.
class ImageProbe : public RxImage {
public:
    using RxImage::RxImage;
    const BITMAPINFOHEADER& Header() const { return header; }
    const Info& GetInfo() const { return info; }
    const BITMAPINFOHEADER& DibHeader() const { return *static_cast<const BITMAPINFOHEADER*>(dib); }
    void ForceGhostOf(const RxImage& other) { Ghost(&other); }
};

// A file under the test's temporary directory, removed at the end.
class TempFile {
public:
    explicit TempFile(const std::string& name, const std::string& content = std::string());
    ~TempFile();
    const char* Path() const { return path.c_str(); }
    std::string Read() const;

private:
    std::string path;
};

std::vector<uint8_t> Bytes(const std::string& text);

// A binary PPM whose pixel (x, y), y counted from the top, has the colour
// Colour(x, y).
std::string MakePpm(int width, int height);
RGBQUAD PpmColour(int x, int y);

// A JPEG 2000 code stream (jp2 false) or JP2 file of a picture with the given
// components, each sample value(x, y, c), losslessly coded.
std::vector<uint8_t> MakeJpeg2000(int width, int height, int components, int precision, bool jp2);
int Jpeg2000Sample(int x, int y, int c, int precision);

#pragma once

#include "image/RxImage.h"

class RxByteReader;

// Targa pictures: colour-mapped, true-colour and grey, plain or run-length
// coded (types 1, 2, 3, 9, 10, 11), 8, 15, 16, 24 and 32 bits per pixel.
class RxImageTGA : public RxImage {
public:
    explicit RxImageTGA(DWORD type = RXIMAGE_FORMAT_TGA) : RxImage(type) {}
    ~RxImageTGA() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

private:
    struct Header;
    static bool MayHoldPixels(const RxByteReader& in, const Header& h);
    void ReadColorMap(RxByteReader& in, const Header& h);
    void ReadPixels(RxByteReader& in, const Header& h);
};

#pragma once

#include "image/RxImage.h"

// Wireless bitmaps, type 0: one bit per pixel, 1 is white, rows from the top.
class RxImageWBMP : public RxImage {
public:
    explicit RxImageWBMP(DWORD type = RXIMAGE_FORMAT_WBMP) : RxImage(type) {}
    ~RxImageWBMP() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);
};

#pragma once

#include "image/RxImage.h"

// PNG codec on libpng: every colour type and bit depth, interlaced or not,
// with palette transparency, alpha planes and the physical resolution.
class RxImagePNG : public RxImage {
public:
    explicit RxImagePNG(DWORD type = RXIMAGE_FORMAT_PNG) : RxImage(type) {}
    ~RxImagePNG() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

    // The shape of the rows the library delivers for one file.
    struct Layout;

private:
    void CreateFor(const Layout& layout);
    void TakePalette(const Layout& layout);
    void StoreRows(const Layout& layout, const BYTE* pixels, size_t rowBytes);
    void EncodeBody(RxFile* file);
};

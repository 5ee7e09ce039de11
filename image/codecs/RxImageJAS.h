#pragma once

#include "image/RxImage.h"

class ComponentImage;

// The component-image codec: decodes every format of the component layer's
// format table (PNM in all its forms, JPEG 2000 files and code streams) and
// encodes PNM. Constructed with type 0 it recognises the format by content;
// with 9 it stands for PNM.
class RxImageJAS : public RxImage {
public:
    explicit RxImageJAS(DWORD type = RXIMAGE_FORMAT_PNM) : RxImage(type) {}
    ~RxImageJAS() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

private:
    // Three components of one size: a 24-bit picture, top row first.
    void StoreColour(const ComponentImage& image);
    // Otherwise the components are frames; the chosen one becomes a grey
    // palette picture.
    void StoreFrame(const ComponentImage& image);
};

#pragma once

#include "image/RxImage.h"

class RxByteReader;

// Windows and OS/2 bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and
// RLE8, bit fields. Pictures of 16 and 32 bits become 24-bit images; the
// encoder writes the image's own packed bitmap behind a file header.
class RxImageBMP : public RxImage {
public:
    explicit RxImageBMP(DWORD type = RXIMAGE_FORMAT_BMP) : RxImage(type) {}
    ~RxImageBMP() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

private:
    struct Layout;
    void ReadInfoHeader(RxByteReader& in, Layout& layout);
    void ReadPalette(RxByteReader& in, const Layout& layout);
    static bool MayHoldRows(const RxByteReader& in, const Layout& layout);
    void ReadRows(RxByteReader& in, const Layout& layout);
    void ReadRle(RxByteReader& in, const Layout& layout);
    void ReadBitFields(RxByteReader& in, const Layout& layout);
    BYTE* RowForFileRow(LONG fileRow, const Layout& layout) const;
};

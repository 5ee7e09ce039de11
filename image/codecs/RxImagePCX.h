#pragma once

#include "image/RxImage.h"

class RxByteReader;
class RxByteWriter;

// PC Paintbrush pictures: run-length coded scan lines of 1 to 4 planes,
// 16-colour header palettes and the 256-colour palette after the data. The
// encoder writes 8-bit (one plane) and 24-bit (three planes) pictures.
class RxImagePCX : public RxImage {
public:
    explicit RxImagePCX(DWORD type = RXIMAGE_FORMAT_PCX) : RxImage(type) {}
    ~RxImagePCX() override {}

    bool Decode(RxFile* file);
    bool Decode(FILE* stream);
    bool Encode(RxFile* file);
    bool Encode(FILE* stream);

private:
    struct Header;
    void ReadTrailerPalette(RxByteReader& in);
    void StoreRow(const BYTE* scan, const Header& h, LONG y);
    static void EncodeLine(RxByteWriter& out, const BYTE* data, size_t length);
};

#include "image/codecs/RxImageWBMP.h"

#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxByteWriter.h"

namespace {

// Header numbers are multi-byte integers: seven bits per byte, most
// significant first, the top bit set on every byte but the last. Numbers below
// 128 are one plain byte.
bool ReadNumber(RxByteReader& in, DWORD* value) {
    DWORD v = 0;
    for (int i = 0; i < 4; ++i) {
        int c = in.GetByte();
        if (c < 0) return false;
        v = (v << 7) | DWORD(c & 0x7F);
        if (!(c & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

void WriteNumber(RxByteWriter& out, DWORD value) {
    if (value >= 0x80) out.Put(BYTE(0x80 | (value >> 7)));
    out.Put(BYTE(value & 0x7F));
}

}  // namespace

bool RxImageWBMP::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageWBMP::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageWBMP::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        RxByteReader in(file);
        DWORD type = 0, width = 0, height = 0;
        if (!ReadNumber(in, &type)) throw "Not a WBMP";
        if (type != 0) throw "Unsupported WBMP type";
        int fixed = in.GetByte();
        if (fixed < 0 || !ReadNumber(in, &width) || !ReadNumber(in, &height)) throw "Not a WBMP";
        if (width == 0 || height == 0) throw "Corrupted WBMP";
        if (!FitsDecodeLimit(width, height, 1) || !Create(width, height, 1, info.type))
            throw "WBMP Create failed";
        SetGrayPalette();
        const size_t rowBytes = (size_t(width) + 7) / 8;
        for (LONG row = 0; row < LONG(height); ++row) {
            ThrowIfCancelled();
            BYTE* target = info.bits + size_t(LONG(height) - 1 - row) * info.effWidth;
            if (!in.Read(target, rowBytes)) throw "Corrupted WBMP";
        }
    });
}

bool RxImageWBMP::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib || GetBpp() != 1 || GetWidth() > 255 || GetHeight() > 255)
            throw "Can't save this image as WBMP";
        RxByteWriter out(file);
        out.Put(0);
        out.Put(0);
        WriteNumber(out, DWORD(GetWidth()));
        WriteNumber(out, DWORD(GetHeight()));
        const size_t rowBytes = (size_t(GetWidth()) + 7) / 8;
        // WBMP has no palette: 1 is white. An image whose index 0 is the
        // lighter colour is written inverted so that it looks the same.
        const RGBQUAD* palette = GetPalette();
        auto gray = [](RGBQUAD c) { return c.rgbRed * 306 + c.rgbGreen * 601 + c.rgbBlue * 117; };
        const bool invert = gray(palette[0]) > gray(palette[1]);
        std::vector<BYTE> line(rowBytes);
        for (LONG y = GetHeight() - 1; y >= 0; --y) {
            const BYTE* source = info.bits + size_t(y) * info.effWidth;
            for (size_t i = 0; i < rowBytes; ++i) line[i] = invert ? BYTE(~source[i]) : source[i];
            out.Write(line.data(), rowBytes);
        }
        if (!out.Finish()) throw "Write Error in WBMP file";
    });
}

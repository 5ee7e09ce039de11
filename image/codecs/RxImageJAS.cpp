#include "image/codecs/RxImageJAS.h"

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/ComponentFormatTable.h"
#include "image/codecs/ComponentImage.h"
#include "image/codecs/ComponentStream.h"

namespace {

// The component stream's operations, routed to an RxFile.
size_t FileRead(void* handle, void* buffer, size_t count) {
    return size_t(static_cast<RxFile*>(handle)->Read(buffer, 1, count));
}

size_t FileWrite(void* handle, const void* buffer, size_t count) {
    return size_t(static_cast<RxFile*>(handle)->Write(buffer, 1, count));
}

bool FileSeek(void* handle, int64_t offset, int origin) {
    if (offset < INT32_MIN || offset > INT32_MAX) return false;
    return static_cast<RxFile*>(handle)->Seek(int32_t(offset), origin);
}

int64_t FileTell(void* handle) {
    return static_cast<RxFile*>(handle)->Tell();
}

// The file belongs to whoever handed it to the codec: ending the stream must
// not close it (that would free a caller's memory block or stream).
bool LeaveFileOpen(void*) {
    return true;
}

const ComponentStreamOps kFileOps = {&FileRead, &FileWrite, &FileSeek, &FileTell, &LeaveFileOpen};

// The codec's own text, followed by the component layer's reason when it
// gave one.
std::string WithDetail(const char* text, const std::string& detail) {
    if (detail.empty()) return text;
    return std::string(text) + ": " + detail;
}

// The first three components of one size make a colour picture; a fourth
// (alpha, say) does not turn it into frames.
bool ThreeEqualComponents(const ComponentImage& image) {
    if (image.NumComponents() < 3) return false;
    const ComponentImage::Component& c0 = image.Get(0);
    const ComponentImage::Component& c1 = image.Get(1);
    const ComponentImage::Component& c2 = image.Get(2);
    return c1.width == c0.width && c1.height == c0.height && c1.precision == c0.precision &&
           c2.width == c1.width && c2.height == c1.height && c2.precision == c1.precision;
}

// Palette images of 1, 4 and 8 bits take such samples as they are; colour
// pictures need 8-bit samples to be shown right.
bool NeedsConversion(const ComponentImage& image) {
    int precision = image.Get(0).precision;
    if (ThreeEqualComponents(image)) return precision != 8 || image.Get(0).isSigned;
    return precision != 1 && precision != 4 && precision != 8;
}

}  // namespace

bool RxImageJAS::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageJAS::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageJAS::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        const ComponentFormatTable& formats = ComponentFormatTable::Instance();
        if (formats.Count() == 0) throw "cannot initialize jasper";
        ComponentStream stream(kFileOps, file);
        std::string detail;
        std::unique_ptr<ComponentImage> image = formats.Decode(stream, GetDecodeLimit(), &detail);
        if (!image) throw WithDetail("error: cannot load image data", detail);
        if (image->NumComponents() > 64 || image->NumComponents() < 0) throw "error: too much components";
        if (NeedsConversion(*image)) {
            image = image->ToSRGB8(&detail);
            if (!image) throw WithDetail("cannot convert to sRGB", detail);
        }
        if (ThreeEqualComponents(*image))
            StoreColour(*image);
        else
            StoreFrame(*image);
    });
}

void RxImageJAS::StoreColour(const ComponentImage& image) {
    const ComponentImage::Component& c0 = image.Get(0);
    if (!FitsDecodeLimit(DWORD(c0.width), DWORD(c0.height), 24) ||
        !Create(DWORD(c0.width), DWORD(c0.height), 24, info.type))
        throw "Can't allocate memory";
    std::vector<int32_t> rows[3];
    for (std::vector<int32_t>& row : rows) row.resize(size_t(c0.width));
    for (int32_t y = 0; y < c0.height; ++y) {
        ThrowIfCancelled();
        BYTE* target = info.bits + size_t(c0.height - 1 - y) * info.effWidth;
        int steps[3];
        const uint8_t* direct[3];
        for (int c = 0; c < 3; ++c) direct[c] = image.Row8(c, y, &steps[c]);
        if (direct[0] && direct[1] && direct[2]) {
            if (steps[0] == 3 && direct[1] == direct[0] + 1 && direct[2] == direct[0] + 2) {
                // Interleaved red, green, blue: swap into blue, green, red.
                const uint8_t* source = direct[0];
                for (int32_t x = 0; x < c0.width; ++x, source += 3, target += 3) {
                    target[0] = source[2];
                    target[1] = source[1];
                    target[2] = source[0];
                }
            } else {
                for (int32_t x = 0; x < c0.width; ++x, target += 3) {
                    target[0] = direct[2][size_t(x) * size_t(steps[2])];
                    target[1] = direct[1][size_t(x) * size_t(steps[1])];
                    target[2] = direct[0][size_t(x) * size_t(steps[0])];
                }
            }
            continue;
        }
        for (int c = 0; c < 3; ++c) image.ReadRow(c, y, rows[c].data());
        for (int32_t x = 0; x < c0.width; ++x, target += 3) {
            target[0] = BYTE(rows[2][size_t(x)]);
            target[1] = BYTE(rows[1][size_t(x)]);
            target[2] = BYTE(rows[0][size_t(x)]);
        }
    }
}

void RxImageJAS::StoreFrame(const ComponentImage& image) {
    info.numFrames = image.NumComponents();
    if (info.frame < 0 || info.frame >= info.numFrames) throw "wrong frame!";
    const ComponentImage::Component& component = image.Get(info.frame);
    DWORD bpp = DWORD(component.precision < 8 ? component.precision : 8);
    if (!FitsDecodeLimit(DWORD(component.width), DWORD(component.height), bpp) ||
        !Create(DWORD(component.width), DWORD(component.height), bpp, info.type))
        throw "Can't allocate memory";
    SetGrayPalette();
    std::vector<int32_t> row(size_t(component.width));
    for (int32_t y = 0; y < component.height; ++y) {
        ThrowIfCancelled();
        LONG targetY = component.height - 1 - y;
        image.ReadRow(info.frame, y, row.data());
        if (header.biBitCount == 8) {
            BYTE* target = info.bits + size_t(targetY) * info.effWidth;
            for (int32_t x = 0; x < component.width; ++x) target[x] = BYTE(row[size_t(x)]);
        } else {
            for (int32_t x = 0; x < component.width; ++x) SetPixelIndex(x, targetY, BYTE(row[size_t(x)]));
        }
    }
}

bool RxImageJAS::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        bool grey = IsIndexed();
        if (grey && !IsGrayScale()) throw "JasPer can save only RGB or GrayScale images";
        LONG width = GetWidth(), height = GetHeight();

        ComponentImage image;
        ComponentImage::Component component;
        component.width = width;
        component.height = height;
        component.precision = 8;
        std::string detail;
        if (!image.AddInterleaved(component, grey ? 1 : 3, &detail)) throw "error : jas_image_create";
        if (grey) {
            image.SetColorSpace(ComponentImage::ColorSpace::Gray);
            image.SetType(0, ComponentImage::ComponentType::Gray);
        } else {
            image.SetColorSpace(ComponentImage::ColorSpace::SRGB);
            image.SetType(0, ComponentImage::ComponentType::Red);
            image.SetType(1, ComponentImage::ComponentType::Green);
            image.SetType(2, ComponentImage::ComponentType::Blue);
        }
        for (LONG j = 0; j < height; ++j) {
            const BYTE* source = info.bits + size_t(j) * info.effWidth;
            int step = 0;
            uint8_t* target = image.Row8(0, height - 1 - j, &step);
            if (grey) {
                for (LONG x = 0; x < width; ++x) target[x] = GetPixelIndex(x, j);
            } else {
                for (LONG x = 0; x < width; ++x, source += 3, target += 3) {
                    target[0] = source[2];
                    target[1] = source[1];
                    target[2] = source[0];
                }
            }
        }

        const char* formatName = info.type == RXIMAGE_FORMAT_PNM ? "pnm" : "";
        char options[32];
        std::snprintf(options, sizeof(options), "rate=%.3f", info.jpegQuality / 100.0);
        ComponentStream stream(kFileOps, file);
        if (!ComponentFormatTable::Instance().Encode(image, stream, formatName, options, &detail))
            throw "error: cannot encode image\n";
    });
}

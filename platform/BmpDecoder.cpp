#include "platform/BmpDecoder.h"

#include "platform/DibReader.h"

namespace {

constexpr size_t kFileHeaderSize = 14;

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

bool BmpDecoder::Decode(const void* data, size_t size, Surface* out, std::string* error) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < kFileHeaderSize || p[0] != 'B' || p[1] != 'M') {
        if (error) *error = "not a BMP file";
        return false;
    }
    const uint8_t* dib = p + kFileHeaderSize;
    const size_t dibSize = size - kFileHeaderSize;
    DibReader::Info info;
    if (!DibReader::ReadInfo(dib, dibSize, &info, error)) return false;
    // The pixel offset of the file header wins when it is plausible; some
    // writers leave gaps after the palette.
    size_t pixelOffset = Le32(p + 10);
    if (pixelOffset < kFileHeaderSize + info.headerSize || pixelOffset >= size)
        pixelOffset = kFileHeaderSize + info.headerSize;
    if (pixelOffset > size) {
        if (error) *error = "truncated BMP file";
        return false;
    }
    return DibReader::DecodePixels(info, p + pixelOffset, size - pixelOffset, out, error);
}

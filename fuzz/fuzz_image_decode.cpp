// Any bytes through the content search of the image classes, and what a
// decoded picture goes through next in the preview: a scaled draw.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/RxImage.h"
#include "platform/CDC.h"
#include "platform/Surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Keep pictures small so that a run explores formats, not allocations.
    RxImage::SetDecodeLimit(64u << 20);
    std::vector<uint8_t> copy(data, data + size);
    RxImage image(0);
    if (!image.Decode(copy.data(), DWORD(copy.size()), 0)) return 0;
    Surface surface(64, 48);
    CDC dc(&surface);
    image.Draw(&dc, 3, 2, 50, 40);
    BYTE* encoded = nullptr;
    LONG encodedSize = 0;
    if (image.Encode(encoded, encodedSize, RXIMAGE_FORMAT_PNM)) free(encoded);
    return 0;
}

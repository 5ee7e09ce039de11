// Feeds arbitrary bytes to the TIFF decoder; the last byte picks the page.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/RxMemFile.h"
#include "image/codecs/RxImageTIF.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RxImage::SetDecodeLimit(64u << 20);
    std::vector<uint8_t> bytes(data, data + size);
    RxMemFile file(bytes.data(), uint32_t(bytes.size()));
    RxImageTIF codec;
    codec.SetFrame(size ? data[size - 1] % 4 : 0);
    codec.Decode(&file);
    return 0;
}

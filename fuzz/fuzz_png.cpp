// Feeds arbitrary bytes to the PNG decoder, and re-encodes what decodes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/RxMemFile.h"
#include "image/codecs/RxImagePNG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RxImage::SetDecodeLimit(64u << 20);
    std::vector<uint8_t> bytes(data, data + size);
    RxMemFile file(bytes.data(), uint32_t(bytes.size()));
    RxImagePNG codec;
    if (codec.Decode(&file)) {
        RxMemFile out;
        out.Open();
        codec.Encode(&out);
    }
    return 0;
}

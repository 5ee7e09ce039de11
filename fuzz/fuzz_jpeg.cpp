// Feeds arbitrary bytes to the JPEG decoder and its section reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/RxMemFile.h"
#include "image/codecs/RxImageJPG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RxImage::SetDecodeLimit(64u << 20);
    std::vector<uint8_t> bytes(data, data + size);
    RxMemFile file(bytes.data(), uint32_t(bytes.size()));
    RxImageJPG codec;
    // The first byte sometimes asks for a quantised palette.
    if (size && data[0] == 0xFE) codec.SetDecodeColors(1 + data[size - 1]);
    codec.Decode(&file);
    return 0;
}

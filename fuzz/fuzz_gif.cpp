// Any bytes through the GIF decoder, for the frame the first byte names; a
// decoded picture is written back with the body coder the second byte names
// and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/RxMemFile.h"
#include "image/codecs/RxImageGIF.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // LZW data lets a few bytes claim the whole limit, and each picture is
    // also encoded again: a small limit keeps a run exploring the format.
    RxImage::SetDecodeLimit(1u << 20);
    if (size < 2) return 0;
    std::vector<uint8_t> copy(data + 2, data + size);
    RxMemFile file(copy.data(), uint32_t(copy.size()));
    RxImageGIF codec;
    codec.SetFrame(data[0] % 4);
    if (!codec.Decode(&file)) return 0;
    codec.SetEncodeOption(data[1] % 3);
    RxMemFile out;
    out.Open();
    if (codec.Encode(&out)) {
        out.Seek(0, 0);
        RxImageGIF again;
        if (!again.Decode(&out)) std::abort();  // what we write we must read
    }
    return 0;
}

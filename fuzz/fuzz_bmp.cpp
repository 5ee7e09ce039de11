// Any bytes through the BMP decoder; a decoded picture is written back and
// read again, so that the encoder meets every picture the decoder can make.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/RxMemFile.h"
#include "image/codecs/RxImageBMP.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Run-length and LZW data let a few bytes claim the whole limit, and each
    // picture is also encoded again: a small limit keeps a run exploring the
    // format, not filling memory.
    RxImage::SetDecodeLimit(1u << 20);
    std::vector<uint8_t> copy(data, data + size);
    RxMemFile file(copy.data(), uint32_t(copy.size()));
    RxImageBMP codec;
    if (!codec.Decode(&file)) {
        if (!*codec.GetLastError()) std::abort();  // a failure must say why
        return 0;
    }
    RxMemFile out;
    out.Open();
    if (codec.Encode(&out)) {
        out.Seek(0, 0);
        RxImageBMP again;
        if (!again.Decode(&out)) std::abort();  // what we write we must read
    }
    return 0;
}

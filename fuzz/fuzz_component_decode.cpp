// Any bytes through the component layer's format table (PNM, JPEG 2000),
// then the sRGB conversion and the PNM writer.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "image/codecs/ComponentFormatTable.h"
#include "image/codecs/ComponentImage.h"
#include "image/codecs/ComponentStream.h"

namespace {

struct Memory {
    const uint8_t* data;
    size_t size;
    size_t position;
};

size_t Read(void* handle, void* buffer, size_t count) {
    Memory* m = static_cast<Memory*>(handle);
    size_t n = m->position < m->size ? std::min(count, m->size - m->position) : 0;
    std::memcpy(buffer, m->data + m->position, n);
    m->position += n;
    return n;
}

size_t Discard(void*, const void*, size_t count) {
    return count;
}

bool Seek(void* handle, int64_t offset, int origin) {
    Memory* m = static_cast<Memory*>(handle);
    int64_t base = origin == 0 ? 0 : origin == 1 ? int64_t(m->position) : int64_t(m->size);
    if (base + offset < 0) return false;
    m->position = size_t(base + offset);
    return true;
}

int64_t Tell(void* handle) {
    return int64_t(static_cast<Memory*>(handle)->position);
}

bool Close(void*) {
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ComponentStreamOps ops = {&Read, &Discard, &Seek, &Tell, &Close};
    Memory memory{data, size, 0};
    ComponentStream stream(ops, &memory);
    std::string error;
    std::unique_ptr<ComponentImage> image = ComponentFormatTable::Instance().Decode(stream, 64u << 20, &error);
    if (!image) return 0;
    std::unique_ptr<ComponentImage> rgb = image->ToSRGB8(&error);
    Memory sink{nullptr, 0, 0};
    ComponentStream out(ops, &sink);
    ComponentFormatTable::Instance().Encode(rgb ? *rgb : *image, out, "pnm", "", &error);
    return 0;
}

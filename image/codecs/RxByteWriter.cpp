#include "image/codecs/RxByteWriter.h"

#include "image/RxFile.h"

RxByteWriter::RxByteWriter(RxFile* file) : file(file) {
    buffer.reserve(kBlock);
}

void RxByteWriter::Drain() {
    if (!buffer.empty() && !failed && file->Write(buffer.data(), 1, buffer.size()) != buffer.size())
        failed = true;
    buffer.clear();
}

void RxByteWriter::Write(const void* data, size_t n) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (n >= kBlock) {
        Drain();
        if (!failed && file->Write(bytes, 1, n) != n) failed = true;
        return;
    }
    buffer.insert(buffer.end(), bytes, bytes + n);
    if (buffer.size() >= kBlock) Drain();
}

bool RxByteWriter::Finish() {
    Drain();
    if (!failed && !file->Flush()) failed = true;
    return !failed;
}

#include "image/codecs/ComponentFormatTable.h"

#include <cstring>

#include "image/codecs/ComponentImage.h"
#include "image/codecs/ComponentStream.h"
#include "image/codecs/Jpeg2000ComponentCodec.h"
#include "image/codecs/PnmComponentCodec.h"

namespace {

const ComponentFormatTable::Format kFormats[] = {
    {"pnm", "Portable any-map (P1 to P6)", &PnmComponentCodec::Matches, &PnmComponentCodec::Decode,
     &PnmComponentCodec::Encode},
    {"jp2", "JPEG 2000 file", &Jpeg2000ComponentCodec::MatchesJp2, &Jpeg2000ComponentCodec::DecodeJp2,
     nullptr},
    {"jpc", "JPEG 2000 code stream", &Jpeg2000ComponentCodec::MatchesCodestream,
     &Jpeg2000ComponentCodec::DecodeCodestream, nullptr},
};

// Enough leading bytes for every signature in the table.
constexpr size_t kSignatureBytes = 16;

}  // namespace

ComponentFormatTable::ComponentFormatTable()
    : formats(kFormats), count(sizeof(kFormats) / sizeof(kFormats[0])) {}

const ComponentFormatTable& ComponentFormatTable::Instance() {
    static const ComponentFormatTable table;
    return table;
}

const ComponentFormatTable::Format* ComponentFormatTable::Find(const char* name) const {
    if (!name) return nullptr;
    for (size_t i = 0; i < count; ++i)
        if (std::strcmp(formats[i].name, name) == 0) return &formats[i];
    return nullptr;
}

std::unique_ptr<ComponentImage> ComponentFormatTable::Decode(ComponentStream& stream,
                                                             uint64_t byteLimit,
                                                             std::string* error) const {
    uint8_t head[kSignatureBytes];
    size_t got = stream.Peek(head, sizeof(head));
    for (size_t i = 0; i < count; ++i)
        if (formats[i].matches(head, got)) return formats[i].decode(stream, byteLimit, error);
    if (error) error->clear();
    return nullptr;
}

bool ComponentFormatTable::Encode(const ComponentImage& image, ComponentStream& stream,
                                  const char* name, const char* options, std::string* error) const {
    const Format* format = Find(name);
    if (!format || !format->encode) {
        if (error) *error = "no encoder for this format";
        return false;
    }
    return format->encode(image, stream, options, error);
}

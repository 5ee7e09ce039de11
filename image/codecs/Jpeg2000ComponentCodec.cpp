#include "image/codecs/Jpeg2000ComponentCodec.h"

#include <openjpeg.h>

#include <cstring>
#include <new>

#include "image/codecs/ComponentImage.h"
#include "image/codecs/ComponentStream.h"

namespace {

const uint8_t kJp2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50,
                                   0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
const uint8_t kCodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};

// The stream functions OpenJPEG calls; positions are relative to where the
// decode started, since the data may lie inside a larger file.
struct StreamContext {
    ComponentStream* stream;
    int64_t base;
};

OPJ_SIZE_T ReadBytes(void* buffer, OPJ_SIZE_T count, void* user) {
    StreamContext* context = static_cast<StreamContext*>(user);
    size_t got = context->stream->Read(buffer, count);
    return got ? got : OPJ_SIZE_T(-1);
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
    StreamContext* context = static_cast<StreamContext*>(user);
    if (count < 0 || count > INT32_MAX) return -1;
    return context->stream->Seek(count, 1) ? count : -1;
}

OPJ_BOOL SeekTo(OPJ_OFF_T offset, void* user) {
    StreamContext* context = static_cast<StreamContext*>(user);
    if (offset < 0 || offset > INT32_MAX) return OPJ_FALSE;
    return context->stream->Seek(context->base + offset, 0) ? OPJ_TRUE : OPJ_FALSE;
}

void KeepMessage(const char* message, void* user) {
    std::string* text = static_cast<std::string*>(user);
    if (!message || !text->empty()) return;  // the first error is the cause
    *text = message;
    while (!text->empty() && (text->back() == '\n' || text->back() == '\r')) text->pop_back();
}

void IgnoreMessage(const char*, void*) {}

uint32_t CeilDiv(uint32_t a, uint32_t b) {
    return uint32_t((uint64_t(a) + b - 1) / b);
}

struct CodecResources {
    opj_stream_t* stream = nullptr;
    opj_codec_t* codec = nullptr;
    opj_image_t* image = nullptr;
    ~CodecResources() {
        if (image) opj_image_destroy(image);
        if (codec) opj_destroy_codec(codec);
        if (stream) opj_stream_destroy(stream);
    }
};

std::unique_ptr<ComponentImage> Fail(std::string* error, const std::string& text) {
    if (error) *error = "JPEG 2000: " + text;
    return nullptr;
}

// Checks the sizes the header announces against the byte limit before the
// decoder allocates anything for them.
bool HeaderFits(const opj_image_t* image, uint64_t byteLimit, std::string* why) {
    if (image->numcomps == 0) {
        *why = "no components";
        return false;
    }
    if (image->x1 <= image->x0 || image->y1 <= image->y0) {
        *why = "empty image area";
        return false;
    }
    uint64_t total = 0;
    for (OPJ_UINT32 i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& comp = image->comps[i];
        if (comp.dx == 0 || comp.dy == 0) {
            *why = "bad component sampling";
            return false;
        }
        uint64_t w = CeilDiv(image->x1, comp.dx) - CeilDiv(image->x0, comp.dx);
        uint64_t h = CeilDiv(image->y1, comp.dy) - CeilDiv(image->y0, comp.dy);
        // The decoder keeps 32-bit samples for every component.
        total += w * h * 4;
        if (w > INT32_MAX || h > INT32_MAX || total > byteLimit) {
            *why = "image too large";
            return false;
        }
    }
    return true;
}

std::unique_ptr<ComponentImage> Decode(ComponentStream& stream, OPJ_CODEC_FORMAT format,
                                       uint64_t byteLimit, std::string* error) {
    std::string message;
    StreamContext context{&stream, stream.Tell()};
    if (context.base < 0) context.base = 0;
    int64_t length = stream.Length();

    CodecResources r;
    r.stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    r.codec = opj_create_decompress(format);
    if (!r.stream || !r.codec) return Fail(error, "cannot allocate memory");
    opj_stream_set_user_data(r.stream, &context, nullptr);
    if (length > context.base) opj_stream_set_user_data_length(r.stream, OPJ_UINT64(length - context.base));
    opj_stream_set_read_function(r.stream, ReadBytes);
    opj_stream_set_skip_function(r.stream, SkipBytes);
    opj_stream_set_seek_function(r.stream, SeekTo);
    opj_set_error_handler(r.codec, KeepMessage, &message);
    opj_set_warning_handler(r.codec, IgnoreMessage, nullptr);
    opj_set_info_handler(r.codec, IgnoreMessage, nullptr);

    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    if (!opj_setup_decoder(r.codec, &parameters))
        return Fail(error, message.empty() ? "cannot set up the decoder" : message);
    if (!opj_read_header(r.stream, r.codec, &r.image) || !r.image)
        return Fail(error, message.empty() ? "cannot read the header" : message);
    std::string why;
    if (!HeaderFits(r.image, byteLimit, &why)) return Fail(error, why);
    if (!opj_decode(r.codec, r.stream, r.image) || !opj_end_decompress(r.codec, r.stream))
        return Fail(error, message.empty() ? "cannot decode the image data" : message);

    std::unique_ptr<ComponentImage> result(new (std::nothrow) ComponentImage);
    if (!result) return Fail(error, "cannot allocate memory");
    for (OPJ_UINT32 i = 0; i < r.image->numcomps; ++i) {
        const opj_image_comp_t& comp = r.image->comps[i];
        if (!comp.data || comp.w == 0 || comp.h == 0) return Fail(error, "component without data");
        if (comp.prec < 1 || comp.prec > 31) return Fail(error, "unsupported sample precision");
        ComponentImage::Component component;
        component.width = int32_t(comp.w);
        component.height = int32_t(comp.h);
        component.precision = int(comp.prec);
        component.isSigned = comp.sgnd != 0;
        std::string allocation;
        if (!result->AddComponent(component, &allocation)) return Fail(error, allocation);
        int index = int(i);
        int64_t low = component.isSigned ? -(int64_t(1) << (comp.prec - 1)) : 0;
        int64_t high = component.isSigned ? (int64_t(1) << (comp.prec - 1)) - 1
                                          : (int64_t(1) << comp.prec) - 1;
        for (int32_t y = 0; y < component.height; ++y) {
            const OPJ_INT32* source = comp.data + size_t(y) * comp.w;
            int step = 0;
            uint8_t* bytes = result->Row8(index, y, &step);
            int32_t* words = bytes ? nullptr : result->Row32(index, y);
            for (int32_t x = 0; x < component.width; ++x) {
                int64_t v = source[x];
                if (v < low) v = low;
                if (v > high) v = high;
                if (bytes)
                    bytes[size_t(x) * size_t(step)] = uint8_t(v);
                else
                    words[x] = int32_t(v);
            }
        }
    }
    if (r.image->numcomps >= 3 && r.image->color_space != OPJ_CLRSPC_GRAY) {
        result->SetColorSpace(ComponentImage::ColorSpace::SRGB);
        result->SetType(0, ComponentImage::ComponentType::Red);
        result->SetType(1, ComponentImage::ComponentType::Green);
        result->SetType(2, ComponentImage::ComponentType::Blue);
    } else if (r.image->numcomps == 1) {
        result->SetColorSpace(ComponentImage::ColorSpace::Gray);
        result->SetType(0, ComponentImage::ComponentType::Gray);
    }
    return result;
}

}  // namespace

bool Jpeg2000ComponentCodec::MatchesJp2(const uint8_t* head, size_t count) {
    return count >= sizeof(kJp2Signature) && std::memcmp(head, kJp2Signature, sizeof(kJp2Signature)) == 0;
}

bool Jpeg2000ComponentCodec::MatchesCodestream(const uint8_t* head, size_t count) {
    return count >= sizeof(kCodestreamStart) &&
           std::memcmp(head, kCodestreamStart, sizeof(kCodestreamStart)) == 0;
}

std::unique_ptr<ComponentImage> Jpeg2000ComponentCodec::DecodeJp2(ComponentStream& stream,
                                                                  uint64_t byteLimit,
                                                                  std::string* error) {
    return Decode(stream, OPJ_CODEC_JP2, byteLimit, error);
}

std::unique_ptr<ComponentImage> Jpeg2000ComponentCodec::DecodeCodestream(ComponentStream& stream,
                                                                         uint64_t byteLimit,
                                                                         std::string* error) {
    return Decode(stream, OPJ_CODEC_J2K, byteLimit, error);
}

#include "ImageTestSupport.h"

#include <openjpeg.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempFile::TempFile(const std::string& name, const std::string& content) {
    const char* dir = std::getenv("TMPDIR");
    path = std::string(dir && *dir ? dir : "/tmp") + "/rximage_" + std::to_string(getpid()) + "_" + name;
    std::ofstream out(path, std::ios::binary);
    out << content;
}

TempFile::~TempFile() {
    std::remove(path.c_str());
}

std::string TempFile::Read() const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

RGBQUAD PpmColour(int x, int y) {
    return RGBQUAD{BYTE(x * 7 + y), BYTE(x + y * 3), BYTE(x * 11 + 5), 0};
}

std::string MakePpm(int width, int height) {
    std::string data = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD c = PpmColour(x, y);
            data += char(c.rgbRed);
            data += char(c.rgbGreen);
            data += char(c.rgbBlue);
        }
    return data;
}

int Jpeg2000Sample(int x, int y, int c, int precision) {
    return (x * 13 + y * 7 + c * 50) % (1 << precision);
}

namespace {

struct MemoryOut {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

OPJ_SIZE_T WriteOut(void* buffer, OPJ_SIZE_T count, void* user) {
    MemoryOut* out = static_cast<MemoryOut*>(user);
    if (out->position + count > out->bytes.size()) out->bytes.resize(out->position + count);
    std::memcpy(out->bytes.data() + out->position, buffer, count);
    out->position += count;
    return count;
}

OPJ_OFF_T SkipOut(OPJ_OFF_T count, void* user) {
    MemoryOut* out = static_cast<MemoryOut*>(user);
    out->position += size_t(count);
    if (out->position > out->bytes.size()) out->bytes.resize(out->position);
    return count;
}

OPJ_BOOL SeekOut(OPJ_OFF_T offset, void* user) {
    MemoryOut* out = static_cast<MemoryOut*>(user);
    out->position = size_t(offset);
    if (out->position > out->bytes.size()) out->bytes.resize(out->position);
    return OPJ_TRUE;
}

}  // namespace

std::vector<uint8_t> MakeJpeg2000(int width, int height, int components, int precision, bool jp2) {
    std::vector<opj_image_cmptparm_t> parameters(static_cast<size_t>(components));
    for (opj_image_cmptparm_t& p : parameters) {
        std::memset(&p, 0, sizeof(p));
        p.dx = p.dy = 1;
        p.w = OPJ_UINT32(width);
        p.h = OPJ_UINT32(height);
        p.prec = OPJ_UINT32(precision);
        p.sgnd = 0;
    }
    opj_image_t* image = opj_image_create(OPJ_UINT32(components), parameters.data(),
                                          components >= 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY);
    image->x0 = image->y0 = 0;
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (int c = 0; c < components; ++c)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image->comps[c].data[y * width + x] = Jpeg2000Sample(x, y, c, precision);

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0;  // lossless
    settings.cp_disto_alloc = 1;
    settings.numresolution = 2;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_setup_encoder(codec, &settings, image);
    MemoryOut out;
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &out, nullptr);
    opj_stream_set_write_function(stream, WriteOut);
    opj_stream_set_skip_function(stream, SkipOut);
    opj_stream_set_seek_function(stream, SeekOut);
    bool ok = opj_start_compress(codec, image, stream) && opj_encode(codec, stream) &&
              opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!ok) out.bytes.clear();
    return out.bytes;
}

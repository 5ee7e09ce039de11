#include "platform/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

struct WriteContext {
    std::vector<uint8_t>* out;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* context = static_cast<WriteContext*>(png_get_io_ptr(png));
    context->out->insert(context->out->end(), data, data + length);
}

void NoFlush(png_structp) {}

void ThrowError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

}  // namespace

bool PngWriter::Encode(const Surface& surface, std::vector<uint8_t>* out, std::string* error) {
    if (surface.IsEmpty()) {
        if (error) *error = "empty surface";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowError, IgnoreWarning);
    if (!png) {
        if (error) *error = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> row(size_t(surface.Width()) * 3);
    WriteContext context{out};
    out->clear();
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        if (error) *error = "PNG encoding failed";
        return false;
    }
    png_set_write_fn(png, &context, AppendBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(surface.Width()), png_uint_32(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const uint32_t* src = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[size_t(x) * 3 + 0] = uint8_t(src[x] >> 16);
            row[size_t(x) * 3 + 1] = uint8_t(src[x] >> 8);
            row[size_t(x) * 3 + 2] = uint8_t(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool PngWriter::Write(const Surface& surface, const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes;
    if (!Encode(surface, &bytes, error)) return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        if (error) *error = "cannot create " + path;
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    if (std::fclose(file.release()) != 0) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

// Decode and encode speed of the JPEG, PNG and TIFF codecs against the plain
// library calls on the same data: each plain figure decodes the same bytes
// into one pixel buffer, or encodes the same pixels, with the library's own
// memory routines. Processor time, the least of several rounds.

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include <jpeglib.h>
#include <tiffio.h>

#include "bench/BenchResult.h"
#include "image/RxImage.h"
#include "image/RxMemFile.h"

namespace {

constexpr int kWidth = 2000, kHeight = 1500, kRounds = 5;
typedef std::vector<uint8_t> Bytes;

double Now() {
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

double Fastest(const std::function<void()>& work) {
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        double start = Now();
        work();
        best = std::min(best, Now() - start);
    }
    return best;
}

// Interleaved red, green, blue, top row first.
Bytes Pixels() {
    Bytes rgb(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &rgb[(size_t(y) * kWidth + x) * 3];
            p[0] = uint8_t(x * 255 / kWidth);
            p[1] = uint8_t(y * 255 / kHeight);
            // Blocks, edges and some noise, so the coders have work to do.
            uint32_t noise = uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u;
            p[2] = uint8_t(((x / 40) ^ (y / 40)) * 37 + (noise >> 28));
        }
    return rgb;
}

// --- the plain libraries

Bytes PlainJpegEncode(const Bytes& rgb) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(cinfo.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(out, out + size);
    std::free(out);
    return file;
}

void PlainJpegDecode(const Bytes& file, Bytes& pixels) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), file.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    pixels.resize(size_t(cinfo.output_width) * cinfo.output_height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &pixels[size_t(cinfo.output_scanline) * cinfo.output_width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

struct PngSource {
    const Bytes* file;
    size_t position;
};

void PngRead(png_structp png, png_bytep data, png_size_t length) {
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    std::memcpy(data, source->file->data() + source->position, length);
    source->position += length;
}

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

Bytes PlainPngEncode(const Bytes& rgb) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, &PngWrite, &PngFlush);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) png_write_row(png, const_cast<png_bytep>(&rgb[size_t(y) * kWidth * 3]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void PlainPngDecode(const Bytes& file, Bytes& pixels) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngSource source{&file, 0};
    png_set_read_fn(png, &source, &PngRead);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    pixels.resize(size_t(width) * height * 3);
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, &pixels[size_t(y) * width * 3], nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

// libtiff over a memory block.
struct TiffMemory {
    Bytes data;
    size_t position = 0;
};

tmsize_t TiffRead(thandle_t h, void* buffer, tmsize_t size) {
    TiffMemory* m = static_cast<TiffMemory*>(h);
    size_t n = std::min(size_t(size), m->data.size() - std::min(m->position, m->data.size()));
    std::memcpy(buffer, m->data.data() + m->position, n);
    m->position += n;
    return tmsize_t(n);
}

tmsize_t TiffWrite(thandle_t h, void* buffer, tmsize_t size) {
    TiffMemory* m = static_cast<TiffMemory*>(h);
    if (m->data.size() < m->position + size_t(size)) m->data.resize(m->position + size_t(size));
    std::memcpy(m->data.data() + m->position, buffer, size_t(size));
    m->position += size_t(size);
    return size;
}

toff_t TiffSeek(thandle_t h, toff_t offset, int whence) {
    TiffMemory* m = static_cast<TiffMemory*>(h);
    m->position = whence == SEEK_SET ? size_t(offset) : whence == SEEK_CUR ? m->position + offset : m->data.size() + offset;
    return m->position;
}

int TiffClose(thandle_t) {
    return 0;
}

toff_t TiffSize(thandle_t h) {
    return static_cast<TiffMemory*>(h)->data.size();
}

int TiffMap(thandle_t, void**, toff_t*) {
    return 0;
}

void TiffUnmap(thandle_t, void*, toff_t) {}

TIFF* TiffOpen(TiffMemory& memory, const char* mode) {
    return TIFFClientOpen("bench", mode, &memory, &TiffRead, &TiffWrite, &TiffSeek, &TiffClose, &TiffSize, &TiffMap,
                          &TiffUnmap);
}

Bytes PlainTiffEncode(const Bytes& rgb, uint16_t compression) {
    TiffMemory memory;
    TIFF* tif = TiffOpen(memory, "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_LZW) TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    uint32_t rows = TIFFDefaultStripSize(tif, 0);
    if (compression == COMPRESSION_JPEG) rows = (rows + 7) / 8 * 8;
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows);
    for (int y = 0; y < kHeight; ++y) TIFFWriteScanline(tif, const_cast<uint8_t*>(&rgb[size_t(y) * kWidth * 3]), uint32_t(y), 0);
    TIFFClose(tif);
    return memory.data;
}

void PlainTiffDecode(const Bytes& file, Bytes& pixels) {
    TiffMemory memory;
    memory.data = file;
    TIFF* tif = TiffOpen(memory, "r");
    uint32_t width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    pixels.resize(size_t(width) * height * 3);
    tmsize_t strip = TIFFStripSize(tif);
    for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
        size_t offset = size_t(s) * size_t(strip);
        TIFFReadEncodedStrip(tif, s, &pixels[offset], tmsize_t(std::min(size_t(strip), pixels.size() - offset)));
    }
    TIFFClose(tif);
}

// --- through the image classes

RxImage ImageOf(const Bytes& rgb) {
    RxImage image(kWidth, kHeight, 24, 0);
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = image.GetBits() + size_t(kHeight - 1 - y) * image.GetEffWidth();
        const uint8_t* p = &rgb[size_t(y) * kWidth * 3];
        for (int x = 0; x < kWidth; ++x, p += 3, row += 3) {
            row[0] = p[2];
            row[1] = p[1];
            row[2] = p[0];
        }
    }
    return image;
}

void Report(const char* what, double ours, double plain) {
    bench::Result("library codecs 2000 x 1500", what, ours, "ms cpu", "plain library call", plain);
}

}  // namespace

int main() {
    Bytes rgb = Pixels();
    RxImage image = ImageOf(rgb);
    image.SetJpegQuality(75);  // the quality the plain JPEG calls are given

    struct Format {
        const char* name;
        DWORD type;
        DWORD option;
        std::function<Bytes()> encode;
        std::function<void(const Bytes&, Bytes&)> decode;
    } formats[] = {
        {"JPEG", RXIMAGE_FORMAT_JPG, 0, [&] { return PlainJpegEncode(rgb); }, PlainJpegDecode},
        {"PNG", RXIMAGE_FORMAT_PNG, 0, [&] { return PlainPngEncode(rgb); }, PlainPngDecode},
        {"TIFF JPEG", RXIMAGE_FORMAT_TIF, 0, [&] { return PlainTiffEncode(rgb, COMPRESSION_JPEG); }, PlainTiffDecode},
        {"TIFF LZW", RXIMAGE_FORMAT_TIF, COMPRESSION_LZW, [&] { return PlainTiffEncode(rgb, COMPRESSION_LZW); },
         PlainTiffDecode},
        {"TIFF none", RXIMAGE_FORMAT_TIF, COMPRESSION_NONE, [&] { return PlainTiffEncode(rgb, COMPRESSION_NONE); },
         PlainTiffDecode},
    };
    for (const Format& f : formats) {
        Bytes file = f.encode();
        char label[64];
        std::snprintf(label, sizeof(label), "%s decode", f.name);
        double ours = Fastest([&] {
            RxImage decoded;
            RxMemFile memory(file.data(), uint32_t(file.size()));
            if (!decoded.Decode(&memory, f.type)) std::fprintf(stderr, "%s: %s\n", label, decoded.GetLastError());
        });
        // The plain call gets a fresh buffer each round, as a decoded image does.
        Report(label, ours, Fastest([&] {
                   Bytes pixels;
                   f.decode(file, pixels);
               }));
        std::snprintf(label, sizeof(label), "%s encode", f.name);
        image.SetEncodeOption(f.option);
        ours = Fastest([&] {
            BYTE* out = nullptr;
            LONG size = 0;
            if (!image.Encode(out, size, f.type)) std::fprintf(stderr, "%s: %s\n", label, image.GetLastError());
            std::free(out);
        });
        Report(label, ours, Fastest([&] { f.encode(); }));
    }
    return 0;
}

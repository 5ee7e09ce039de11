#include "LibraryFixtures.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "image/RxMemFile.h"

bool DecodeBytes(RxImage& image, Bytes data, DWORD type) {
    RxMemFile file(data.empty() ? nullptr : data.data(), uint32_t(data.size()));
    if (data.empty()) {
        static uint8_t none = 0;
        RxMemFile empty(&none, 0);
        return image.Decode(&empty, type);
    }
    return image.Decode(&file, type);
}

Bytes EncodeBytes(RxImage& image, DWORD type) {
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, type)) return Bytes();
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

}  // namespace

Bytes PngFixture::Build() const {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, &AppendPng, &FlushNothing);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> plte;
    for (size_t i = 0; i + 2 < palette.size(); i += 3) plte.push_back(png_color{palette[i], palette[i + 1], palette[i + 2]});
    if (!plte.empty()) png_set_PLTE(png, info, plte.data(), int(plte.size()));
    png_color_16 key;
    std::memset(&key, 0, sizeof(key));
    if (!trans.empty()) {
        if (colorType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, trans.data(), int(trans.size()), nullptr);
        } else {
            key.gray = uint16_t(trans[0] << 8 | trans[1]);
            if (trans.size() >= 6) {
                key.red = uint16_t(trans[0] << 8 | trans[1]);
                key.green = uint16_t(trans[2] << 8 | trans[3]);
                key.blue = uint16_t(trans[4] << 8 | trans[5]);
            }
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    png_color_16 bkgd;
    std::memset(&bkgd, 0, sizeof(bkgd));
    if (!background.empty()) {
        bkgd.gray = background[0];
        if (background.size() >= 3) {
            bkgd.red = background[0];
            bkgd.green = background[1];
            bkgd.blue = background[2];
        }
        png_set_bKGD(png, info, &bkgd);
    }
    if (physUnit >= 0) png_set_pHYs(png, info, physX, physY, physUnit);
    png_write_info(png, info);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (const Bytes& row : rows) png_write_row(png, const_cast<png_bytep>(row.data()));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes JpegFixture::Build() const {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    cinfo.write_JFIF_header = components != 4;
    cinfo.density_unit = UINT8(densityUnit);
    cinfo.X_density = UINT16(xDensity);
    cinfo.Y_density = UINT16(yDensity);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(cinfo.next_scanline) * size_t(width * components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

namespace {

void Put16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

Bytes ExifFixture::Build() const {
    struct Entry {
        uint16_t tag, format;
        uint32_t count;
        Bytes value;
    };
    std::vector<Entry> entries;
    auto text = [](const std::string& s) { Bytes b(s.begin(), s.end()); b.push_back(0); return b; };
    auto rational = [](uint32_t n) { Bytes b; Put32(b, n); Put32(b, 1); return b; };
    auto shortValue = [](uint16_t v) { Bytes b; Put16(b, v); return b; };
    if (!make.empty()) entries.push_back({0x010F, 2, uint32_t(make.size() + 1), text(make)});
    if (!model.empty()) entries.push_back({0x0110, 2, uint32_t(model.size() + 1), text(model)});
    if (orientation) entries.push_back({0x0112, 3, 1, shortValue(orientation)});
    if (xResolution) entries.push_back({0x011A, 5, 1, rational(xResolution)});
    if (yResolution) entries.push_back({0x011B, 5, 1, rational(yResolution)});
    if (resolutionUnit) entries.push_back({0x0128, 3, 1, shortValue(resolutionUnit)});
    if (!dateTime.empty()) entries.push_back({0x0132, 2, uint32_t(dateTime.size() + 1), text(dateTime)});

    Bytes tiff = {'I', 'I', 42, 0};
    Put32(tiff, 8);
    uint32_t dataOffset = 8 + 2 + uint32_t(entries.size()) * 12 + 4;
    Bytes data;
    Put16(tiff, uint16_t(entries.size()));
    for (const Entry& e : entries) {
        Put16(tiff, e.tag);
        Put16(tiff, e.format);
        Put32(tiff, e.count);
        if (e.value.size() <= 4) {
            Bytes v = e.value;
            v.resize(4, 0);
            tiff.insert(tiff.end(), v.begin(), v.end());
        } else {
            Put32(tiff, dataOffset + uint32_t(data.size()));
            data.insert(data.end(), e.value.begin(), e.value.end());
        }
    }
    Put32(tiff, 0);
    tiff.insert(tiff.end(), data.begin(), data.end());
    Bytes out = {'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

Bytes WithApp1(const Bytes& jpeg, const Bytes& payload) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    size_t length = payload.size() + 2;
    out.push_back(0xFF);
    out.push_back(0xE1);
    out.push_back(uint8_t(length >> 8));
    out.push_back(uint8_t(length));
    out.insert(out.end(), payload.begin(), payload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

int RunPython(const std::string& script, const std::string& arguments) {
    std::string command = "/usr/bin/python3 " + script + " " + arguments;
    return std::system(command.c_str());
}

#include "image/codecs/RxImageJPG.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/codecs/JpegErrorTrap.h"
#include "image/codecs/JpegExifReader.h"
#include "image/codecs/JpegFileDestination.h"
#include "image/codecs/JpegFileSource.h"

// The library reports fatal errors by jumping back to the last armed trap.
// Every function below that arms one (setjmp) holds only trivially
// destructible locals, and everything the library allocates lives in the job
// structures or the library's own pools, which the owner releases after the
// jump; so the jump never skips a destructor.

namespace {

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    JpegErrorTrap trap;
    JpegFileSource source;
    bool created;
};

struct EncodeJob {
    jpeg_compress_struct cinfo;
    JpegErrorTrap trap;
    JpegFileDestination destination;
    bool created;
};

struct ReleaseDecode {
    void operator()(DecodeJob* job) const {
        if (job->created) jpeg_destroy_decompress(&job->cinfo);
        delete job;
    }
};

struct ReleaseEncode {
    void operator()(EncodeJob* job) const {
        if (job->created) jpeg_destroy_compress(&job->cinfo);
        delete job;
    }
};

// Where decoded rows go: the top picture row is the last row in memory.
struct RowTarget {
    BYTE* bits;
    DWORD effWidth;
    LONG height;
    const LONG* escape;
};

bool StartDecode(DecodeJob* job, RxFile* file, int colors) {
    if (setjmp(job->trap.jump)) return false;
    job->cinfo.err = job->trap.Install();
    jpeg_create_decompress(&job->cinfo);
    job->created = true;
    job->source.Attach(&job->cinfo, file);
    jpeg_read_header(&job->cinfo, TRUE);
    if (job->cinfo.jpeg_color_space == JCS_CMYK || job->cinfo.jpeg_color_space == JCS_YCCK)
        job->cinfo.out_color_space = JCS_CMYK;
    else if (job->cinfo.out_color_space == JCS_RGB && colors == 0)
        job->cinfo.out_color_space = JCS_EXT_BGR;  // the image's own order: no pass to swap afterwards
    if (colors > 0) {
        job->cinfo.quantize_colors = TRUE;
        job->cinfo.desired_number_of_colors = colors;
    }
    return true;
}

bool BeginRows(DecodeJob* job) {
    if (setjmp(job->trap.jump)) return false;
    jpeg_start_decompress(&job->cinfo);
    return true;
}

// Four components (C, M, Y, K as the file stores them) become blue, green,
// red; each colour component is scaled by the fourth.
void StoreCmykRow(const JSAMPLE* source, BYTE* target, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, source += 4, target += 3) {
        unsigned k = source[3];
        target[2] = BYTE(source[0] * k / 255);
        target[1] = BYTE(source[1] * k / 255);
        target[0] = BYTE(source[2] * k / 255);
    }
}

// Returns false on a library error (message in the trap) or when cancelled
// (`*cancelled` set).
bool ReadRows(DecodeJob* job, const RowTarget* target, bool* cancelled) {
    if (setjmp(job->trap.jump)) return false;
    jpeg_decompress_struct* cinfo = &job->cinfo;
    JSAMPARRAY scratch = nullptr;
    if (cinfo->output_components == 4)
        scratch = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                              cinfo->output_width * 4, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        if (*target->escape) {
            *cancelled = true;
            return false;
        }
        LONG y = LONG(cinfo->output_scanline);
        BYTE* row = target->bits + size_t(target->height - 1 - y) * target->effWidth;
        if (scratch) {
            jpeg_read_scanlines(cinfo, scratch, 1);
            StoreCmykRow(scratch[0], row, cinfo->output_width);
        } else {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(cinfo, rows, 1);
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

struct EncodeSettings {
    JDIMENSION width, height;
    int components;
    int quality;
    UINT16 xDensity, yDensity;
};

bool StartEncode(EncodeJob* job, RxFile* file, const EncodeSettings* settings) {
    if (setjmp(job->trap.jump)) return false;
    jpeg_compress_struct* cinfo = &job->cinfo;
    cinfo->err = job->trap.Install();
    jpeg_create_compress(cinfo);
    job->created = true;
    job->destination.Attach(cinfo, file);
    cinfo->image_width = settings->width;
    cinfo->image_height = settings->height;
    cinfo->input_components = settings->components;
    cinfo->in_color_space = settings->components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, settings->quality, TRUE);
    cinfo->density_unit = 1;
    cinfo->X_density = settings->xDensity;
    cinfo->Y_density = settings->yDensity;
    jpeg_start_compress(cinfo, TRUE);
    return true;
}

// Rows go out from the top picture row, which is the last in memory: the
// processor's prefetching follows rising addresses only, so the rows coming
// next are fetched ahead by hand (the encoder waited on memory without it).
constexpr LONG kPrefetchRows = 3;

void PrefetchRow(const BYTE* row, DWORD bytes) {
    for (DWORD offset = 0; offset < bytes; offset += 64) __builtin_prefetch(row + offset);
}

// Rows go out from the top picture row; grey rows of packed indices are
// widened to one byte per pixel.
bool WriteRows(EncodeJob* job, RxImage* image, const BYTE* bits, DWORD effWidth, WORD bpp) {
    if (setjmp(job->trap.jump)) return false;
    jpeg_compress_struct* cinfo = &job->cinfo;
    JSAMPARRAY scratch = bpp < 8 ? (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                                cinfo->image_width, 1)
                                 : nullptr;
    LONG height = LONG(cinfo->image_height);
    while (cinfo->next_scanline < cinfo->image_height) {
        LONG y = height - 1 - LONG(cinfo->next_scanline);
        const BYTE* row = bits + size_t(y) * effWidth;
        // Colour rows are handed over in the image's blue-green-red order.
        JSAMPROW out = const_cast<JSAMPROW>(row);
        if (scratch) {
            out = scratch[0];
            for (JDIMENSION x = 0; x < cinfo->image_width; ++x) out[x] = image->GetPixelIndex(LONG(x), y);
        } else if (y >= kPrefetchRows) {
            PrefetchRow(bits + size_t(y - kPrefetchRows) * effWidth, effWidth);
        }
        jpeg_write_scanlines(cinfo, &out, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

UINT16 DensityOf(LONG dpi) {
    if (dpi < 1) return 1;
    return dpi > 65535 ? UINT16(65535) : UINT16(dpi);
}

}  // namespace

RxImageJPG::RxImageJPG(DWORD type) : RxImage(type), exif(), decodeColors(0) {}

RxImageJPG::RxImageJPG(const RxImageJPG& other)
    : RxImage(other), exif(other.exif), decodeColors(other.decodeColors) {}

RxImageJPG& RxImageJPG::operator=(const RxImageJPG& other) {
    if (this != &other) {
        RxImage::operator=(other);
        exif = other.exif;
        decodeColors = other.decodeColors;
    }
    return *this;
}

RxImageJPG::~RxImageJPG() {}

bool RxImageJPG::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageJPG::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageJPG::DecodeExif(FILE* stream) {
    RxIOFile file(stream);
    return DecodeExif(&file);
}

bool RxImageJPG::DecodeExif(RxFile* file) {
    JpegExifReader reader(&exif);
    return reader.Read(file);
}

void RxImageJPG::TakeResolution(bool fromExif, int densityUnit, int xDensity, int yDensity) {
    // An Exif resolution beyond any real device is taken as damage, and the
    // JFIF density is used instead.
    const double kMostDpi = 1e6;
    double xDpi = fromExif && exif.resolutionUnit > 0 ? exif.xResolution / exif.resolutionUnit : 0;
    double yDpi = fromExif && exif.resolutionUnit > 0 ? exif.yResolution / exif.resolutionUnit : 0;
    if (xDpi >= 1 && yDpi >= 1 && xDpi <= kMostDpi && yDpi <= kMostDpi) {
        SetXDPI(LONG(xDpi));
        SetYDPI(LONG(yDpi));
        return;
    }
    if (densityUnit == 2) {
        SetXDPI(LONG(std::floor(xDensity * 2.54 + 0.5)));
        SetYDPI(LONG(std::floor(yDensity * 2.54 + 0.5)));
    } else {
        SetXDPI(xDensity);
        SetYDPI(yDensity);
    }
}

bool RxImageJPG::Decode(RxFile* file) {
    if (!file) return false;
    bool hasExif = DecodeExif(file);
    return RunCodec([&] {
        std::unique_ptr<DecodeJob, ReleaseDecode> job(new DecodeJob());
        int colors = decodeColors < 0 ? 0 : decodeColors > 256 ? 256 : decodeColors;
        if (colors == 1) colors = 2;
        if (!StartDecode(job.get(), file, colors)) throw std::string(job->trap.message);
        jpeg_decompress_struct& cinfo = job->cinfo;
        // Multi-scan files keep every coefficient until the end; refuse what
        // would not fit before the library tries to allocate it.
        uint64_t coefficientBytes = jpeg_has_multiple_scans(&cinfo)
                                        ? uint64_t(cinfo.image_width) * cinfo.image_height * 2 * uint64_t(cinfo.num_components)
                                        : 0;
        if (!FitsDecodeLimit(cinfo.image_width, cinfo.image_height, 24) || coefficientBytes > GetDecodeLimit())
            throw "Can't allocate memory";
        if (!BeginRows(job.get())) throw std::string(job->trap.message);

        int components = cinfo.output_components;
        bool quantised = cinfo.quantize_colors != 0;
        DWORD bpp = (components == 1 || quantised) ? 8 : 24;
        if (!Create(cinfo.output_width, cinfo.output_height, bpp, RXIMAGE_FORMAT_JPG))
            throw "Can't allocate memory";
        TakeResolution(hasExif, cinfo.density_unit, cinfo.X_density, cinfo.Y_density);
        if (quantised) {
            RGBQUAD palette[256] = {};
            for (int i = 0; i < cinfo.actual_number_of_colors && i < 256; ++i) {
                bool grey = cinfo.out_color_components == 1;
                palette[i].rgbRed = cinfo.colormap[0][i];
                palette[i].rgbGreen = grey ? cinfo.colormap[0][i] : cinfo.colormap[1][i];
                palette[i].rgbBlue = grey ? cinfo.colormap[0][i] : cinfo.colormap[2][i];
            }
            SetPalette(palette, 256);
        } else if (components == 1) {
            SetGrayPalette();
        }

        RowTarget target{info.bits, info.effWidth, LONG(cinfo.output_height), &info.escape};
        bool cancelled = false;
        if (!ReadRows(job.get(), &target, &cancelled)) {
            if (cancelled) throw "Cancelled";
            throw std::string(job->trap.message);
        }
    });
}

bool RxImageJPG::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        if (!dib) throw "Cannot encode an empty image";
        if (IsIndexed() && !IsGrayScale()) throw "JPEG can save only RGB or GreyScale images";
        EncodeSettings settings;
        settings.width = JDIMENSION(GetWidth());
        settings.height = JDIMENSION(GetHeight());
        settings.components = IsIndexed() ? 1 : 3;
        settings.quality = info.jpegQuality;
        settings.xDensity = DensityOf(info.xDpi);
        settings.yDensity = DensityOf(info.yDpi);
        std::unique_ptr<EncodeJob, ReleaseEncode> job(new EncodeJob());
        if (!StartEncode(job.get(), file, &settings) ||
            !WriteRows(job.get(), this, info.bits, info.effWidth, GetBpp()))
            throw std::string(job->trap.message);
    });
}

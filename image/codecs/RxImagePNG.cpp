#include "image/codecs/RxImagePNG.h"

#include <png.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"

// libpng reports fatal errors by jumping back to the last setjmp on the
// structure's jump buffer. Every function below that arms it holds only
// trivially destructible locals; buffers live in the callers' frames (which
// the jump never leaves) or in libpng's own structures, released after the
// jump. So the jump never skips a destructor.

namespace {

struct PngJob {
    png_structp png;
    png_infop info;
    RxFile* file;
    bool writing;
    char message[256];
};

struct ReleasePng {
    void operator()(PngJob* job) const {
        if (job->writing)
            png_destroy_write_struct(&job->png, &job->info);
        else if (job->png)
            png_destroy_read_struct(&job->png, &job->info, nullptr);
        delete job;
    }
};
typedef std::unique_ptr<PngJob, ReleasePng> PngHandle;

PngJob* JobOf(png_structp png) {
    return static_cast<PngJob*>(png_get_io_ptr(png));
}

[[noreturn]] void ErrorExit(png_structp png, png_const_charp text) {
    PngJob* job = static_cast<PngJob*>(png_get_error_ptr(png));
    std::snprintf(job->message, sizeof(job->message), "%s", text ? text : "");
    png_longjmp(png, 1);
}

// Warnings stay quiet: the host's console is not ours.
void IgnoreWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep data, png_size_t length) {
    if (JobOf(png)->file->Read(data, 1, length) != length) png_error(png, "Read Error");
}

void WriteData(png_structp png, png_bytep data, png_size_t length) {
    if (JobOf(png)->file->Write(data, 1, length) != length) png_error(png, "Write Error");
}

void FlushData(png_structp png) {
    if (!JobOf(png)->file->Flush()) png_error(png, "Flush Error");
}

}  // namespace

// What the decoder learns from the file once libpng's transformations are
// set: the shape of the delivered rows and the chunks that shape the image.
struct RxImagePNG::Layout {
    png_uint_32 width, height;
    int colorType;      // of the file
    int bitDepth;       // of the delivered rows
    int channels;       // of the delivered rows
    size_t rowBytes;
    int passes;
    bool hasPhys;
    png_uint_32 xPixels, yPixels;
    int physUnit;
    int paletteCount;
    png_color palette[256];
    int transCount;
    BYTE transAlpha[256];
    bool hasBackground;
    png_color_16 background;  // 8-bit values
};

namespace {

bool ReadLayout(PngJob* job, RxImagePNG::Layout* layout) {
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_structp png = job->png;
    png_infop info = job->info;
    png_read_info(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    int colorType = png_get_color_type(png, info);
    layout->colorType = colorType;
    bool alphaChannel = (colorType & PNG_COLOR_MASK_ALPHA) != 0;

    png_color_16p fileBackground = nullptr;
    bool hasBackground = png_get_bKGD(png, info, &fileBackground) != 0;
    if (alphaChannel) {
        // Alpha is kept as a plane; the file's background becomes the
        // transparent colour that flattening uses.
        if (hasBackground) {
            int shift = bitDepth == 16 ? 8 : 0;
            layout->hasBackground = true;
            layout->background.red = png_uint_16(fileBackground->red >> shift);
            layout->background.green = png_uint_16(fileBackground->green >> shift);
            layout->background.blue = png_uint_16(fileBackground->blue >> shift);
            if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
                layout->background.red = layout->background.green = layout->background.blue =
                    png_uint_16(fileBackground->gray >> shift);
        }
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    } else if (colorType != PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS)) {
        // A transparent grey level or colour is flattened onto the file's
        // background, or light grey without one.
        if (hasBackground) {
            png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 grey;
            std::memset(&grey, 0, sizeof(grey));
            png_uint_16 level = bitDepth == 16 ? 192 * 257 : 192;
            grey.red = grey.green = grey.blue = grey.gray = level;
            png_set_expand(png);
            png_set_background(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType & PNG_COLOR_MASK_COLOR) png_set_bgr(png);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    layout->width = png_get_image_width(png, info);
    layout->height = png_get_image_height(png, info);
    layout->bitDepth = png_get_bit_depth(png, info);
    layout->channels = png_get_channels(png, info);
    layout->rowBytes = png_get_rowbytes(png, info);
    layout->hasPhys = png_get_pHYs(png, info, &layout->xPixels, &layout->yPixels, &layout->physUnit) != 0;

    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) && palette) {
        layout->paletteCount = count > 256 ? 256 : count;
        std::memcpy(layout->palette, palette, sizeof(png_color) * size_t(layout->paletteCount));
    }
    png_bytep trans = nullptr;
    int transCount = 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE && png_get_tRNS(png, info, &trans, &transCount, nullptr) &&
        trans) {
        layout->transCount = transCount > 256 ? 256 : transCount;
        std::memcpy(layout->transAlpha, trans, size_t(layout->transCount));
    }
    return true;
}

// Reads every pass of every row into `rows`, top row first. False on a
// library error, or with `*cancelled` set when the escape flag was raised.
bool ReadRows(PngJob* job, int passes, png_uint_32 height, png_bytepp rows, const LONG* escape,
              bool* cancelled) {
    if (setjmp(png_jmpbuf(job->png))) return false;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            if (*escape) {
                *cancelled = true;
                return false;
            }
            png_read_row(job->png, rows[y], nullptr);
        }
    }
    return true;
}

PngJob* NewJob(RxFile* file, bool writing) {
    PngJob* job = new PngJob();
    job->file = file;
    job->writing = writing;
    return job;
}

LONG MetresToInches(png_uint_32 perMetre) {
    return LONG(std::floor(double(perMetre) * 254.0 / 10000.0 + 0.5));
}

}  // namespace

bool RxImagePNG::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImagePNG::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImagePNG::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        PngHandle job(NewJob(file, false));
        // The structures must match the library we are built against.
        job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job.get(), &ErrorExit, &IgnoreWarning);
        if (!job->png) throw "Failed to create PNG structure";
        job->info = png_create_info_struct(job->png);
        if (!job->info) throw "Failed to initialize PNG info structure";
        png_set_read_fn(job->png, job.get(), &ReadData);

        std::unique_ptr<Layout> layout(new Layout());
        if (!ReadLayout(job.get(), layout.get())) throw std::string(job->message);
        CreateFor(*layout);

        // Rows that the image stores as delivered go straight into it;
        // 2-bit rows and rows with alpha pass through a buffer.
        bool direct = layout->channels == 3 || (layout->channels == 1 && layout->bitDepth != 2);
        std::vector<BYTE> pixels;
        std::vector<png_bytep> rows(layout->height);
        for (png_uint_32 y = 0; y < layout->height; ++y) {
            if (direct) {
                rows[y] = info.bits + size_t(layout->height - 1 - y) * info.effWidth;
            } else {
                if (pixels.empty()) pixels.resize(layout->rowBytes * layout->height);
                rows[y] = pixels.data() + size_t(y) * layout->rowBytes;
            }
        }
        bool cancelled = false;
        if (!ReadRows(job.get(), layout->passes, layout->height, rows.data(), &info.escape, &cancelled)) {
            if (cancelled) throw "Cancelled";
            throw std::string(job->message);
        }
        if (!direct) StoreRows(*layout, pixels.data(), layout->rowBytes);
    });
}

void RxImagePNG::CreateFor(const Layout& layout) {
    DWORD bpp = layout.channels == 1 ? DWORD(layout.bitDepth == 2 ? 4 : layout.bitDepth) : 24;
    // Rows with alpha are buffered at four bytes a pixel.
    DWORD budget = layout.channels == 4 ? 32 : bpp;
    if (!FitsDecodeLimit(layout.width, layout.height, budget) ||
        layout.rowBytes > (size_t(1) << 31) || !Create(layout.width, layout.height, bpp, RXIMAGE_FORMAT_PNG))
        throw "Can't allocate memory";
    if (layout.hasPhys) {
        if (layout.physUnit == PNG_RESOLUTION_METER) {
            SetXDPI(MetresToInches(layout.xPixels));
            SetYDPI(MetresToInches(layout.yPixels));
        } else {
            SetXDPI(LONG(layout.xPixels));
            SetYDPI(LONG(layout.yPixels));
        }
    }
    if (layout.channels == 4) {
        if (!AlphaCreate()) throw "Can't allocate memory";
        if (layout.hasBackground) {
            RGBQUAD colour = {BYTE(layout.background.blue), BYTE(layout.background.green),
                              BYTE(layout.background.red), 0};
            SetTransColor(colour);
        }
    }
    if (layout.channels == 1) TakePalette(layout);
}

void RxImagePNG::TakePalette(const Layout& layout) {
    if (layout.colorType == PNG_COLOR_TYPE_PALETTE) {
        RGBQUAD palette[256] = {};
        for (int i = 0; i < layout.paletteCount; ++i) {
            palette[i].rgbRed = layout.palette[i].red;
            palette[i].rgbGreen = layout.palette[i].green;
            palette[i].rgbBlue = layout.palette[i].blue;
        }
        if (layout.transCount == 1 && layout.transAlpha[0] == 0) {
            info.transIndex = 0;
        } else if (layout.transCount > 0) {
            for (int i = 0; i < 256; ++i) palette[i].rgbReserved = i < layout.transCount ? layout.transAlpha[i] : 255;
            info.alphaPaletteEnabled = true;
        }
        SetPalette(palette, 256);
    } else if (layout.bitDepth == 2) {
        static const BYTE kLevels[4] = {0, 85, 170, 255};
        RGBQUAD palette[16] = {};
        for (int i = 0; i < 4; ++i) palette[i] = RGBQUAD{kLevels[i], kLevels[i], kLevels[i], 0};
        SetPalette(palette, 16);
    } else {
        SetGrayPalette();
    }
}

// Buffered rows: 2-bit indices widen to 4 bits; blue, green, red, alpha
// pixels split into the colour rows and the alpha plane.
void RxImagePNG::StoreRows(const Layout& layout, const BYTE* pixels, size_t rowBytes) {
    LONG width = LONG(layout.width), height = LONG(layout.height);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* source = pixels + size_t(y) * rowBytes;
        LONG row = height - 1 - y;
        BYTE* target = info.bits + size_t(row) * info.effWidth;
        if (layout.channels == 4) {
            BYTE* plane = alpha + size_t(row) * size_t(width);
            for (LONG x = 0; x < width; ++x, source += 4, target += 3) {
                target[0] = source[0];
                target[1] = source[1];
                target[2] = source[2];
                plane[x] = source[3];
            }
        } else {
            for (LONG x = 0; x < width; ++x) {
                BYTE index = BYTE((source[x >> 2] >> (6 - 2 * (x & 3))) & 3);
                BYTE& pair = target[x >> 1];
                pair = (x & 1) ? BYTE((pair & 0xF0) | index) : BYTE((pair & 0x0F) | (index << 4));
            }
        }
    }
}

namespace {

struct WritePlan {
    png_uint_32 width, height;
    int bitDepth;
    int colorType;
    bool bgr;
    png_uint_32 xPixelsPerMetre, yPixelsPerMetre;
    int paletteCount;
    png_color palette[256];
    int transCount;
    BYTE transAlpha[256];
    png_bytepp rows;  // top row first
};

bool WritePicture(PngJob* job, const WritePlan* plan) {
    if (setjmp(png_jmpbuf(job->png))) return false;
    png_structp png = job->png;
    png_infop info = job->info;
    png_set_IHDR(png, info, plan->width, plan->height, plan->bitDepth, plan->colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, plan->xPixelsPerMetre, plan->yPixelsPerMetre, PNG_RESOLUTION_METER);
    if (plan->paletteCount) png_set_PLTE(png, info, plan->palette, plan->paletteCount);
    if (plan->transCount) png_set_tRNS(png, info, plan->transAlpha, plan->transCount, nullptr);
    png_write_info(png, info);
    if (plan->bgr) png_set_bgr(png);
    for (png_uint_32 y = 0; y < plan->height; ++y) png_write_row(png, plan->rows[y]);
    png_write_end(png, info);
    return true;
}

// Copies a row of packed indices, passing each through `map`.
void RemapRow(const BYTE* source, BYTE* target, LONG width, int bpp, const BYTE* map) {
    if (bpp == 8) {
        for (LONG x = 0; x < width; ++x) target[x] = map[source[x]];
        return;
    }
    int perByte = 8 / bpp;
    BYTE mask = BYTE((1 << bpp) - 1);
    for (LONG x = 0; x < width; ++x) {
        int shift = 8 - bpp * (x % perByte + 1);
        BYTE index = map[(source[x / perByte] >> shift) & mask] & mask;
        BYTE& out = target[x / perByte];
        out = BYTE((out & ~(mask << shift)) | (index << shift));
    }
}

}  // namespace

bool RxImagePNG::Encode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] { EncodeBody(file); });
}

void RxImagePNG::EncodeBody(RxFile* file) {
    if (!dib) throw "Cannot encode an empty image";
    std::unique_ptr<WritePlan> plan(new WritePlan());
    LONG width = GetWidth(), height = GetHeight();
    WORD bpp = GetBpp();
    plan->width = png_uint_32(width);
    plan->height = png_uint_32(height);
    plan->xPixelsPerMetre = png_uint_32(header.biXPelsPerMeter);
    plan->yPixelsPerMetre = png_uint_32(header.biYPelsPerMeter);

    std::vector<BYTE> buffer;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (LONG y = 0; y < height; ++y) rows[size_t(y)] = info.bits + size_t(height - 1 - y) * info.effWidth;

    if (IsIndexed()) {
        plan->colorType = PNG_COLOR_TYPE_PALETTE;
        plan->bitDepth = bpp;
        plan->paletteCount = int(GetNumColors() > 256 ? 256 : GetNumColors());
        RGBQUAD* palette = GetPalette();
        BYTE map[256];
        for (int i = 0; i < 256; ++i) map[i] = BYTE(i);
        // The transparent entry is written as entry 0, so that a one-entry
        // transparency chunk covers it; the image itself is left as it is.
        LONG trans = info.transIndex;
        bool transparent = trans >= 0 && trans < plan->paletteCount;
        if (transparent && trans != 0) {
            map[0] = BYTE(trans);
            map[trans] = 0;
        }
        for (int i = 0; i < plan->paletteCount; ++i) {
            const RGBQUAD& entry = palette[map[i]];
            plan->palette[i] = png_color{entry.rgbRed, entry.rgbGreen, entry.rgbBlue};
            plan->transAlpha[i] = entry.rgbReserved;
        }
        if (info.alphaPaletteEnabled) {
            plan->transCount = plan->paletteCount;
            if (transparent) plan->transAlpha[0] = 0;
        } else if (transparent) {
            plan->transCount = 1;
            plan->transAlpha[0] = 0;
        }
        if (transparent && trans != 0) {
            buffer.assign(size_t(info.effWidth) * size_t(height), 0);
            for (LONG y = 0; y < height; ++y) {
                BYTE* target = buffer.data() + size_t(y) * info.effWidth;
                RemapRow(rows[size_t(y)], target, width, bpp, map);
                rows[size_t(y)] = target;
            }
        }
    } else if (alpha || info.transIndex >= 0) {
        // Blue, green, red, alpha; a transparent colour without an alpha
        // plane gets a passing one.
        plan->colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        plan->bitDepth = 8;
        plan->bgr = true;
        RGBQUAD key = GetTransColor();
        BYTE maxAlpha = info.alphaMax;
        size_t rowBytes = size_t(width) * 4;
        buffer.resize(rowBytes * size_t(height));
        for (LONG y = 0; y < height; ++y) {
            LONG row = height - 1 - y;
            const BYTE* source = info.bits + size_t(row) * info.effWidth;
            const BYTE* plane = alpha ? alpha + size_t(row) * size_t(width) : nullptr;
            BYTE* target = buffer.data() + size_t(y) * rowBytes;
            for (LONG x = 0; x < width; ++x, source += 3, target += 4) {
                BYTE a = plane ? plane[x]
                               : (source[0] == key.rgbBlue && source[1] == key.rgbGreen && source[2] == key.rgbRed)
                                     ? 0
                                     : 255;
                target[0] = source[0];
                target[1] = source[1];
                target[2] = source[2];
                target[3] = BYTE(a * maxAlpha / 255);
            }
            rows[size_t(y)] = buffer.data() + size_t(y) * rowBytes;
        }
    } else {
        plan->colorType = PNG_COLOR_TYPE_RGB;
        plan->bitDepth = 8;
        plan->bgr = true;
    }
    plan->rows = rows.data();

    PngHandle job(NewJob(file, true));
    job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job.get(), &ErrorExit, &IgnoreWarning);
    if (!job->png) throw "Error saving PNG file";
    job->info = png_create_info_struct(job->png);
    if (!job->info) throw "Error saving PNG file";
    png_set_write_fn(job->png, job.get(), &WriteData, &FlushData);
    if (!WritePicture(job.get(), plan.get())) throw "Error saving PNG file";
}

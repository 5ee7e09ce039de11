#include "image/codecs/RxImageTIF.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/RxFile.h"
#include "image/RxIOFile.h"
#include "image/RxMemFile.h"
#include "image/codecs/TiffFileClient.h"

// The tags of one page that shape its decoding.
struct RxImageTIF::PageTags {
    uint16_t compression = COMPRESSION_NONE;
    uint32_t width = 0, height = 0;
    uint16_t samples = 1;
    uint16_t bits = 1;
    uint32_t rowsPerStrip = 0;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t extraSamples = 0;
    bool unassociatedAlpha = false;  // colour samples not premultiplied by alpha
    uint16_t planar = PLANARCONFIG_CONTIG;
    bool tiled = false;
};

namespace {

const char* const kCorrupted = "Corrupted TIFF file!";

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

// Blue-green-red pixels to red-green-blue or back, a word at a time: each
// pixel is read with the first byte of the next one and written with one
// byte too many, which the next pixel overwrites; the last pixel goes byte by
// byte. Byte by byte throughout, the swap cost as much as libtiff itself on
// uncompressed files.
void SwapRedAndBlue(const BYTE* source, uint8_t* target, uint32_t width) {
    uint32_t x = 0;
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; x + 1 < width; ++x, source += 3, target += 3) {
        uint32_t pixel;
        std::memcpy(&pixel, source, sizeof(pixel));
        pixel = __builtin_bswap32(pixel) >> 8;
        std::memcpy(target, &pixel, sizeof(pixel));
    }
#endif
    for (; x < width; ++x, source += 3, target += 3) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
    }
}

// Rows go to and from the file top row first, which is the last in memory:
// the processor's prefetching follows rising addresses only, so the coming
// rows are fetched ahead by hand.
constexpr uint32_t kPrefetchRows = 3;

void PrefetchRow(const BYTE* row, size_t bytes) {
    for (size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(row + offset);
}

// Pictures that libtiff's RGBA reader turns into colour: RGB of 8 bits and
// more, CMYK, YCbCr, the two LogLuv forms and grey with alpha.
// The RGBA reader premultiplies unassociated alpha; this undoes it as far
// as the rounding allows.
BYTE Unpremultiplied(BYTE value, BYTE alphaValue, bool unassociated) {
    if (!unassociated || alphaValue == 0 || alphaValue == 255) return value;
    unsigned v = (unsigned(value) * 255 + alphaValue / 2) / alphaValue;
    return BYTE(v > 255 ? 255 : v);
}

bool ReadsAsRgba(uint16_t photometric, uint16_t samples, uint16_t bits) {
    switch (photometric) {
    case PHOTOMETRIC_RGB: return bits >= 8 || samples > 1;
    case PHOTOMETRIC_SEPARATED:
    case PHOTOMETRIC_YCBCR:
    case PHOTOMETRIC_LOGL:
    case PHOTOMETRIC_LOGLUV: return true;
    default: break;
    }
    if (samples == 2 && bits == 8) return true;
    // What the index path cannot hold goes to the RGBA reader, which knows
    // more sample layouts than it.
    bool indexedDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16;
    bool indexedKind = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK ||
                       photometric == PHOTOMETRIC_PALETTE;
    return samples != 1 || !indexedDepth || !indexedKind;
}

}  // namespace

// Contiguous RGB and RGBA of 8 or 16 bits are read as stored: the RGBA reader
// would premultiply colours by an unassociated alpha and lose them where the
// alpha is low.
bool RxImageTIF::ReadsDirectColour(const PageTags& tags) {
    return tags.photometric == PHOTOMETRIC_RGB && tags.planar == PLANARCONFIG_CONTIG &&
           (tags.bits == 8 || tags.bits == 16) &&
           (tags.samples == 3 || (tags.samples == 4 && tags.extraSamples == 1));
}

RxImageTIF::RxImageTIF(DWORD type) : RxImage(type), appendTarget(nullptr), appendStart(0), appendPages(0) {}

RxImageTIF::RxImageTIF(const RxImageTIF& other)
    : RxImage(other), appendTarget(nullptr), appendStart(0), appendPages(0) {}

RxImageTIF& RxImageTIF::operator=(const RxImageTIF& other) {
    if (this != &other) RxImage::operator=(other);
    return *this;
}

RxImageTIF::~RxImageTIF() {
    if (appendClient) RunCodec([&] { FinishAppend(appendTarget); });
}

bool RxImageTIF::Decode(FILE* stream) {
    RxIOFile file(stream);
    return Decode(&file);
}

bool RxImageTIF::Encode(FILE* stream) {
    RxIOFile file(stream);
    return Encode(&file);
}

bool RxImageTIF::Encode(FILE* stream, RxImage** images, int count) {
    if (!stream) {
        SetLastError("invalid file pointer");
        return false;
    }
    RxIOFile file(stream);
    return Encode(&file, images, count);
}

bool RxImageTIF::Encode(FILE* stream, bool append) {
    if (!stream) {
        SetLastError("invalid file pointer");
        return false;
    }
    // The pages reach the stream when the file is finished, perhaps in a
    // later call: the stream's wrapper lives as long as the open file.
    if (!appendClient) appendStream.reset(new RxIOFile(stream));
    bool written = Encode(appendStream.get(), append);
    if (!appendClient) appendStream.reset();
    return written;
}

// --- decoding

bool RxImageTIF::Decode(RxFile* file) {
    if (!file) return false;
    return RunCodec([&] {
        TiffFileClient client;
        if (!client.Open(file, "r", GetDecodeLimit())) throw "Error encountered while opening TIFF file";
        TIFF* tif = client.Handle();
        info.numFrames = LONG(TIFFNumberOfDirectories(tif));
        if (info.frame < 0 || info.frame >= info.numFrames || !TIFFSetDirectory(tif, tdir_t(info.frame)))
            throw "Error: page not present in TIFF file";
        DecodePage(client);
    });
}

void RxImageTIF::DecodePage(TiffFileClient& client) {
    TIFF* tif = client.Handle();
    PageTags tags;
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &tags.compression);
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tags.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &tags.height);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &tags.samples);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &tags.bits);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &tags.photometric);
    TIFFGetField(tif, TIFFTAG_ORIENTATION, &tags.orientation);
    if (!TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &tags.rowsPerStrip) || tags.rowsPerStrip > tags.height)
        tags.rowsPerStrip = tags.height;
    uint16_t extraCount = 0;
    uint16_t* extraKinds = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraKinds) {
        tags.extraSamples = extraCount;
        tags.unassociatedAlpha = extraCount > 0 && extraKinds[0] == EXTRASAMPLE_UNASSALPHA;
    }
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &tags.planar);
    tags.tiled = TIFFIsTiled(tif) != 0;
    if (tags.width == 0 || tags.height == 0) throw kCorrupted;

    if (ReadsDirectColour(tags))
        ReadDirectColour(client, tags);
    else if (ReadsAsRgba(tags.photometric, tags.samples, tags.bits))
        ReadThroughRgba(client, tags);
    else
        ReadIndexed(client, tags);

    // Resolution in dots per inch; a centimetre unit is converted.
    uint16_t unit = RESUNIT_INCH;
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    double perUnit = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
    float resolution = 0;
    if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution) && std::isfinite(resolution) && resolution > 0 &&
        resolution * perUnit < 1e9)
        SetXDPI(LONG(std::floor(resolution * perUnit + 0.5)));
    if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &resolution) && std::isfinite(resolution) && resolution > 0 &&
        resolution * perUnit < 1e9)
        SetYDPI(LONG(std::floor(resolution * perUnit + 0.5)));
    float position = 0;
    if (TIFFGetField(tif, TIFFTAG_XPOSITION, &position) && std::isfinite(position) && std::fabs(position) < 1e9)
        info.xOffset = LONG(position);
    if (TIFFGetField(tif, TIFFTAG_YPOSITION, &position) && std::isfinite(position) && std::fabs(position) < 1e9)
        info.yOffset = LONG(position);
    ApplyOrientation(tags.orientation);
}

// The RGBA reader delivers the rows as stored (the orientation is applied
// afterwards, as for the other pictures), bottom row first.
void RxImageTIF::ReadThroughRgba(TiffFileClient& client, const PageTags& tags) {
    TIFF* tif = client.Handle();
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message)) throw kCorrupted;
    if (!FitsDecodeLimit(tags.width, tags.height, 32)) throw "No space for raster buffer";
    std::unique_ptr<uint32_t, FreeBlock> raster(
        static_cast<uint32_t*>(std::malloc(size_t(tags.width) * size_t(tags.height) * sizeof(uint32_t))));
    if (!raster) throw "No space for raster buffer";
    bool withAlpha = tags.extraSamples > 0;
    if (!Create(tags.width, tags.height, 24, RXIMAGE_FORMAT_TIF)) throw "Can't allocate memory";
    if (withAlpha && !AlphaCreate()) throw "Can't allocate memory";
    ThrowIfCancelled();

    TIFFRGBAImage reader;
    if (!TIFFRGBAImageBegin(&reader, tif, 0, message)) throw kCorrupted;
    reader.req_orientation = ORIENTATION_BOTLEFT;
    reader.orientation = ORIENTATION_TOPLEFT;
    int read = TIFFRGBAImageGet(&reader, raster.get(), tags.width, tags.height);
    TIFFRGBAImageEnd(&reader);
    if (!read) throw kCorrupted;

    for (uint32_t y = 0; y < tags.height; ++y) {
        const uint32_t* source = raster.get() + size_t(y) * tags.width;
        BYTE* target = info.bits + size_t(y) * info.effWidth;
        BYTE* plane = alpha ? alpha + size_t(y) * tags.width : nullptr;
        for (uint32_t x = 0; x < tags.width; ++x, target += 3) {
            uint32_t pixel = source[x];
            BYTE a = BYTE(TIFFGetA(pixel));
            target[0] = Unpremultiplied(BYTE(TIFFGetB(pixel)), a, tags.unassociatedAlpha);
            target[1] = Unpremultiplied(BYTE(TIFFGetG(pixel)), a, tags.unassociatedAlpha);
            target[2] = Unpremultiplied(BYTE(TIFFGetR(pixel)), a, tags.unassociatedAlpha);
            if (plane) plane[x] = a;
        }
    }
}

void RxImageTIF::TakeIndexedPalette(TiffFileClient& client, const PageTags& tags) {
    RGBQUAD palette[256] = {};
    DWORD entries = GetNumColors();
    bool minIsWhite = tags.photometric == PHOTOMETRIC_MINISWHITE;
    if (tags.photometric == PHOTOMETRIC_PALETTE) {
        if (tags.bits > 8) throw "Unable to allocate TIFF palette";
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(client.Handle(), TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
            throw "Unable to allocate TIFF palette";
        DWORD count = DWORD(1) << tags.bits;
        // Colour maps hold 16-bit values; old writers put 8-bit ones there.
        bool wide = false;
        for (DWORD i = 0; i < count; ++i) wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
        int shift = wide ? 8 : 0;
        for (DWORD i = 0; i < count && i < entries; ++i)
            palette[i] = RGBQUAD{BYTE(blue[i] >> shift), BYTE(green[i] >> shift), BYTE(red[i] >> shift), 0};
    } else {
        // A grey ramp over the levels the samples hold (16-bit samples keep
        // their high byte); minimum-is-white turns it round.
        DWORD levels = tags.bits >= 8 ? 256 : DWORD(1) << tags.bits;
        for (DWORD i = 0; i < levels; ++i) {
            BYTE v = BYTE(i * 255 / (levels - 1));
            if (minIsWhite) v = BYTE(255 - v);
            palette[i] = RGBQUAD{v, v, v, 0};
        }
    }
    SetPalette(palette, entries);
}

namespace {

// An 8-bit sample, or the high byte of a 16-bit one (in the machine's order,
// as the library delivers it).
BYTE SampleByte(const uint8_t* source, size_t bytes) {
    if (bytes == 1) return *source;
    uint16_t value;
    std::memcpy(&value, source, sizeof(value));
    return BYTE(value >> 8);
}

// One row of samples as stored, turned into the image's packed row.
void StoreIndexedRow(const uint8_t* source, BYTE* target, uint32_t width, uint16_t bits, size_t rowBytes) {
    switch (bits) {
    case 2:
        for (uint32_t x = 0; x < width; ++x) {
            BYTE index = BYTE((source[x >> 2] >> (6 - 2 * (x & 3))) & 3);
            BYTE& pair = target[x >> 1];
            pair = (x & 1) ? BYTE((pair & 0xF0) | index) : BYTE((pair & 0x0F) | (index << 4));
        }
        break;
    case 16: {
        const uint16_t* wide = reinterpret_cast<const uint16_t*>(source);
        for (uint32_t x = 0; x < width; ++x) {
            uint16_t v;
            std::memcpy(&v, wide + x, sizeof(v));
            target[x] = BYTE(v >> 8);
        }
        break;
    }
    default: std::memcpy(target, source, rowBytes); break;
    }
}

}  // namespace

void RxImageTIF::ReadIndexed(TiffFileClient& client, const PageTags& tags) {
    DWORD bpp = tags.bits == 1 ? 1 : tags.bits <= 4 ? 4 : 8;
    if (!FitsDecodeLimit(tags.width, tags.height, bpp) || !Create(tags.width, tags.height, bpp, RXIMAGE_FORMAT_TIF))
        throw "Can't allocate memory";
    TakeIndexedPalette(client, tags);
    ReadBands(client, tags);
}

void RxImageTIF::ReadDirectColour(TiffFileClient& client, const PageTags& tags) {
    if (!FitsDecodeLimit(tags.width, tags.height, 24) || !Create(tags.width, tags.height, 24, RXIMAGE_FORMAT_TIF))
        throw "Can't allocate memory";
    if (tags.samples == 4 && !AlphaCreate()) throw "Can't allocate memory";
    ReadBands(client, tags);
}

// One row of samples as stored (y from the top), into the image.
void RxImageTIF::StoreRow(const PageTags& tags, const uint8_t* source, uint32_t y, size_t rowBytes) {
    uint32_t stored = tags.height - 1 - y;
    BYTE* target = info.bits + size_t(stored) * info.effWidth;
    // What the row becomes follows the picture created for it, whatever the
    // tags claim.
    if (header.biBitCount != 24) {
        size_t storedBytes = header.biBitCount == 8 ? size_t(tags.width) : (size_t(tags.width) * header.biBitCount + 7) / 8;
        StoreIndexedRow(source, target, tags.width, tags.bits, rowBytes < storedBytes ? rowBytes : storedBytes);
        return;
    }
    BYTE* plane = alpha ? alpha + size_t(stored) * tags.width : nullptr;
    if (tags.bits == 8 && tags.samples == 3) {
        SwapRedAndBlue(source, target, tags.width);
        return;
    }
    if (tags.bits == 8) {
        for (uint32_t x = 0; x < tags.width; ++x, source += tags.samples, target += 3) {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
            if (plane) plane[x] = source[3];
        }
        return;
    }
    size_t step = tags.bits / 8;
    for (uint32_t x = 0; x < tags.width; ++x, source += step * tags.samples, target += 3) {
        target[2] = SampleByte(source, step);
        target[1] = SampleByte(source + step, step);
        target[0] = SampleByte(source + 2 * step, step);
        if (plane) plane[x] = SampleByte(source + 3 * step, step);
    }
}

// Strips, or tiles gathered into strips a tile high (TileToStrip), read row
// by row.
void RxImageTIF::ReadBands(TiffFileClient& client, const PageTags& tags) {
    TIFF* tif = client.Handle();
    size_t pixelBits = size_t(tags.samples) * tags.bits;
    size_t rowBytes = (size_t(tags.width) * pixelBits + 7) / 8;
    uint32_t bandRows = tags.rowsPerStrip;
    uint32_t tileWidth = 0, tileLength = 0;
    if (tags.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
        if (tileWidth == 0 || tileLength == 0) throw kCorrupted;
        bandRows = tileLength;
    }
    if (bandRows == 0) throw kCorrupted;
    if (!FitsDecodeLimit(tags.width, bandRows, pixelBits > 32 ? 32 : pixelBits) ||
        uint64_t(rowBytes) * bandRows > GetDecodeLimit())
        throw "Can't allocate memory";
    std::vector<uint8_t> band(rowBytes * bandRows);
    std::vector<uint8_t> tile;
    if (tags.tiled) {
        tmsize_t tileSize = TIFFTileSize(tif);
        if (tileSize <= 0) throw kCorrupted;
        tile.resize(size_t(tileSize));
    }
    for (uint32_t top = 0; top < tags.height; top += bandRows) {
        uint32_t rows = tags.height - top < bandRows ? tags.height - top : bandRows;
        if (tags.tiled)
            TileToStrip(tif, tags, top, rows, tileWidth, tile, band, rowBytes);
        else if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), band.data(), tmsize_t(rowBytes * rows)) < 0)
            throw kCorrupted;
        for (uint32_t r = 0; r < rows; ++r) {
            ThrowIfCancelled();
            StoreRow(tags, band.data() + size_t(r) * rowBytes, top + r, rowBytes);
        }
    }
}

void RxImageTIF::TileToStrip(TIFF* tif, const PageTags& tags, uint32_t top, uint32_t rows, uint32_t tileWidth,
                             std::vector<uint8_t>& tile, std::vector<uint8_t>& band, size_t rowBytes) {
    size_t pixelBits = size_t(tags.samples) * tags.bits;
    size_t tileRowBytes = (size_t(tileWidth) * pixelBits + 7) / 8;
    for (uint32_t left = 0; left < tags.width; left += tileWidth) {
        if (TIFFReadTile(tif, tile.data(), left, top, 0, 0) < 0) throw kCorrupted;
        size_t offset = size_t(left) * pixelBits / 8;
        size_t take = rowBytes - offset < tileRowBytes ? rowBytes - offset : tileRowBytes;
        for (uint32_t r = 0; r < rows && size_t(r + 1) * tileRowBytes <= tile.size(); ++r)
            std::memcpy(band.data() + size_t(r) * rowBytes + offset, tile.data() + size_t(r) * tileRowBytes, take);
    }
}

void RxImageTIF::ApplyOrientation(int orientation) {
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: Mirror(); break;
    case ORIENTATION_BOTRIGHT: Flip(); Mirror(); break;
    case ORIENTATION_BOTLEFT: Flip(); break;
    case ORIENTATION_LEFTTOP: RotateRight(); Mirror(); break;
    case ORIENTATION_RIGHTTOP: RotateRight(); break;
    case ORIENTATION_RIGHTBOT: RotateLeft(); Mirror(); break;
    case ORIENTATION_LEFTBOT: RotateLeft(); break;
    default: break;
    }
}

// --- encoding

namespace {

const char* const kSaveFailed = "Error saving TIFF file";

bool IsGreyRamp(RxImage& image) {
    DWORD entries = image.GetNumColors();
    if (entries < 2) return false;
    for (DWORD i = 0; i < entries; ++i) {
        RGBQUAD c = image.GetPaletteColor(BYTE(i));
        BYTE v = BYTE(i * 255 / (entries - 1));
        if (c.rgbRed != v || c.rgbGreen != v || c.rgbBlue != v) return false;
    }
    return true;
}

int GreyOf(RGBQUAD c) {
    return (c.rgbRed * 306 + c.rgbGreen * 601 + c.rgbBlue * 117) >> 10;
}

void SetOrThrow(int result) {
    if (!result) throw kSaveFailed;
}

// Writes the assembled file out to its target.
void CopyOut(RxMemFile& buffer, RxFile* file) {
    int32_t size = buffer.Size();
    std::unique_ptr<unsigned char, FreeBlock> block(buffer.GetBuffer());
    if (size > 0 && file->Write(block.get(), 1, size_t(size)) != uint64_t(size)) throw kSaveFailed;
    if (!file->Flush()) throw kSaveFailed;
}

}  // namespace

// One directory: the picture's tags, the page tags of a multi-page file, and
// the rows from the top. The image itself is never changed.
void RxImageTIF::WritePage(TiffFileClient& client, int page, int pages, bool multipage) {
    if (!dib) throw "Bad image pointer";
    TIFF* tif = client.Handle();
    uint32_t width = uint32_t(GetWidth()), height = uint32_t(GetHeight());
    WORD bpp = GetBpp();
    bool withAlpha = bpp == 24 && alpha;
    uint16_t samples = bpp == 24 ? (withAlpha ? 4 : 3) : 1;
    uint16_t bits = bpp == 24 ? 8 : bpp;
    bool invert = false;
    uint16_t photometric = PHOTOMETRIC_RGB;
    if (bpp == 1) {
        photometric = PHOTOMETRIC_MINISWHITE;
        invert = GreyOf(GetPaletteColor(0)) < GreyOf(GetPaletteColor(1));
    } else if (bpp < 24) {
        photometric = IsGreyRamp(*this) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
    }
    uint16_t compression = COMPRESSION_NONE;
    if (info.encodeOption)
        compression = uint16_t(info.encodeOption);
    else if (bpp == 1)
        compression = COMPRESSION_CCITTFAX4;
    else if (bpp == 8)
        compression = COMPRESSION_PACKBITS;
    else if (bpp == 24)
        compression = COMPRESSION_JPEG;
    if (!TIFFIsCODECConfigured(compression)) throw kSaveFailed;

    SetOrThrow(TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(info.xDpi)));
    SetOrThrow(TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(info.yDpi)));
    if (withAlpha) {
        uint16_t kinds[1] = {EXTRASAMPLE_UNASSALPHA};
        SetOrThrow(TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, kinds));
    }
    if (multipage) {
        char name[32];
        std::snprintf(name, sizeof(name), "Page %d", page + 1);
        SetOrThrow(TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE));
        SetOrThrow(TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(pages)));
        SetOrThrow(TIFFSetField(tif, TIFFTAG_PAGENAME, name));
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::vector<uint16_t> map(size_t(3) << bits, 0);
        uint16_t* red = map.data();
        uint16_t* green = red + (size_t(1) << bits);
        uint16_t* blue = green + (size_t(1) << bits);
        for (DWORD i = 0; i < GetNumColors() && i < (DWORD(1) << bits); ++i) {
            RGBQUAD c = GetPaletteColor(BYTE(i));
            red[i] = uint16_t(c.rgbRed * 257);
            green[i] = uint16_t(c.rgbGreen * 257);
            blue[i] = uint16_t(c.rgbBlue * 257);
        }
        SetOrThrow(TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue));
    }
    SetOrThrow(TIFFSetField(tif, TIFFTAG_COMPRESSION, compression));
    if (compression == COMPRESSION_JPEG) SetOrThrow(TIFFSetField(tif, TIFFTAG_JPEGQUALITY, int(info.jpegQuality)));
    // Differencing works on whole bytes only.
    if (compression == COMPRESSION_LZW && bits >= 8) SetOrThrow(TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL));
    uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, 0);
    if (compression == COMPRESSION_JPEG) rowsPerStrip = (rowsPerStrip + 7) / 8 * 8;
    SetOrThrow(TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip));

    size_t rowBytes = bpp == 24 ? size_t(width) * samples : (size_t(width) * bpp + 7) / 8;
    std::vector<uint8_t> row(rowBytes + 4);
    for (uint32_t y = 0; y < height; ++y) {
        ThrowIfCancelled();
        uint32_t stored = height - 1 - y;
        const BYTE* source = info.bits + size_t(stored) * info.effWidth;
        if (stored >= kPrefetchRows) PrefetchRow(source - size_t(kPrefetchRows) * info.effWidth, info.effWidth);
        if (bpp == 24 && !withAlpha) {
            SwapRedAndBlue(source, row.data(), width);
        } else if (bpp == 24) {
            const BYTE* plane = alpha + size_t(stored) * width;
            uint8_t* out = row.data();
            for (uint32_t x = 0; x < width; ++x, source += 3) {
                *out++ = source[2];
                *out++ = source[1];
                *out++ = source[0];
                *out++ = plane[x];
            }
        } else {
            std::memcpy(row.data(), source, rowBytes);
            if (invert)
                for (size_t i = 0; i < rowBytes; ++i) row[i] = uint8_t(~row[i]);
        }
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) throw kSaveFailed;
    }
    if (!TIFFWriteDirectory(tif)) throw "Error saving TIFF directory";
}

bool RxImageTIF::Encode(RxFile* file) {
    if (appendClient) return Encode(file, false);
    return RunCodec([&] {
        if (!file) throw "invalid file pointer";
        if (!dib) throw "Bad image pointer";
        TiffFileClient client;
        if (!client.Open(file, "w", 0)) throw "initialization fail";
        WritePage(client, 0, 1, false);
        client.Close();
        if (!client.LastError().empty()) throw kSaveFailed;
    });
}

bool RxImageTIF::Encode(RxFile* file, RxImage** images, int count) {
    return RunCodec([&] {
        if (!file) throw "invalid file pointer";
        if (!images || count <= 0) throw "multipage TIFF, no images!";
        for (int i = 0; i < count; ++i)
            if (!images[i] || !images[i]->IsValid()) throw "Bad image pointer";
        // libtiff reads back the previous directory to link the next one, so
        // the pages are assembled in memory, where reading always works.
        RxMemFile buffer;
        if (!buffer.Open()) throw "initialization fail";
        {
            TiffFileClient client;
            if (!client.Open(&buffer, "w", 0)) throw "initialization fail";
            for (int i = 0; i < count; ++i) {
                RxImageTIF page;
                page.Ghost(images[i]);
                page.info.escape = info.escape;
                page.WritePage(client, i, count, true);
            }
            client.Close();
            if (!client.LastError().empty()) throw kSaveFailed;
        }
        CopyOut(buffer, file);
    });
}

// The first call opens the page file in memory in append mode, taking over
// what the target already holds from its position on; each call adds a
// directory; the last one (append false) writes the file out.
bool RxImageTIF::Encode(RxFile* file, bool append) {
    bool written = RunCodec([&] {
        if (!file) throw "invalid file pointer";
        if (!dib) throw "Bad image pointer";
        if (!appendClient) StartAppend(file);
        bool multipage = append || appendPages > 0;
        WritePage(*appendClient, appendPages, 0, multipage);
        ++appendPages;
        if (!append) FinishAppend(file);
    });
    if (!written) DropAppend();
    return written;
}

void RxImageTIF::StartAppend(RxFile* file) {
    appendTarget = file;
    appendStart = file->Tell();
    appendPages = 0;
    appendBuffer.reset(new RxMemFile());
    if (!appendBuffer->Open()) throw "initialization fail";
    int32_t existing = file->Size() - appendStart;
    if (existing > 0) {
        std::vector<uint8_t> bytes(static_cast<size_t>(existing));
        if (file->Read(bytes.data(), 1, bytes.size()) == bytes.size()) {
            appendBuffer->Write(bytes.data(), 1, bytes.size());
            appendBuffer->Seek(0, SEEK_SET);
        }
        file->Seek(appendStart, SEEK_SET);
    }
    appendClient.reset(new TiffFileClient());
    if (!appendClient->Open(appendBuffer.get(), "a", 0)) throw "initialization fail";
}

void RxImageTIF::FinishAppend(RxFile* file) {
    appendClient->Close();
    bool failed = !appendClient->LastError().empty();
    std::unique_ptr<RxMemFile> buffer(std::move(appendBuffer));
    DropAppend();
    if (failed) throw kSaveFailed;
    if (!file->Seek(appendStart, SEEK_SET)) throw kSaveFailed;
    CopyOut(*buffer, file);
}

void RxImageTIF::DropAppend() {
    appendClient.reset();
    appendBuffer.reset();
    appendTarget = nullptr;
    appendPages = 0;
}

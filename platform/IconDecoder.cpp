#include "platform/IconDecoder.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/DibReader.h"
#include "platform/GdiDefs.h"
#include "platform/ImageScaler.h"

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr int kMaxIconSide = 1024;  // far above any real icon; bounds what a file can make us allocate
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }

struct Entry {
    int width, height, bitCount;
    int hotX, hotY;
    uint32_t size, offset;
};

std::unique_ptr<Icon> Fail(std::string* error, const char* message) {
    if (error) *error = message;
    return nullptr;
}

bool IsPng(const uint8_t* p, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(p, signature, 8) == 0;
}

// Images stored as PNG (usual for large icons): colour with alpha.
bool DecodePng(const uint8_t* p, size_t size, Icon* icon, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, p, size)) {
        if (error) *error = "invalid PNG icon image";
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxIconSide || image.height > kMaxIconSide) {
        png_image_free(&image);
        if (error) *error = "icon image too large";
        return false;
    }
    image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB in memory order
    icon->width = int(image.width);
    icon->height = int(image.height);
    icon->colour.Resize(icon->width, icon->height, 0);
    if (!png_image_finish_read(&image, nullptr, icon->colour.Pixels(), 0, nullptr)) {
        png_image_free(&image);
        if (error) *error = "invalid PNG icon image";
        return false;
    }
    icon->hasAlpha = true;
    icon->mask.Resize(icon->width, icon->height, kWhite);
    for (int y = 0; y < icon->height; ++y)
        for (int x = 0; x < icon->width; ++x)
            if ((icon->colour.Row(y)[x] >> 24) >= 128) icon->mask.Row(y)[x] = kBlack;
    return true;
}

bool DecodeDib(const uint8_t* p, size_t size, Icon* icon, std::string* error) {
    DibReader::Info info;
    if (!DibReader::ReadInfo(p, size, &info, error, 2)) return false;
    if (info.width > kMaxIconSide || info.height > kMaxIconSide) {
        if (error) *error = "icon image too large";
        return false;
    }
    if (info.compression != BI_RGB && info.compression != BI_BITFIELDS) {
        if (error) *error = "compressed icon image";
        return false;
    }
    const size_t colourBytes = info.rowBytes * size_t(info.height);
    if (size - info.headerSize < colourBytes) {
        if (error) *error = "truncated icon image";
        return false;
    }
    if (!DibReader::DecodePixels(info, p + info.headerSize, colourBytes, &icon->colour, error)) return false;
    icon->width = info.width;
    icon->height = info.height;

    bool anyAlpha = false;
    if (info.bitCount == 32) {
        for (int y = 0; y < icon->height && !anyAlpha; ++y)
            for (int x = 0; x < icon->width; ++x)
                if (icon->colour.Row(y)[x] >> 24) {
                    anyAlpha = true;
                    break;
                }
    }
    icon->hasAlpha = anyAlpha;
    if (!anyAlpha) {
        // Without alpha the fourth byte means nothing: opaque pixels.
        for (int y = 0; y < icon->height; ++y)
            for (int x = 0; x < icon->width; ++x) icon->colour.Row(y)[x] |= kBlack;
    }

    // The AND mask follows: one bit per pixel, rows bottom-up like the image.
    icon->mask.Resize(icon->width, icon->height, kBlack);
    const size_t maskRow = ((size_t(icon->width) + 31) / 32) * 4;
    const size_t maskStart = info.headerSize + colourBytes;
    const bool haveMask = size >= maskStart && (size - maskStart) / maskRow >= size_t(icon->height);
    if (!haveMask) {
        if (!anyAlpha) {
            if (error) *error = "icon image without mask";
            return false;
        }
        for (int y = 0; y < icon->height; ++y)
            for (int x = 0; x < icon->width; ++x)
                if ((icon->colour.Row(y)[x] >> 24) < 128) icon->mask.Row(y)[x] = kWhite;
        return true;
    }
    for (int r = 0; r < icon->height; ++r) {
        const uint8_t* bits = p + maskStart + size_t(r) * maskRow;
        uint32_t* row = icon->mask.Row(info.topDown ? r : icon->height - 1 - r);
        for (int x = 0; x < icon->width; ++x) row[x] = ((bits[x >> 3] >> (7 - (x & 7))) & 1) ? kWhite : kBlack;
    }
    return true;
}

// How well an entry serves a wanted size, best first: the size itself, a
// whole fraction of it (enlarged exactly), then a size to resize from. Alpha
// pictures have smooth edges and are best reduced from the nearest larger
// size; pictures with a mask only (cursors, older icons) are pixel art,
// resized by dominant colour, where a reduction could drop a thin line, so
// they are enlarged from the nearest smaller one. Within a class the nearer
// size wins, then more colours.
struct Fitness {
    int rank;
    int64_t distance;
    int bitCount;

    static Fitness Of(const Entry& e, int wantWidth, int wantHeight) {
        const int64_t area = int64_t(e.width) * e.height, wanted = int64_t(wantWidth) * wantHeight;
        if (e.width == wantWidth && e.height == wantHeight) return {0, 0, e.bitCount};
        if (wantWidth % e.width == 0 && wantHeight % e.height == 0 &&
            wantWidth / e.width == wantHeight / e.height)
            return {1, wanted - area, e.bitCount};
        const bool larger = e.width >= wantWidth && e.height >= wantHeight;
        const bool reduceFromLarger = e.bitCount == 32;
        if (larger == reduceFromLarger) return {2, larger ? area - wanted : wanted - area, e.bitCount};
        return {3, larger ? area - wanted : wanted - area, e.bitCount};
    }
    bool BetterThan(const Fitness& other) const {
        if (rank != other.rank) return rank < other.rank;
        if (distance != other.distance) return distance < other.distance;
        return bitCount > other.bitCount;
    }
};

}  // namespace

std::unique_ptr<Icon> IconDecoder::Decode(const void* data, size_t size, int wantWidth, int wantHeight,
                                          std::string* error) {
    const auto* p = static_cast<const uint8_t*>(data);
    if (!p || size < kDirectorySize || Le16(p) != 0) return Fail(error, "not an icon file");
    const int type = Le16(p + 2);
    if (type != 1 && type != 2) return Fail(error, "not an icon file");
    const size_t count = Le16(p + 4);
    if (count == 0) return Fail(error, "icon file without images");
    if ((size - kDirectorySize) / kEntrySize < count) return Fail(error, "truncated icon directory");

    if (wantWidth <= 0) wantWidth = SM_CXICON;
    if (wantHeight <= 0) wantHeight = SM_CYICON;
    const bool cursor = type == 2;
    Entry best{};
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = p + kDirectorySize + i * kEntrySize;
        Entry entry;
        entry.width = e[0] ? e[0] : 256;
        entry.height = e[1] ? e[1] : 256;
        entry.hotX = cursor ? Le16(e + 4) : 0;
        entry.hotY = cursor ? Le16(e + 6) : 0;
        entry.bitCount = cursor ? 0 : Le16(e + 6);
        entry.size = Le32(e + 8);
        entry.offset = Le32(e + 12);
        if (entry.offset >= size || entry.size > size - entry.offset || entry.size == 0) continue;
        if (!found || Fitness::Of(entry, wantWidth, wantHeight).BetterThan(Fitness::Of(best, wantWidth, wantHeight))) {
            best = entry;
            found = true;
        }
    }
    if (!found) return Fail(error, "icon images lie outside the file");

    std::unique_ptr<Icon> icon(new Icon());
    const uint8_t* image = p + best.offset;
    const bool ok = IsPng(image, best.size) ? DecodePng(image, best.size, icon.get(), error)
                                            : DecodeDib(image, best.size, icon.get(), error);
    if (!ok) return nullptr;
    icon->isCursor = cursor;
    if (cursor)
        icon->hotSpot = POINT{std::min(best.hotX, icon->width - 1), std::min(best.hotY, icon->height - 1)};
    else
        icon->hotSpot = POINT{icon->width / 2, icon->height / 2};
    return icon;
}

std::unique_ptr<Icon> IconDecoder::DecodeAtSize(const void* data, size_t size, int width, int height,
                                                std::string* error) {
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide)
        return Fail(error, "unusable icon size");
    std::unique_ptr<Icon> icon = Decode(data, size, width, height, error);
    if (!icon || (icon->width == width && icon->height == height)) return icon;
    std::unique_ptr<Icon> resized = ImageScaler::ResizeIcon(*icon, width, height);
    if (!resized) return Fail(error, "icon could not be resized");
    return resized;
}

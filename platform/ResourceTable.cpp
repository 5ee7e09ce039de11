#include "platform/ResourceTable.h"

#include <cstring>
#include <iterator>
#include <unordered_set>

#include "platform/BmpDecoder.h"
#include "platform/DisplayScale.h"
#include "platform/GdiDefs.h"
#include "platform/IconDecoder.h"
#include "platform/ImageScaler.h"

struct ResourceTable::Source {
    Data data;
    int factor = 1;  // a whole enlargement, or 0: resized to width x height
    int width = 0;
    int height = 0;
    bool pixelArt = false;  // resized by dominant colour
};

namespace {

int ScaledLength(int length, int percent) { return int((int64_t(length) * percent + 50) / 100); }

// Whether `candidate` is `base` with "@<percent>" before the extension.
bool IsScaledSibling(const char* base, const char* candidate, int* percent) {
    const char* slash = std::strrchr(base, '/');
    const char* dot = std::strrchr(slash ? slash : base, '.');
    const size_t stem = dot ? size_t(dot - base) : std::strlen(base);
    const char* extension = dot ? dot : "";
    if (std::strncmp(candidate, base, stem) != 0 || candidate[stem] != '@') return false;
    const char* p = candidate + stem + 1;
    int value = 0, digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 4; ++p, ++digits) value = value * 10 + (*p - '0');
    if (digits == 0 || std::strcmp(p, extension) != 0) return false;
    *percent = value;
    return true;
}

// Pixel art (and any picture with a key colour) has few colours; smooth
// drawings have thousands of shades along their edges.
bool HasFewColours(const Surface& pixels) {
    constexpr size_t kMaxPixelArtColours = 256;
    std::unordered_set<uint32_t> colours;
    for (int y = 0; y < pixels.Height(); ++y) {
        const uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x) {
            colours.insert(row[x] | 0xFF000000u);
            if (colours.size() > kMaxPixelArtColours) return false;
        }
    }
    return true;
}

void MakeOpaque(Surface* pixels) {
    for (int y = 0; y < pixels->Height(); ++y) {
        uint32_t* row = pixels->Row(y);
        for (int x = 0; x < pixels->Width(); ++x) row[x] |= 0xFF000000u;
    }
}

}  // namespace

ResourceTable& ResourceTable::Instance() {
    static ResourceTable table;
    return table;
}

void ResourceTable::Add(UINT type, UINT id, const unsigned char* data, size_t size) {
    entries_[{type, id}] = {{100, Data{data, size}}};
}

bool ResourceTable::AddScaled(UINT type, UINT id, int percent, const unsigned char* data, size_t size) {
    auto it = entries_.find({type, id});
    if (it == entries_.end() || percent <= 100 || percent > DisplayScale::kMaxPercent) return false;
    it->second[percent] = Data{data, size};
    return true;
}

bool ResourceTable::AddEmbedded(UINT type, UINT id, const EmbeddedFile* files, size_t count, const char* name) {
    if (!files || !name) return false;
    bool found = false;
    for (size_t i = 0; i < count && files[i].name; ++i) {
        if (std::strcmp(files[i].name, name) == 0) {
            Add(type, id, files[i].data, files[i].size);
            found = true;
            break;
        }
    }
    if (!found) return false;
    for (size_t i = 0; i < count && files[i].name; ++i) {
        int percent = 0;
        if (IsScaledSibling(name, files[i].name, &percent))
            AddScaled(type, id, percent, files[i].data, files[i].size);
    }
    return true;
}

void ResourceTable::AddString(UINT id, const std::string& text) { strings_[id] = text; }

void ResourceTable::Remove(UINT type, UINT id) {
    if (type == RT_STRING)
        strings_.erase(id);
    else
        entries_.erase({type, id});
}

bool ResourceTable::Find(UINT type, UINT id, Data* data) const { return FindScaled(type, id, 100, data); }

bool ResourceTable::FindScaled(UINT type, UINT id, int percent, Data* data) const {
    auto it = entries_.find({type, id});
    if (it == entries_.end()) return false;
    auto variant = it->second.find(percent);
    if (variant == it->second.end()) return false;
    if (data) *data = variant->second;
    return true;
}

bool ResourceTable::ChooseBitmapSource(UINT id, int percent, Source* source) const {
    auto it = entries_.find({RT_BITMAP, id});
    if (it == entries_.end()) return false;
    const std::map<int, Data>& variants = it->second;
    auto exact = variants.find(percent);
    if (exact != variants.end()) {
        source->data = exact->second;
        return true;
    }
    for (auto v = variants.rbegin(); v != variants.rend(); ++v) {
        if (percent % v->first == 0) {
            source->data = v->second;
            source->factor = percent / v->first;
            return true;
        }
    }
    const Data& original = variants.at(100);
    Surface base;
    if (!BmpDecoder::Decode(original.data, original.size, &base, nullptr)) return false;
    // Smooth pictures are reduced from the next larger drawing. Pixel art is
    // resized by dominant colour, so that its key colour stays exact; reduced,
    // a line of one pixel could vanish, so it is enlarged from the next smaller.
    source->pixelArt = HasFewColours(base);
    auto larger = variants.upper_bound(percent);
    if (source->pixelArt)
        source->data = std::prev(larger)->second;
    else
        source->data = larger != variants.end() ? larger->second : std::prev(variants.end())->second;
    source->factor = 0;
    source->width = ScaledLength(base.Width(), percent);
    source->height = ScaledLength(base.Height(), percent);
    return true;
}

bool ResourceTable::LoadBitmap(UINT id, CBitmap* bitmap) const {
    Source source;
    if (!bitmap || !ChooseBitmapSource(id, DisplayScale::Percent(), &source)) return false;
    Surface pixels;
    if (!BmpDecoder::Decode(source.data.data, source.data.size, &pixels, nullptr)) return false;
    MakeOpaque(&pixels);
    if (source.factor > 1) {
        Surface enlarged;
        if (!ImageScaler::Average(pixels, pixels.Width() * source.factor, pixels.Height() * source.factor, &enlarged))
            return false;
        pixels = std::move(enlarged);
    } else if (source.factor == 0) {
        Surface resized;
        const bool ok = source.pixelArt ? ImageScaler::Dominant(pixels, source.width, source.height, &resized)
                                           : ImageScaler::Average(pixels, source.width, source.height, &resized);
        if (!ok) return false;
        pixels = std::move(resized);
    }
    return bitmap->Attach(std::move(pixels), false);
}

HICON ResourceTable::LoadIcon(UINT id, int cx, int cy) const {
    Data data;
    if (!Find(RT_ICON, id, &data)) return nullptr;
    const int width = cx > 0 ? cx : DisplayScale::Scale(SM_CXICON);
    const int height = cy > 0 ? cy : DisplayScale::Scale(SM_CYICON);
    return IconDecoder::DecodeAtSize(data.data, data.size, width, height, nullptr).release();
}

HCURSOR ResourceTable::LoadCursor(UINT id) const {
    Data data;
    if (!Find(RT_CURSOR, id, &data)) return nullptr;
    const int side = DisplayScale::Scale(SM_CXICON);
    return IconDecoder::DecodeAtSize(data.data, data.size, side, side, nullptr).release();
}

std::string ResourceTable::LoadString(UINT id) const {
    std::string text;
    LoadString(id, &text);
    return text;
}

bool ResourceTable::LoadString(UINT id, std::string* text) const {
    auto it = strings_.find(id);
    if (it == strings_.end()) return false;
    if (text) *text = it->second;
    return true;
}

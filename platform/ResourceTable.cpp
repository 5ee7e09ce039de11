#include "platform/ResourceTable.h"

#include <cstring>

#include "platform/BmpDecoder.h"
#include "platform/GdiDefs.h"
#include "platform/IconDecoder.h"

ResourceTable& ResourceTable::Instance() {
    static ResourceTable table;
    return table;
}

void ResourceTable::Add(UINT type, UINT id, const unsigned char* data, size_t size) {
    entries_[{type, id}] = Data{data, size};
}

bool ResourceTable::AddEmbedded(UINT type, UINT id, const EmbeddedFile* files, size_t count, const char* name) {
    if (!files || !name) return false;
    for (size_t i = 0; i < count && files[i].name; ++i) {
        if (std::strcmp(files[i].name, name) == 0) {
            Add(type, id, files[i].data, files[i].size);
            return true;
        }
    }
    return false;
}

void ResourceTable::AddString(UINT id, const std::string& text) { strings_[id] = text; }

void ResourceTable::Remove(UINT type, UINT id) {
    if (type == RT_STRING)
        strings_.erase(id);
    else
        entries_.erase({type, id});
}

bool ResourceTable::Find(UINT type, UINT id, Data* data) const {
    auto it = entries_.find({type, id});
    if (it == entries_.end()) return false;
    if (data) *data = it->second;
    return true;
}

bool ResourceTable::LoadBitmap(UINT id, CBitmap* bitmap) const {
    Data data;
    if (!bitmap || !Find(RT_BITMAP, id, &data)) return false;
    Surface pixels;
    if (!BmpDecoder::Decode(data.data, data.size, &pixels, nullptr)) return false;
    for (int y = 0; y < pixels.Height(); ++y) {
        uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x) row[x] |= 0xFF000000u;
    }
    return bitmap->Attach(std::move(pixels), false);
}

HICON ResourceTable::LoadIcon(UINT id, int cx, int cy) const {
    Data data;
    if (!Find(RT_ICON, id, &data)) return nullptr;
    return IconDecoder::Decode(data.data, data.size, cx, cy, nullptr).release();
}

HCURSOR ResourceTable::LoadCursor(UINT id) const {
    Data data;
    if (!Find(RT_CURSOR, id, &data)) return nullptr;
    return IconDecoder::Decode(data.data, data.size, SM_CXICON, SM_CYICON, nullptr).release();
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

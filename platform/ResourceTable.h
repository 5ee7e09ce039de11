#pragma once

// The registry of resources compiled into the library: bitmaps, icons,
// cursors, strings and raw data (dialog templates and the like), looked up
// by type and number as the classic resource calls do. Rooms register their
// embedded files at start-up; nothing is read from disk at run time.

#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "platform/CBitmap.h"
#include "platform/EmbeddedFile.h"
#include "platform/Icon.h"

class ResourceTable {
public:
    struct Data {
        const unsigned char* data = nullptr;
        size_t size = 0;
    };

    static ResourceTable& Instance();

    // The bytes must outlive the table (embedded data does). A later
    // registration of the same type and number replaces the earlier one.
    void Add(UINT type, UINT id, const unsigned char* data, size_t size);
    // Registers the entry of an embedded table with the given name; false
    // when the table has no such file.
    bool AddEmbedded(UINT type, UINT id, const EmbeddedFile* files, size_t count, const char* name);
    void AddString(UINT id, const std::string& text);
    void Remove(UINT type, UINT id);

    bool Find(UINT type, UINT id, Data* data) const;
    bool HasString(UINT id) const { return strings_.count(id) != 0; }

    // Loaders. Bitmaps are .bmp files, icons .ico and cursors .cur files.
    bool LoadBitmap(UINT id, CBitmap* bitmap) const;
    // The icon image nearest to cx x cy (0: the standard 32 x 32); the
    // caller destroys it with DestroyIcon. nullptr when missing or invalid.
    HICON LoadIcon(UINT id, int cx = 0, int cy = 0) const;
    HCURSOR LoadCursor(UINT id) const;
    // Empty when there is no such string.
    std::string LoadString(UINT id) const;
    bool LoadString(UINT id, std::string* text) const;

private:
    ResourceTable() = default;
    std::map<std::pair<UINT, UINT>, Data> entries_;
    std::map<UINT, std::string> strings_;
};

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
    // registration of the same type and number replaces the earlier one,
    // its scaled variants included.
    void Add(UINT type, UINT id, const unsigned char* data, size_t size);
    // The same resource drawn for a display scale above 100 % (150 for a
    // 150 % screen); false when the resource is not registered or the scale
    // is outside DisplayScale's range. Bitmaps use them.
    bool AddScaled(UINT type, UINT id, int percent, const unsigned char* data, size_t size);
    // Registers the entry of an embedded table with the given name, and as
    // its scaled variants the files named like it with "@<percent>" before
    // the extension ("a.bmp": "a@150.bmp", "a@200.bmp"); false when the
    // table has no such file.
    bool AddEmbedded(UINT type, UINT id, const EmbeddedFile* files, size_t count, const char* name);
    void AddString(UINT id, const std::string& text);
    void Remove(UINT type, UINT id);

    // The resource as registered for 100 %.
    bool Find(UINT type, UINT id, Data* data) const;
    // The variant registered for exactly `percent` (100: the resource itself).
    bool FindScaled(UINT type, UINT id, int percent, Data* data) const;
    bool HasString(UINT id) const { return strings_.count(id) != 0; }

    // Loaders, for the current DisplayScale. Bitmaps are .bmp files, icons
    // .ico and cursors .cur files.
    //
    // The bitmap drawn for the scale; without a variant for it, a variant
    // enlarged by a whole factor when one divides the scale (300 %: the 150 %
    // picture doubled, at twice its size), else the nearest larger variant
    // (or the largest) resized to the 100 % size at the scale. Resizing
    // averages pixel areas; pictures of at most 256 colours are taken for
    // pixel art, enlarged from the next smaller variant by dominant colour,
    // so that key colours, pixel edges and thin lines are kept.
    bool LoadBitmap(UINT id, CBitmap* bitmap) const;
    // The icon at exactly cx x cy; 0 stands for the standard 32 pixels at
    // the scale. The file's image of that size, else the best one resized.
    // The caller destroys it with DestroyIcon; nullptr when missing or invalid.
    HICON LoadIcon(UINT id, int cx = 0, int cy = 0) const;
    // The cursor at the standard 32 x 32 at the scale, hot spot included.
    HCURSOR LoadCursor(UINT id) const;
    // Empty when there is no such string.
    std::string LoadString(UINT id) const;
    bool LoadString(UINT id, std::string* text) const;

private:
    ResourceTable() = default;
    // The picture to start from for a scale and how to get there.
    struct Source;
    bool ChooseBitmapSource(UINT id, int percent, Source* source) const;

    // Per resource, its data by scale in percent; 100 always present.
    std::map<std::pair<UINT, UINT>, std::map<int, Data>> entries_;
    std::map<UINT, std::string> strings_;
};

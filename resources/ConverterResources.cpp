#include "resources/ConverterResources.h"

#include <cstddef>

#include "platform/GdiDefs.h"
#include "platform/ResourceTable.h"
#include "resources/ConverterTemplates.h"
#include "resources/ResourceIds.h"

extern const EmbeddedFile converterArtwork[];
extern const size_t converterArtworkCount;

namespace {

struct ArtworkEntry {
    UINT type;
    UINT id;
    const char* file;
};

const ArtworkEntry kArtwork[] = {
    {RT_BITMAP, IDB_BANNER, "artwork/bitmap-1004-banner.bmp"},
    {RT_BITMAP, IDB_TABS, "artwork/bitmap-1003-tabs.bmp"},
    {RT_BITMAP, IDB_FILL_SOLID, "artwork/bitmap-1006-fill-solid.bmp"},
    {RT_BITMAP, IDB_FILL_OUTLINE, "artwork/bitmap-1007-fill-outline.bmp"},
    {RT_BITMAP, IDB_WIDTH_KEPT, "artwork/bitmap-1008-width-kept.bmp"},
    {RT_BITMAP, IDB_WIDTH_THIN, "artwork/bitmap-1009-width-thin.bmp"},
    {RT_BITMAP, IDB_CONVERT, "artwork/bitmap-1010-convert.bmp"},
    {RT_BITMAP, IDB_HELP, "artwork/bitmap-134-help.bmp"},
    {RT_BITMAP, IDB_ABOUT, "artwork/bitmap-1012-about.bmp"},
    {RT_ICON, IDI_NEXT_PAGE, "artwork/icon-1000-next-page.ico"},
    {RT_ICON, IDI_PREVIOUS_PAGE, "artwork/icon-1001-previous-page.ico"},
    {RT_CURSOR, IDC_POINTING_HAND, "artwork/cursor-1002-hand.cur"},
};

void RegisterArtwork() {
    ResourceTable& table = ResourceTable::Instance();
    for (const ArtworkEntry& entry : kArtwork)
        table.AddEmbedded(entry.type, entry.id, converterArtwork, converterArtworkCount, entry.file);
}

void RegisterStrings() {
    ResourceTable& table = ResourceTable::Instance();
    table.AddString(IDS_INPUT_EMPTY, "Input PDF file is empty.");
    table.AddString(IDS_HELP, "Help");
    table.AddString(IDS_ABOUT, "About");
}

}  // namespace

void ConverterResources::Register() {
    static const bool registered = [] {
        RegisterArtwork();
        RegisterStrings();
        ConverterTemplates::Register();
        return true;
    }();
    (void)registered;
}

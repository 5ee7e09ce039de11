#pragma once

#include <memory>

#include "platform/Surface.h"

// An icon or cursor: colour image, AND mask and hot spot. Cursors and icons
// share the record, as they do in the classic interface.
struct Icon {
    int width = 0;
    int height = 0;
    POINT hotSpot{0, 0};  // icons: the centre
    bool isCursor = false;
    Surface colour;  // 0xAARRGGBB; alpha used when hasAlpha
    Surface mask;    // white (transparent) / black (opaque), same size
    bool hasAlpha = false;
};
typedef Icon* HICON;
typedef Icon* HCURSOR;

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    const Surface* mask;
    const Surface* colour;
};

// Copies the record of an icon; nullptr for none.
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// One of the shared stock cursors IDC_ARROW, IDC_WAIT, IDC_HAND, IDC_IBEAM;
// never destroyed by the caller. Unknown numbers give the arrow.
HCURSOR LoadStockCursor(UINT id);

#pragma once

#include <vector>

#include "platform/CBitmap.h"
#include "platform/GdiDefs.h"
#include "platform/Icon.h"

class CDC;

// A row of equally sized images with optional masks.
class CImageList {
public:
    CImageList() = default;

    // flags: ILC_COLOR* | ILC_MASK. initial and grow are capacity hints.
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // From a bitmap resource cut into cx-wide images, with a mask colour
    // (CLR_NONE for none).
    bool Create(UINT bitmapId, int cx, int grow, COLORREF maskColour);
    bool DeleteImageList();
    bool IsCreated() const { return created_; }

    // Appends the images of a bitmap (cut into cx-wide pieces); pixels of
    // maskColour become transparent. Returns the first index, -1 on failure.
    int Add(const CBitmap* bitmap, COLORREF maskColour);
    int Add(const CBitmap* bitmap, const CBitmap* mask);
    int Add(HICON icon);
    int GetImageCount() const { return int(images_.size()); }
    SIZE GetImageSize() const { return SIZE{cx_, cy_}; }
    void SetBkColor(COLORREF colour) { bkColour_ = colour; }
    COLORREF GetBkColor() const { return bkColour_; }

    // ILD_NORMAL draws over the list's background colour (CLR_NONE:
    // transparently); ILD_TRANSPARENT always transparently.
    bool Draw(CDC* dc, int image, POINT pt, UINT style) const;
    bool DrawEx(CDC* dc, int image, POINT pt, SIZE size, COLORREF bk, COLORREF fg, UINT style) const;
    // A new icon made from an image; the caller destroys it.
    HICON ExtractIcon(int image) const;

private:
    struct Image {
        Surface colour;
        Surface mask;  // white = transparent
        bool hasMask = false;
    };
    int cx_ = 0, cy_ = 0;
    UINT flags_ = 0;
    bool created_ = false;
    COLORREF bkColour_ = CLR_NONE;
    std::vector<Image> images_;
};

#pragma once

#include <vector>

#include "platform/WinTypes.h"

// A region as a list of disjoint rectangles; enough for the rectangular
// clip regions that dialogs and controls use.
class CRgn {
public:
    CRgn() = default;

    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRectRgnIndirect(const RECT& rect);
    // this = a <op> b with RGN_AND, RGN_OR, RGN_DIFF, RGN_XOR or RGN_COPY (a only).
    // Returns NULLREGION, SIMPLEREGION, COMPLEXREGION or RGN_ERROR.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    bool DeleteObject();

    int GetRgnBox(RECT* box) const;
    bool PtInRegion(int x, int y) const;
    bool RectInRegion(const RECT& rect) const;
    void OffsetRgn(int dx, int dy);
    bool IsEmpty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }

    // Region algebra on rectangle lists; results stay disjoint.
    static std::vector<RECT> Intersect(const std::vector<RECT>& a, const std::vector<RECT>& b);
    static std::vector<RECT> Subtract(const std::vector<RECT>& a, const std::vector<RECT>& b);
    static std::vector<RECT> Union(const std::vector<RECT>& a, const std::vector<RECT>& b);

private:
    int Complexity() const;
    std::vector<RECT> rects_;
};

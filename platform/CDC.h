#pragma once

// A device context: draws into a Surface with the classic GDI semantics
// (logical coordinates through a viewport origin, a clip region, selected
// pen, brush, font and bitmap, text and background colours, raster ops).
//
// Coordinates: logical + viewport origin = device (window-relative);
// device + window origin = surface pixel. Window contexts of child controls
// are attached with the child's position as window origin and its visible
// rectangle as base clip, so controls draw at (0, 0) of their client area.

#include <string>
#include <vector>

#include "platform/CBitmap.h"
#include "platform/CBrush.h"
#include "platform/CFont.h"
#include "platform/CPen.h"
#include "platform/CRgn.h"
#include "platform/FontInstance.h"
#include "platform/GdiDefs.h"
#include "platform/Icon.h"
#include "platform/Surface.h"

class CDC {
public:
    CDC();
    // Draws on the whole surface.
    explicit CDC(Surface* surface);
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Window contexts: origin and base clip are in surface pixels. The base
    // clip is the most the context can ever touch; clip regions narrow it.
    void Attach(Surface* surface, POINT windowOrigin, const RECT& baseClip);
    void Detach();
    Surface* GetSurface() const { return surface_; }
    POINT GetWindowOrigin() const { return windowOrigin_; }

    // A memory context holding a 1 x 1 monochrome bitmap until a bitmap is
    // selected into it. dc may be null (the screen).
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    bool IsMemoryDC() const { return memory_; }
    // True when drawing goes to a monochrome bitmap.
    bool IsMonochrome() const;

    // --- state ---
    int SaveDC();  // returns the new save level (>= 1)
    // Restores the given level, or with a negative value that many levels
    // back (-1 the last saved). Levels above are dropped.
    BOOL RestoreDC(int savedDC);

    // A fresh context draws with the black pen, the white brush and the
    // default GUI font; text black on an opaque white background. Selecting
    // returns the previous object (the stock one when none was selected).
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    // Memory contexts only; returns the previous bitmap (nullptr on failure).
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const { return state_.pen; }
    CBrush* GetCurrentBrush() const { return state_.brush; }
    CFont* GetCurrentFont() const { return state_.font; }
    CBitmap* GetCurrentBitmap() const { return bitmap_; }

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return state_.textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return state_.bkColour; }
    int SetBkMode(int mode);  // TRANSPARENT or OPAQUE
    int GetBkMode() const { return state_.bkMode; }
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const { return state_.textAlign; }
    // Every mode scales by nearest neighbour (HALFTONE included).
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const { return state_.stretchMode; }

    POINT SetViewportOrg(int x, int y);
    POINT SetViewportOrg(POINT pt) { return SetViewportOrg(pt.x, pt.y); }
    POINT OffsetViewportOrg(int dx, int dy);
    POINT GetViewportOrg() const { return state_.viewportOrg; }

    // --- clipping (rectangles in logical coordinates) ---
    int GetClipBox(RECT* rect) const;
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const RECT& rect) { return IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom); }
    int ExcludeClipRect(int left, int top, int right, int bottom);
    int ExcludeClipRect(const RECT& rect) { return ExcludeClipRect(rect.left, rect.top, rect.right, rect.bottom); }
    // Region in device coordinates (the viewport origin does not apply), as
    // the classic call takes it; nullptr with RGN_COPY removes the clip region.
    int SelectClipRgn(const CRgn* region, int mode = RGN_COPY);
    BOOL RectVisible(const RECT& rect) const;
    BOOL PtVisible(int x, int y) const;

    // --- pixels ---
    COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside the clip
    COLORREF SetPixel(int x, int y, COLORREF colour);
    BOOL SetPixelV(int x, int y, COLORREF colour);

    // --- shapes ---
    // Also makes the colour the background colour, as the classic call does
    // (Draw3dRect too, through it).
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void FillRect(const RECT& rect, CBrush* brush);
    void FrameRect(const RECT& rect, CBrush* brush);
    void InvertRect(const RECT& rect);
    // Outline with the pen (inside the rectangle's right/bottom edge),
    // interior with the brush.
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    POINT MoveTo(int x, int y);
    POINT MoveTo(POINT pt) { return MoveTo(pt.x, pt.y); }
    // A one-pixel pen leaves out the end point; wider pens are centred on
    // the path with round ends.
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT pt) { return LineTo(pt.x, pt.y); }
    POINT GetCurrentPosition() const { return state_.currentPos; }
    BOOL Polyline(const POINT* points, int count);
    // Filled with the brush, outlined with the pen.
    BOOL Polygon(const POINT* points, int count);
    BOOL Ellipse(int left, int top, int right, int bottom);
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    BOOL DrawFrameControl(RECT* rect, UINT type, UINT state);
    // Dotted, drawn with XOR: drawing it twice removes it.
    void DrawFocusRect(const RECT* rect);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

    // --- text ---
    // count -1: up to the terminating zero. Returns the text height.
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    int DrawText(const std::string& text, RECT* rect, UINT format) {
        return DrawText(text.c_str(), int(text.size()), rect, format);
    }
    BOOL TextOut(int x, int y, const char* text, int count);
    BOOL TextOut(int x, int y, const std::string& text) { return TextOut(x, y, text.c_str(), int(text.size())); }
    SIZE GetTextExtent(const char* text, int count) const;
    SIZE GetTextExtent(const std::string& text) const { return GetTextExtent(text.c_str(), int(text.size())); }
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

    // --- bitmaps ---
    // rop: SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, SRCERASE, NOTSRCCOPY,
    // NOTSRCERASE, MERGEPAINT, DSTERASE, plus BLACKNESS, WHITENESS, DSTINVERT,
    // PATCOPY (no source). Monochrome sources become text colour
    // (0 bits) and background colour (1 bits) on colour targets; colour
    // sources become 1 where they equal the source context's background
    // colour on monochrome targets.
    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    // Nearest-neighbour scaling; negative sizes mirror.
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, DWORD rop);
    // Packed DIB rows (1/4/8/24/32 bpp, bottom-up or top-down) at a position.
    // bits must hold the rows the header describes. Returns scan lines drawn.
    int SetDIBitsToDevice(int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                          UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage);
    int StretchDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                      const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
    // Reads the pixels under a logical rectangle as DIB rows: the caller's
    // header gives bit count (24 or 32) and orientation (biHeight > 0 means
    // bottom-up); width and height are taken from the rectangle and written
    // back. Pixels outside the surface read as black. With bits null only
    // the header is completed. Returns the rows copied, 0 on failure.
    int GetDIBits(const RECT& rect, void* bits, BITMAPINFO* info) const;

    // DST_BITMAP / DST_ICON with DSS_NORMAL or DSS_DISABLED (embossed:
    // the image's dark parts drawn in highlight one pixel down-right, then
    // in shadow).
    BOOL DrawState(POINT pt, SIZE size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr);
    BOOL DrawState(POINT pt, SIZE size, HICON icon, UINT flags, CBrush* brush = nullptr);
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT flags = DI_NORMAL);

private:
    struct State {
        CPen* pen = nullptr;
        CBrush* brush = nullptr;
        CFont* font = nullptr;
        COLORREF textColour = 0;
        COLORREF bkColour = 0xFFFFFF;
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT;
        int stretchMode = BLACKONWHITE;
        POINT viewportOrg{0, 0};
        POINT currentPos{0, 0};
        bool hasClip = false;
        std::vector<RECT> clip;  // device coordinates
    };

    // CDC.cpp.
    void RecomputeClip();
    RECT LogicalToSurface(const RECT& r) const;
    POINT LogicalToSurface(POINT p) const;
    uint32_t DevicePixel(COLORREF colour) const;
    void FillSurfaceRect(RECT r, uint32_t pixel);
    void XorSurfaceRect(RECT r, uint32_t mask);
    void FillSpan(int x0, int x1, int y, uint32_t pixel);
    void PlotSurface(int x, int y, uint32_t pixel);
    bool SurfacePointVisible(int x, int y) const;

    // CDCBlit.cpp.
    enum class Conversion { None, MonoToColour, ColourToMono };
    struct BlitSource {
        const Surface* pixels = nullptr;
        bool mono = false;
        COLORREF bkColour = 0xFFFFFF;  // colour sources: the colour that becomes white on mono targets
    };
    // Copies the source rectangle (source surface pixels) onto the logical
    // destination rectangle, scaling by nearest neighbour; negative sizes mirror.
    bool StretchSurface(int x, int y, int width, int height, const BlitSource& src, int xSrc, int ySrc, int srcWidth,
                        int srcHeight, DWORD rop);
    void DrawIconImage(int x, int y, const Icon& icon, int cx, int cy, UINT flags);
    // ink: width * height flags (non-zero = ink), drawn embossed at (x, y).
    void DrawEmbossed(int x, int y, int width, int height, const std::vector<uint8_t>& ink);

    // CDCShapes.cpp.
    void FillLogicalRect(const RECT& rect, COLORREF colour);  // FillSolidRect without its side effect
    void FillLogicalRect(int x, int y, int cx, int cy, COLORREF colour);
    void ThinLine(POINT a, POINT b, uint32_t pixel, int style);
    void WideLine(POINT a, POINT b, uint32_t pixel, int width);
    void Disc(int cx, int cy, int width, uint32_t pixel);
    void PenLine(POINT a, POINT b);
    void FillPolygonSurface(const std::vector<POINT>& points, uint32_t pixel);
    void EdgeLines(const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight);
    void DrawCheckBox(const RECT& r, UINT state);
    void DrawRadioButton(const RECT& r, UINT state);

    // CDCText.cpp.
    FontInstance* CurrentFontInstance() const;
    void BlendCoverage(const FontInstance::Glyph& glyph, int x, int y, const RECT* clip, uint32_t pixel);
    void FillClipped(const RECT& r, const RECT* clip, uint32_t pixel);
    int DrawRun(FontInstance* font, const std::string& text, int x, int baseline, const RECT* clip, int tabWidth,
                int underline);
    void DrawRotatedRun(FontInstance* font, const std::string& text, int x, int baseline);

    Surface* surface_ = nullptr;
    POINT windowOrigin_{0, 0};
    RECT baseClip_{0, 0, 0, 0};
    bool memory_ = false;
    CBitmap* bitmap_ = nullptr;
    CBitmap defaultBitmap_;
    State state_;
    std::vector<State> saved_;
    std::vector<RECT> effectiveClip_;  // surface coordinates, disjoint
};

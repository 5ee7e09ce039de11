#include "preview/CDrawImageStatic.h"

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/CPaintDC.h"
#include "platform/CPen.h"
#include "platform/DisplayScale.h"

namespace {
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPlaceholderText = RGB(255, 230, 217);

// The frame and the shadow on the 96-dpi layout. Their pens are centred on
// the pane's edges and on the shadow's path; the widths below are what shows.
constexpr int kFrameWidth = 3;
constexpr int kShadowWidth = 2;
constexpr int kShadowDrop = 1;    // rows between the picture and the shadow below it
constexpr int kShadowIndent = 3;  // the shadow starts this far from the picture's top and left
constexpr int kEmptyShadowInset = 1;  // the frame shows right of and below the empty pane's shadow
constexpr int kEmptyShadowStart = 4;
constexpr int kPlaceholderHeight = 26;

void Polyline(CDC& dc, std::initializer_list<POINT> points) {
    auto point = points.begin();
    dc.MoveTo(point->x, point->y);
    for (++point; point != points.end(); ++point) dc.LineTo(point->x, point->y);
}
}  // namespace

BEGIN_MESSAGE_MAP(CDrawImageStatic, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CDrawImageStatic::CDrawImageStatic() : pageImage_(0) {}

CRect CDrawImageStatic::GetDrawRect() const {
    CRect client;
    GetClientRect(&client);
    const int margin = DisplayScale::Scale(kMargin);
    return CRect(client.left + margin, client.top + margin, client.right - 2 * margin, client.bottom - 2 * margin);
}

void CDrawImageStatic::LoadPageImage(const std::string& path) {
    if (!pageImage_.Load(path.c_str(), 0)) return;
    loaded_ = 1;
    Invalidate(TRUE);
    refHeight = pageImage_.GetHeight();
    refWidth = pageImage_.GetWidth();
}

CRect CDrawImageStatic::FitRect(const CRect& draw, LONG refWidth, LONG refHeight) {
    const LONG drawWidth = draw.Width();
    const LONG drawHeight = draw.Height();
    if (refWidth <= 0 || refHeight <= 0 || drawWidth <= 0 || drawHeight <= 0) return draw;
    const double proportion = double(refWidth) / refHeight;
    const double drawProportion = double(drawWidth) / drawHeight;
    if (proportion > drawProportion) {
        const LONG height = LONG(drawWidth / proportion);
        const LONG offset = (drawHeight - height) / 2;
        return CRect(draw.left, draw.top + offset, draw.right, draw.bottom - offset);
    }
    const LONG width = LONG(drawHeight * proportion);
    const LONG offset = (drawWidth - width) / 2;
    return CRect(draw.left + offset, draw.top, draw.right - offset, draw.bottom);
}

void CDrawImageStatic::OnPaint() {
    CPaintDC paint(this);  // validates the update region
    CClientDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, loaded_ ? kGrey : kWhite);
    const CRect image = FitRect(GetDrawRect(), refWidth, refHeight);
    if (pageImage_.IsValid())
        pageImage_.Draw(&dc, image.left, image.top, image.Width(), image.Height(), nullptr);
    DrawFrame(dc, client.right, client.bottom);
    DrawShadow(dc, image, client.right, client.bottom);
    if (!loaded_) DrawPlaceholder(dc, image);
}

void CDrawImageStatic::DrawFrame(CDC& dc, LONG width, LONG height) {
    // An odd pen centred on the top and left edges shows its lower half and
    // middle; an even one on the right and bottom edges its upper half.
    const int frame = DisplayScale::Scale(kFrameWidth);
    CPen topLeft(PS_SOLID, 2 * frame - 1, kGrey);
    CPen* previous = dc.SelectObject(&topLeft);
    Polyline(dc, {{0, 0}, {width, 0}});
    Polyline(dc, {{0, 0}, {0, height}});
    CPen bottomRight(PS_SOLID, 2 * frame, kGrey);
    dc.SelectObject(&bottomRight);
    Polyline(dc, {{width, 1}, {width, height}, {1, height}});
    dc.SelectObject(previous);
}

void CDrawImageStatic::DrawShadow(CDC& dc, const CRect& image, LONG width, LONG height) {
    // A pen of width w centred on c covers c - w / 2 ... c - w / 2 + w - 1.
    const int pen = DisplayScale::ScaleLine(kShadowWidth);
    const int half = pen / 2;
    CPen shadow(PS_SOLID, pen, kBlack);
    CPen* previous = dc.SelectObject(&shadow);
    if (loaded_) {
        const int x = image.right + half, y = image.bottom + DisplayScale::Scale(kShadowDrop) + half;
        const int indent = DisplayScale::Scale(kShadowIndent) + half;
        const int top = image.top + indent, left = image.left + indent;
        Polyline(dc, {{x, top}, {x, y}, {left, y}});
    } else {
        const int inset = DisplayScale::Scale(kEmptyShadowInset) + pen - half;
        const int start = DisplayScale::Scale(kEmptyShadowStart) + half;
        Polyline(dc, {{int(width) - inset, start}, {int(width) - inset, int(height) - inset}, {start, int(height) - inset}});
    }
    dc.SelectObject(previous);
}

void CDrawImageStatic::DrawPlaceholder(CDC& dc, const CRect& image) {
    const LONG w = image.Width();
    const LONG h = image.Height();
    CRect text(image.left + w / 10, image.top + h / 4, image.right - w / 10, image.top + h / 2);
    dc.SetTextColor(kPlaceholderText);
    CFont font;
    font.CreateFont(-DisplayScale::Scale(kPlaceholderHeight), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    CFont* previous = dc.SelectObject(&font);
    dc.DrawText(std::string("Preview"), &text, 0);
    dc.SelectObject(previous);
}

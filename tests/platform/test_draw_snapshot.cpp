// Draws a canvas with the classic look and writes it as PNG; the PNG is read
// back with libpng to check the writer. The file is kept (in the directory
// of PDFIMPORT_SNAPSHOT_DIR, else the temporary directory) for looking at.

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/CDC.h"
#include "platform/PngWriter.h"
#include "platform/Shell.h"
#include "platform/SysColors.h"

namespace {

std::string SnapshotPath(const char* name) {
    const char* dir = std::getenv("PDFIMPORT_SNAPSHOT_DIR");
    std::string path = dir && *dir ? std::string(dir) + "/" : GetTempDirectory();
    return path + name;
}

// Reads an 8-bit RGB PNG; false when libpng refuses it.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb->resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) return false;
    *width = int(image.width);
    *height = int(image.height);
    return true;
}

void OffsetRectBy(RECT* r, int dx, int dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

void DrawCanvas(CDC& dc, int width, int height) {
    dc.FillSolidRect(RECT{0, 0, width, height}, GetSysColor(COLOR_BTNFACE));
    CFont dialogFont;
    dialogFont.CreatePointFont(80, "MS Sans Serif");
    CFont* oldFont = dc.SelectObject(&dialogFont);
    dc.SetBkMode(TRANSPARENT);

    // Push buttons: normal, pressed, default with focus.
    const char* captions[3] = {"&Convert", "Cancel", "Help"};
    for (int i = 0; i < 3; ++i) {
        RECT r{10 + i * 85, 10, 85 + i * 85, 33};
        if (i == 2) {
            CBrush black(RGB(0, 0, 0));
            dc.FrameRect(r, &black);
            r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        }
        dc.DrawFrameControl(&r, DFC_BUTTON, DFCS_BUTTONPUSH | (i == 1 ? DFCS_PUSHED : 0));
        RECT text = r;
        if (i == 1) OffsetRectBy(&text, 1, 1);
        dc.DrawText(captions[i], -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (i == 2) {
            RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
            dc.DrawFocusRect(&focus);
        }
    }

    // Check boxes and radio buttons.
    const UINT states[3] = {0, DFCS_CHECKED, DFCS_CHECKED | DFCS_INACTIVE};
    for (int i = 0; i < 3; ++i) {
        RECT box{10, 45 + i * 18, 23, 58 + i * 18};
        dc.DrawFrameControl(&box, DFC_BUTTON, DFCS_BUTTONCHECK | states[i]);
        RECT radio{130, 45 + i * 18, 142, 58 + i * 18};
        dc.DrawFrameControl(&radio, DFC_BUTTON, DFCS_BUTTONRADIO | states[i]);
        dc.SetTextColor(GetSysColor(i == 2 ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        dc.TextOut(28, 45 + i * 18, i == 0 ? "Keep line widths" : "Solid fill areas");
        dc.TextOut(147, 45 + i * 18, i == 0 ? "All pages" : "Current Page");
    }
    dc.SetTextColor(0);

    // A sunken edit field and an etched group box.
    RECT edit{10, 105, 250, 126};
    dc.DrawEdge(&edit, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    dc.FillSolidRect(edit, GetSysColor(COLOR_WINDOW));
    RECT editText{edit.left + 2, edit.top, edit.right, edit.bottom};
    dc.DrawText("C:\\Drawings\\Plan 1-3, 5-12.pdf", -1, &editText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    RECT group{10, 140, 250, 210};
    dc.DrawEdge(&group, EDGE_ETCHED, BF_RECT);
    RECT wrap{18, 150, 240, 205};
    dc.DrawText("Word-wrapped text in a group: the quick brown fox jumps over the lazy dog. Pages 1,3,5-12.", -1,
                &wrap, DT_WORDBREAK);

    // Selection highlight.
    dc.FillSolidRect(RECT{270, 45, 380, 60}, GetSysColor(COLOR_HIGHLIGHT));
    dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    dc.TextOut(273, 46, "Selected item");
    dc.SetTextColor(0);

    // The preview placeholder: bold Arial, -26.
    CFont big;
    big.CreateFont(-26, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    dc.SelectObject(&big);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetTextColor(RGB(255, 230, 217));
    RECT preview{270, 70, 400, 110};
    dc.DrawText("Preview", -1, &preview, 0);
    dc.SetTextColor(RGB(0, 0, 255));
    dc.SetBkMode(TRANSPARENT);

    CFont link;
    link.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 1, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    dc.SelectObject(&link);
    dc.TextOut(270, 120, "Open");
    CFont bold;
    bold.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    dc.SelectObject(&bold);
    dc.SetTextColor(0);
    dc.TextOut(310, 120, "Page 12 of 40");
    CFont rotated;
    rotated.CreateFont(-14, 0, 900, 900, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    dc.SelectObject(&rotated);
    dc.TextOut(390, 200, "Rotated");

    // Pens: 1, 2, 5 and 6 pixels, and a diagonal.
    const int widths[4] = {1, 2, 5, 6};
    for (int i = 0; i < 4; ++i) {
        CPen pen(PS_SOLID, widths[i], RGB(128, 128, 128));
        CPen* old = dc.SelectObject(&pen);
        dc.MoveTo(270 + i * 25, 140);
        dc.LineTo(270 + i * 25, 200);
        dc.SelectObject(old);
    }
    // Stock cursors, and a small bitmap drawn normally and disabled.
    const UINT cursors[4] = {IDC_ARROW, IDC_WAIT, IDC_HAND, IDC_IBEAM};
    for (int i = 0; i < 4; ++i) dc.DrawIcon(10 + i * 28, 220, LoadStockCursor(cursors[i]));
    CBitmap glyph;
    glyph.CreateBitmap(14, 14, 1, 32, nullptr);
    glyph.GetSurface().Fill(0xFFFFFFFFu);
    for (int i = 0; i < 14; ++i) {
        glyph.GetSurface().Set(i, i, 0xFF008000u);
        glyph.GetSurface().Set(13 - i, i, 0xFF000080u);
        glyph.GetSurface().Set(i, 6, 0xFF800000u);
    }
    dc.DrawState(POINT{130, 225}, SIZE{0, 0}, &glyph, DST_BITMAP | DSS_NORMAL);
    dc.DrawState(POINT{150, 225}, SIZE{0, 0}, &glyph, DST_BITMAP | DSS_DISABLED);
    CPen red(PS_SOLID, 1, RGB(200, 0, 0));
    dc.SelectObject(&red);
    dc.MoveTo(260, 215);
    dc.LineTo(380, 150);
    dc.SelectObject(oldFont);
}

}  // namespace

TEST(DrawSnapshot, CanvasWritesAndReadsBackAsPng) {
    const int width = 420, height = 260;
    Surface surface(width, height);
    CDC dc(&surface);
    DrawCanvas(dc, width, height);
    const std::string path = SnapshotPath("pdfimport_draw_canvas.png");
    std::string error;
    ASSERT_TRUE(PngWriter::Write(surface, path, &error)) << error;

    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadPng(path, &w, &h, &rgb));
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    for (int y = 0; y < height; y += 7)
        for (int x = 0; x < width; x += 5) {
            const uint32_t p = surface.Row(y)[x];
            const uint8_t* q = &rgb[(size_t(y) * width + x) * 3];
            ASSERT_EQ(q[0], uint8_t(p >> 16)) << x << "," << y;
            ASSERT_EQ(q[1], uint8_t(p >> 8)) << x << "," << y;
            ASSERT_EQ(q[2], uint8_t(p)) << x << "," << y;
        }
}

TEST(DrawSnapshot, EmptySurfaceAndUnwritablePathAreRefused) {
    std::string error;
    EXPECT_FALSE(PngWriter::Write(Surface(), SnapshotPath("pdfimport_empty.png"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PngWriter::Write(Surface(2, 2), "/nonexistent-dir/x.png", &error));
}

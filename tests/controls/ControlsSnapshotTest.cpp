// The controls with the converter's artwork, as the user sees them. The
// snapshots are written to the test's working directory for a look by eye.

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "platform/PngWriter.h"
#include "platform/ScriptPlayer.h"
#include "platform/SysColors.h"

namespace {

class ControlsSnapshotTest : public ControlsTest {
protected:
    void Snapshot(const std::string& name) {
        Surface image;
        WindowManager::Instance().PaintAll();
        ASSERT_TRUE(ScriptPlayer::Compose(&Dialog(), image));
        std::string error;
        EXPECT_TRUE(PngWriter::Write(image, name, &error)) << error;
    }
    // Pixels where green clearly leads: the arrows' squares.
    int GreenPixels(CWnd& wnd) {
        CRect client;
        wnd.GetClientRect(&client);
        int count = 0;
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x) {
                const COLORREF c = PixelOf(wnd, x, y);
                count += GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40;
            }
        return count;
    }
};

TEST_F(ControlsSnapshotTest, ArtworkOnTheButtonsLooksRight) {
    ControlsDialog& dlg = Dialog();
    dlg.convert.SetFocus();
    Snapshot("controls-normal.png");

    // The arrow icons fill most of their small flat buttons with green.
    CRect step;
    dlg.next.GetClientRect(&step);
    for (CIconButton* button : {&dlg.previous, &dlg.next})
        EXPECT_GT(GreenPixels(*button), step.Width() * step.Height() / 3);
    // White around the Convert picture and magenta around the Help picture
    // are transparent.
    EXPECT_FALSE(Shows(dlg.help, RGB(255, 0, 255)));
    CRect convert;
    dlg.convert.GetClientRect(&convert);
    const CRect picture(CPoint(3, (convert.Height() - 16) / 2), CSize(20, 16));
    int faceShowing = 0;
    for (int y = picture.top; y < picture.bottom; ++y)
        for (int x = picture.left; x < picture.right; ++x) {
            EXPECT_NE(PixelOf(dlg.convert, x, y), RGB(255, 255, 255)) << x << "," << y;
            faceShowing += PixelOf(dlg.convert, x, y) == GetSysColor(COLOR_BTNFACE);
        }
    EXPECT_GT(faceShowing, 20);
    EXPECT_GT(GreenPixels(dlg.convert), 4);

    // Hovered, the Next button lightens and raises (under its large icon).
    MouseAt(dlg.next, InputEvent::Type::MouseMove, 3, 3);
    ASSERT_TRUE(dlg.next.IsHovered());
    Snapshot("controls-hover.png");

    // The Help menu below its button, with the About and Help entries.
    driver_->LoadScriptText("snapshot controls-menu.png\nmenu 116\n");
    MouseAt(dlg.help, InputEvent::Type::MouseDown, 5, 5);
    EXPECT_EQ(dlg.Count(WM_COMMAND, kHelpCommand, 0), 1);

    dlg.previous.EnableWindow(FALSE);
    dlg.help.EnableWindow(FALSE);
    dlg.convert.EnableWindow(FALSE);
    dlg.open.EnableWindow(FALSE);
    dlg.open.SetForeground(RGB(128, 128, 128));
    Snapshot("controls-disabled.png");
    EXPECT_LT(GreenPixels(dlg.previous), 4);
}

}  // namespace

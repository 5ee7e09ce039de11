#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "platform/SysColors.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A 6 x 6 picture: white (to be transparent) with a red 2 x 2 centre.
CBitmap* NewTargetBitmap() {
    Surface pixels(6, 6, Surface::FromColorRef(kWhite));
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x) pixels.Set(x, y, Surface::FromColorRef(kRed));
    auto* bitmap = new CBitmap();
    bitmap->Attach(std::move(pixels), false);
    return bitmap;
}

// An opaque icon whose column c has the colour (8 c, 0, 0); black corners.
HICON NewColumnIcon(int size) {
    Icon* icon = new Icon();
    icon->width = icon->height = size;
    icon->hotSpot = POINT{size / 2, size / 2};
    icon->colour.Resize(size, size);
    icon->mask.Resize(size, size, 0xFF000000u);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) icon->colour.Set(x, y, Surface::FromColorRef(RGB(8 * x, 0, 0)));
    return icon;
}

class IconButtonTest : public ControlsTest {
protected:
    // A caption-less, image-less button of exactly w x h pixels, alone in a
    // free part of the dialog, with a blue background, green while hovered or
    // pressed.
    CIconButton& Sized(CIconButton& button, int w, int h) {
        button.SetWindowText("");
        button.ReleaseImages();
        button.MoveWindow(100, 45, w, h);
        button.SetColour(CIconButton::BackOut, kBlue, FALSE);
        button.SetColour(CIconButton::BackFocus, kBlue, FALSE);
        button.SetColour(CIconButton::BackIn, kGreen, TRUE);
        return button;
    }
};

TEST_F(IconButtonTest, OffsetColourKeepsTheHueInsideTheChannelRange) {
    struct Case {
        COLORREF start;
        int offset;
        COLORREF expected;
    };
    const Case cases[] = {
        {RGB(212, 208, 200), 30, RGB(242, 238, 230)},
        {RGB(240, 240, 240), 30, RGB(255, 255, 255)},
        {RGB(255, 255, 255), 30, RGB(255, 255, 255)},
        {RGB(10, 100, 200), -30, RGB(0, 90, 190)},
        {RGB(0, 128, 0), 255, RGB(127, 255, 127)},
        {RGB(0, 128, 0), -255, RGB(0, 128, 0)},
        {RGB(40, 50, 60), 0, RGB(40, 50, 60)},
    };
    CIconButton& button = Dialog().previous;
    for (const Case& c : cases) {
        ASSERT_EQ(button.SetColour(CIconButton::ForeOut, c.start, FALSE), CIconButton::Ok);
        EXPECT_EQ(button.OffsetColour(CIconButton::ForeOut, c.offset, FALSE), CIconButton::Ok);
        EXPECT_EQ(button.GetColour(CIconButton::ForeOut), c.expected) << std::hex << c.start << " " << std::dec
                                                                       << c.offset;
    }
}

TEST_F(IconButtonTest, ColourOperationsRefuseBadIndicesAndOffsets) {
    CIconButton& button = Dialog().previous;
    struct Case {
        int index;
        int offset;
        int expected;
    };
    const Case cases[] = {{6, 10, CIconButton::InvalidIndex},  {-1, 10, CIconButton::InvalidIndex},
                          {2, 256, CIconButton::InvalidOffset}, {2, -256, CIconButton::InvalidOffset},
                          {2, 255, CIconButton::Ok},           {2, -255, CIconButton::Ok}};
    for (const Case& c : cases)
        EXPECT_EQ(button.OffsetColour(c.index, c.offset, FALSE), c.expected) << c.index << " " << c.offset;
    EXPECT_EQ(button.SetColour(6, kRed, FALSE), CIconButton::InvalidIndex);
    EXPECT_EQ(button.SetColour(-1, kRed, FALSE), CIconButton::InvalidIndex);
    EXPECT_EQ(button.SetColour(CIconButton::ForeFocus, kRed, FALSE), CIconButton::Ok);
}

TEST_F(IconButtonTest, ImageOperationsReportUnreadableImagesAndKeepNone) {
    CIconButton& button = Dialog().convert;
    ASSERT_TRUE(button.HasBitmap());

    // A missing resource gives no image but is no failure.
    EXPECT_EQ(button.SetBitmapImages(4242, kWhite), CIconButton::Ok);
    EXPECT_FALSE(button.HasBitmap());

    EXPECT_EQ(button.SetBitmapHandles(new CBitmap(), kWhite), CIconButton::UnreadableImage);
    EXPECT_FALSE(button.HasBitmap());
    EXPECT_EQ(button.SetBitmapHandles(NewTargetBitmap(), kWhite, new CBitmap(), kWhite),
              CIconButton::UnreadableImage);
    EXPECT_FALSE(button.HasBitmap());
    EXPECT_EQ(button.SetBitmapHandles(CIconButton::GreyBitmapCopy(), kWhite), CIconButton::UnreadableImage);

    Icon* empty = new Icon();
    EXPECT_EQ(button.SetIconHandles(empty), CIconButton::UnreadableImage);
    EXPECT_FALSE(button.HasIcon());
    EXPECT_EQ(button.SetIconHandles(CIconButton::DarkerIconCopy()), CIconButton::UnreadableImage);
    EXPECT_EQ(button.SetIconHandles(NewColumnIcon(8), new Icon()), CIconButton::UnreadableImage);
    EXPECT_FALSE(button.HasIcon());

    // One kind of image at a time; the same icon twice is kept once.
    HICON icon = NewColumnIcon(8);
    EXPECT_EQ(button.SetIconHandles(icon, icon), CIconButton::Ok);
    EXPECT_TRUE(button.HasIcon());
    EXPECT_EQ(button.SetBitmapImages(1010, kWhite, CIconButton::kGreyCopy), CIconButton::Ok);
    EXPECT_TRUE(button.HasBitmap());
    EXPECT_FALSE(button.HasIcon());
    EXPECT_EQ(button.SetIcons(1000, 0, 0, 1001, 16, 16), CIconButton::Ok);
    EXPECT_TRUE(button.HasIcon());
    EXPECT_FALSE(button.HasBitmap());
}

TEST_F(IconButtonTest, BitmapsShowTheBackgroundWhereTheyHaveTheirTransparentColour) {
    struct Case {
        const char* name;
        CBitmap* out;
        COLORREF centre;
    };
    const Case cases[] = {
        {"no out bitmap", nullptr, kRed},
        {"grey copy", CIconButton::GreyBitmapCopy(), RGB(76, 76, 76)},
        {"darker copy", CIconButton::DarkerBitmapCopy(), RGB(192, 0, 0)},
    };
    CIconButton& button = Sized(Dialog().previous, 30, 30);
    for (const Case& c : cases) {
        ASSERT_EQ(button.SetBitmapHandles(NewTargetBitmap(), kWhite, c.out, 0), CIconButton::Ok) << c.name;
        // Centred: the picture covers 12..17 in both directions.
        EXPECT_EQ(PixelOf(button, 14, 14), c.centre) << c.name;
        EXPECT_EQ(PixelOf(button, 12, 12), kBlue) << c.name;
        EXPECT_EQ(PixelOf(button, 17, 17), kBlue) << c.name;
    }
}

TEST_F(IconButtonTest, HoverAndPressShowTheInImage) {
    CIconButton& button = Sized(Dialog().previous, 30, 30);
    ASSERT_EQ(button.SetBitmapHandles(NewTargetBitmap(), kWhite, CIconButton::GreyBitmapCopy(), 0),
              CIconButton::Ok);
    EXPECT_EQ(PixelOf(button, 14, 14), RGB(76, 76, 76));
    MouseAt(button, InputEvent::Type::MouseMove, 5, 5);
    ASSERT_TRUE(button.IsHovered());
    EXPECT_EQ(PixelOf(button, 14, 14), kRed);
    // Pressed: moved by one pixel right and down.
    MouseAt(button, InputEvent::Type::MouseDown, 5, 5);
    EXPECT_EQ(PixelOf(button, 13, 13), kGreen);
    EXPECT_EQ(PixelOf(button, 15, 15), kRed);
    EXPECT_EQ(PixelOf(button, 17, 17), kGreen);
    MouseAt(button, InputEvent::Type::MouseUp, 5, 5);
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kPreviousId, BN_CLICKED), 1);
}

TEST_F(IconButtonTest, IconCopiesKeepBlackAndTheMask) {
    CIconButton& button = Sized(Dialog().previous, 40, 40);
    struct Case {
        HICON out;
        COLORREF column10;
    };
    // Column 10 of the icon is (80, 0, 0).
    const Case cases[] = {{nullptr, RGB(80, 0, 0)},
                          {CIconButton::GreyIconCopy(), RGB(23, 23, 23)},
                          {CIconButton::DarkerIconCopy(), RGB(60, 0, 0)}};
    for (const Case& c : cases) {
        ASSERT_EQ(button.SetIconHandles(NewColumnIcon(32), c.out), CIconButton::Ok);
        // Placed at (4, 4); column 0 is black and stays black.
        EXPECT_EQ(PixelOf(button, 14, 20), c.column10);
        EXPECT_EQ(PixelOf(button, 4, 20), RGB(0, 0, 0));
        EXPECT_EQ(PixelOf(button, 2, 20), kBlue);
    }
}

TEST_F(IconButtonTest, EachImageIsCentredByItsOwnSize) {
    CIconButton& button = Sized(Dialog().previous, 40, 40);
    ASSERT_EQ(button.SetIconHandles(NewColumnIcon(32), NewColumnIcon(16)), CIconButton::Ok);
    // The 16-pixel out icon at (12, 12); the 32-pixel in icon at (4, 4) while hovered.
    EXPECT_EQ(PixelOf(button, 10, 20), kBlue);
    EXPECT_EQ(PixelOf(button, 22, 20), RGB(80, 0, 0));
    MouseAt(button, InputEvent::Type::MouseMove, 1, 1);
    EXPECT_EQ(PixelOf(button, 10, 20), RGB(48, 0, 0));
}

TEST_F(IconButtonTest, AnIconWiderThanTheButtonStartsLeftOfItAndIsClipped) {
    CIconButton& button = Sized(Dialog().previous, 20, 40);
    ASSERT_EQ(button.SetIconHandles(NewColumnIcon(32)), CIconButton::Ok);
    // (20 - 32) / 2 = -6: the button shows columns 6 to 25; (40 - 32) / 2 = 4.
    EXPECT_EQ(PixelOf(button, 0, 10), RGB(48, 0, 0));
    EXPECT_EQ(PixelOf(button, 19, 10), RGB(200, 0, 0));
    EXPECT_EQ(PixelOf(button, 10, 3), kBlue);
    EXPECT_EQ(PixelOf(button, 10, 4), RGB(128, 0, 0));
}

TEST_F(IconButtonTest, OnlyFlatButtonsFollowThePointer) {
    struct Case {
        const char* name;
        BOOL flat;
        bool buttonHeld;
        bool hovered;
    };
    const Case cases[] = {
        {"flat", TRUE, false, true},
        {"raised", FALSE, false, false},
        {"flat, dragged onto", TRUE, true, false},
    };
    for (const Case& c : cases) {
        CIconButton& button = Sized(Dialog().next, 30, 30);
        button.SetFlat(c.flat);
        CRect client;
        Dialog().GetClientRect(&client);
        if (c.buttonHeld) MouseAt(Dialog(), InputEvent::Type::MouseDown, client.right - 5, client.bottom - 5);
        MouseAt(button, InputEvent::Type::MouseMove, 10, 10);
        EXPECT_EQ(button.IsHovered(), c.hovered) << c.name;
        EXPECT_EQ(PixelOf(button, 4, 4), c.hovered ? kGreen : kBlue) << c.name;
        if (c.hovered) {
            // The raised frame: highlight at the top left, shadow at the bottom right.
            EXPECT_EQ(PixelOf(button, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT)) << c.name;
            EXPECT_EQ(PixelOf(button, 29, 29), GetSysColor(COLOR_BTNSHADOW)) << c.name;
        }
        MouseAt(Dialog(), InputEvent::Type::MouseMove, client.right - 5, client.bottom - 5);
        if (c.buttonHeld) MouseAt(Dialog(), InputEvent::Type::MouseUp, client.right - 5, client.bottom - 5);
        EXPECT_FALSE(button.IsHovered()) << c.name;
        EXPECT_EQ(PixelOf(button, 4, 4), kBlue) << c.name;
    }
}

TEST_F(IconButtonTest, RaisedButtonIsFramedBlackWhenFocusedOrDefault) {
    CIconButton& convert = Dialog().convert;
    ASSERT_FALSE(convert.IsFlat());
    ASSERT_FALSE(convert.IsDefault());
    Dialog().previous.SetFocus();
    EXPECT_EQ(PixelOf(convert, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    convert.SetFocus();
    EXPECT_EQ(PixelOf(convert, 0, 0), RGB(0, 0, 0));

    Dialog().previous.SetFocus();
    convert.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(convert.IsDefault());
    EXPECT_EQ(convert.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(convert.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(PixelOf(convert, 0, 0), RGB(0, 0, 0));
    convert.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(convert.IsDefault());
    EXPECT_TRUE(convert.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(convert.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(IconButtonTest, TemplateCheckBoxBecomesAnOwnerDrawnCheckButton) {
    CIconButton& check = Dialog().check;
    ASSERT_TRUE(check.IsCheckBoxMode());
    EXPECT_EQ(check.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    const BOOL expected[] = {TRUE, FALSE, TRUE};
    for (BOOL state : expected) {
        ClickAt(check, 5, 5);
        EXPECT_EQ(check.IsChecked(), state);
        EXPECT_EQ(check.SendMessage(BM_GETCHECK), LRESULT(state));
    }
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kCheckId, BN_CLICKED), 3);
    check.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_FALSE(check.IsChecked());
    check.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_TRUE(check.IsChecked());

    // A plain button has no check state to set.
    Dialog().convert.SetChecked(TRUE);
    EXPECT_FALSE(Dialog().convert.IsChecked());
}

TEST_F(IconButtonTest, ADoubleClickCountsAsASecondPress) {
    CIconButton& next = Dialog().next;
    MSG msg{&next, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3), 0, POINT{0, 0}};
    CWnd::WalkPreTranslateTree(&Dialog(), &msg);
    EXPECT_EQ(msg.message, WM_LBUTTONDOWN);
}

TEST_F(IconButtonTest, DisablingHandsOnTheFocusOnlyWhenItHeldIt) {
    ControlsDialog& dlg = Dialog();
    dlg.previous.SetFocus();
    dlg.previous.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetFocus(), &dlg.next);

    dlg.convert.SetFocus();
    dlg.next.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetFocus(), &dlg.convert);
}

TEST_F(IconButtonTest, ToolTipHasOneToolForTheWholeButton) {
    CIconButton& previous = Dialog().previous;
    CToolTipCtrl& tip = previous.GetToolTip();
    ASSERT_TRUE(tip.GetSafeHwnd());
    EXPECT_EQ(tip.GetToolCount(), 1);
    EXPECT_TRUE(tip.IsActive());

    // Resting the pointer on the button shows the text.
    MouseAt(previous, InputEvent::Type::MouseMove, 3, 3);
    for (int i = 0; i < 3 && !tip.IsTipShown(); ++i) Tick();
    ASSERT_TRUE(tip.IsTipShown());
    EXPECT_EQ(tip.GetShownText(), "Previous Page");

    previous.SetToolTipText("Back", FALSE);
    previous.SetToolTipText(nullptr, TRUE);
    EXPECT_EQ(tip.GetToolCount(), 1);
    EXPECT_FALSE(tip.IsActive());
}

TEST_F(IconButtonTest, SystemColourChangeRestoresTheDefaults) {
    CIconButton& previous = Dialog().previous;
    ASSERT_NE(previous.GetColour(CIconButton::BackIn), GetSysColor(COLOR_BTNFACE));
    previous.SendMessage(WM_SYSCOLORCHANGE);
    for (int i = 0; i < CIconButton::kStateColourCount; ++i)
        EXPECT_EQ(previous.GetColour(i), GetSysColor(i % 2 == 0 ? COLOR_BTNFACE : COLOR_BTNTEXT)) << i;
}

TEST_F(IconButtonTest, DisabledBitmapIsDrawnGreyed) {
    CIconButton& button = Sized(Dialog().previous, 30, 30);
    ASSERT_EQ(button.SetBitmapHandles(NewTargetBitmap(), kWhite), CIconButton::Ok);
    ASSERT_EQ(PixelOf(button, 14, 14), kRed);
    button.EnableWindow(FALSE);
    EXPECT_FALSE(Shows(button, kRed));
}

}  // namespace

#pragma once

// A small dialog holding the owner-drawn controls as the converter window
// configures them, on the offscreen driver, recording what its controls tell
// it in the order they tell it.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/CDropDownButton.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "platform/CDC.h"
#include "platform/CDataExchange.h"
#include "platform/CDialog.h"
#include "platform/DialogTemplate.h"
#include "platform/DisplayScale.h"
#include "platform/OffscreenDriver.h"
#include "platform/PopupMenuWindow.h"
#include "platform/ResourceTable.h"
#include "platform/WindowManager.h"
#include "resources/ConverterResources.h"

// A link label whose links are recorded instead of handed to the desktop.
class RecordingLinkLabel : public CLinkLabel {
public:
    std::vector<std::string> opened;

protected:
    void OpenLink(const std::string& link) override { opened.push_back(link); }
};

enum ControlId {
    kConvertId = 1,
    kHelpId = 134,
    kPreviousId = 1002,
    kNextId = 1003,
    kPageId = 1004,
    kOpenId = 1044,
    kCheckId = 1050,
    kAboutCommand = 114,
    kHelpCommand = 116,
};

class ControlsDialog : public CDialog {
public:
    struct Event {
        UINT message;  // WM_COMMAND or WM_NOTIFY
        int id;
        UINT code;
    };
    std::vector<Event> events;

    CIconButton convert;
    CIconButton previous;
    CIconButton next;
    CIconButton check;
    CDropDownButton help;
    RecordingLinkLabel open;
    RecordingLinkLabel page;
    HCURSOR hand = nullptr;
    // The Help button's state and its drop zone's edge pixel as its menu opens.
    bool menuShownAtOpen = false;
    COLORREF zoneEdgeAtOpen = CLR_INVALID;

    ~ControlsDialog() override {
        if (hand) DestroyCursor(hand);
    }

    int Count(UINT message, int id, UINT code) const {
        int n = 0;
        for (const Event& e : events) n += e.message == message && e.id == id && e.code == code;
        return n;
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        events.push_back({WM_COMMAND, LOWORD(wParam), HIWORD(wParam)});
        return CDialog::OnCommand(wParam, lParam);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_INITMENUPOPUP) {
            menuShownAtOpen = help.IsMenuShown();
            CRect client;
            help.GetClientRect(&client);
            POINT edge{client.right - 20, 5};
            help.MapWindowPoints(this, &edge, 1);
            zoneEdgeAtOpen = Surface::ToColorRef(GetSurface()->At(edge.x, edge.y));
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        events.push_back({WM_NOTIFY, int(header->idFrom), header->code});
        return CDialog::OnNotify(wParam, lParam, result);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, kConvertId, convert);
        DDX_Control(pDX, kPreviousId, previous);
        DDX_Control(pDX, kNextId, next);
        DDX_Control(pDX, kCheckId, check);
        DDX_Control(pDX, kOpenId, open);
        DDX_Control(pDX, kPageId, page);
    }

    // As the converter window sets its controls up.
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        const int icon = DisplayScale::Scale(32);
        previous.SetIcons(1001, icon, icon);
        previous.OffsetColour(CIconButton::BackIn, 30, TRUE);
        previous.SetColour(CIconButton::ForeIn, RGB(0, 128, 0), TRUE);
        previous.SetToolTipText("Previous Page", TRUE);
        next.SetIcons(1000, icon, icon);
        next.SetToolTipText("Next Page", TRUE);
        next.OffsetColour(CIconButton::BackIn, 30, TRUE);
        next.SetColour(CIconButton::ForeIn, RGB(0, 128, 0), TRUE);
        convert.SetFlat(FALSE, TRUE);
        convert.SetBitmapImages(1010, RGB(255, 255, 255));

        help.SubclassDlgItem(kHelpId, this);
        help.SetCommandTarget(this);
        help.SetFaceBitmap(134, RGB(255, 0, 255));
        help.AppendMenuEntry(kAboutCommand, ResourceTable::Instance().LoadString(103));
        help.AppendMenuEntry(kHelpCommand, ResourceTable::Instance().LoadString(102));

        page.SetBold(TRUE);
        page.ChangeText("12");
        hand = ResourceTable::Instance().LoadCursor(1002);
        open.SetWebLink(TRUE, TRUE);
        open.SetForeground(RGB(0, 0, 255));
        open.SetUnderline(TRUE);
        open.SetHoverCursor(hand);
        return TRUE;
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ConverterResources::Register();
        auto driver = std::make_unique<OffscreenDriver>(log_);
        driver_ = driver.get();
        WindowManager::Instance().UseDriver(std::move(driver));
        dialog_ = std::make_unique<ControlsDialog>();
        ASSERT_TRUE(dialog_->CreateIndirect(&template_, nullptr));
        dialog_->ShowWindow(SW_SHOW);
        WindowManager::Instance().PaintAll();
    }
    void TearDown() override {
        if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
        dialog_.reset();
        EXPECT_TRUE(WindowManager::Instance().TopLevels().empty());
    }

    static DialogItemTemplate Item(int id, const char* kind, const char* text, int x, int y, int cx, int cy,
                                   DWORD style) {
        return DialogItemTemplate{id, kind, text, x, y, cx, cy, style};
    }
    static DialogTemplate MakeTemplate() {
        DialogTemplate t{0, "Controls", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 10, 10, 200, 80,
                         "MS Sans Serif", 8, {}};
        t.items = {
            Item(kPreviousId, "Button", "", 6, 6, 15, 15, BS_PUSHBUTTON | WS_TABSTOP),
            Item(kNextId, "Button", "", 22, 6, 15, 15, BS_PUSHBUTTON | WS_TABSTOP),
            Item(kPageId, "Static", "  ", 45, 10, 16, 8, SS_LEFT),
            Item(kOpenId, "Static", "Open", 70, 10, 17, 8, SS_LEFT),
            Item(kCheckId, "Button", "Check", 100, 6, 50, 15, BS_AUTOCHECKBOX | WS_TABSTOP),
            Item(kHelpId, "Button", "Help", 9, 50, 50, 14, BS_OWNERDRAW | WS_TABSTOP),
            Item(kConvertId, "Button", "Convert", 130, 46, 54, 18, BS_PUSHBUTTON | WS_TABSTOP),
        };
        return t;
    }

    ControlsDialog& Dialog() { return *dialog_; }

    // The pixel at a client point of `wnd` after painting everything.
    COLORREF PixelOf(CWnd& wnd, int x, int y) {
        WindowManager::Instance().PaintAll();
        POINT p{x, y};
        wnd.MapWindowPoints(dialog_.get(), &p, 1);
        return Surface::ToColorRef(dialog_->GetSurface()->At(p.x, p.y));
    }
    // Whether any pixel of the client area of `wnd` has the colour.
    bool Shows(CWnd& wnd, COLORREF colour) {
        CRect client;
        wnd.GetClientRect(&client);
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x)
                if (PixelOf(wnd, x, y) == colour) return true;
        return false;
    }

    // Whether any pixel of the client area of `wnd` passes the test; text is
    // smoothed, so its colour shows fully only where a stroke covers a pixel.
    bool ShowsInk(CWnd& wnd, bool (*ink)(COLORREF)) {
        CRect client;
        wnd.GetClientRect(&client);
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x)
                if (ink(PixelOf(wnd, x, y))) return true;
        return false;
    }
    static bool Reddish(COLORREF c) { return GetRValue(c) >= 200 && GetGValue(c) <= 170 && GetBValue(c) <= 170; }
    static bool Dark(COLORREF c) { return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80; }
    static bool MidGrey(COLORREF c) {
        return GetRValue(c) <= 150 && GetRValue(c) >= 100 && GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
    }
    static bool Bluish(COLORREF c) { return GetBValue(c) >= 150 && GetRValue(c) <= 120 && GetGValue(c) <= 120; }

    // The pointer as the user moves it, at a client point of `wnd`.
    void MouseAt(CWnd& wnd, InputEvent::Type type, int x, int y) {
        POINT p{x, y};
        wnd.MapWindowPoints(dialog_.get(), &p, 1);
        InputEvent event;
        event.type = type;
        event.window = dialog_->GetDriverWindow();
        event.x = p.x;
        event.y = p.y;
        WindowManager::Instance().DeliverInput(event);
        WindowManager::Instance().PumpPending();
    }
    void ClickAt(CWnd& wnd, int x, int y) {
        MouseAt(wnd, InputEvent::Type::MouseDown, x, y);
        MouseAt(wnd, InputEvent::Type::MouseUp, x, y);
    }

    // Runs the loop until the next timer has fired (the offscreen clock only
    // moves while the script waits).
    void Tick() {
        if (!waiting_) {
            driver_->LoadScriptText("wait 1000000\n");
            waiting_ = true;
        }
        const DWORD before = GetTickCount();
        for (int i = 0; i < 100 && GetTickCount() == before; ++i) WindowManager::Instance().PumpOne();
        WindowManager::Instance().PumpPending();
    }

    std::ostringstream log_;
    bool waiting_ = false;
    OffscreenDriver* driver_ = nullptr;
    DialogTemplate template_ = MakeTemplate();
    std::unique_ptr<ControlsDialog> dialog_;
};

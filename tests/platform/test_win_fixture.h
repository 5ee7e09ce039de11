#pragma once

// Shared pieces of the window framework tests: an offscreen driver per test,
// small control kinds that behave like the stock ones in what the framework
// relies on (dialog codes, clicks, checks, typing), and template builders.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/CDialog.h"
#include "platform/DialogTemplateRegistry.h"
#include "platform/OffscreenDriver.h"
#include "platform/WindowClassRegistry.h"
#include "platform/WindowManager.h"

// A push button: takes the focus and the capture on a press, and reports a
// click to its parent when released over itself.
class TestPush : public CWnd {
public:
    int clicks = 0;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            case WM_LBUTTONDOWN:
                SetFocus();
                SetCapture();
                return 0;
            case WM_LBUTTONUP: {
                const bool captured = GetCapture() == this;
                ReleaseCapture();
                CRect client;
                GetClientRect(&client);
                if (captured && client.PtInRect(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))) Click();
                return 0;
            }
            case BM_CLICK: Click(); return 0;
            default: return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }

private:
    void Click() {
        ++clicks;
        GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(unsigned(GetDlgCtrlID()), BN_CLICKED),
                                 reinterpret_cast<LPARAM>(this));
    }
};

// An auto radio button: a click checks it and clears the others of its group.
class TestRadio : public CWnd {
public:
    bool checked = false;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_RADIOBUTTON;
            case BM_GETCHECK: return checked ? BST_CHECKED : BST_UNCHECKED;
            case BM_SETCHECK: checked = wParam == BST_CHECKED; return 0;
            case BM_CLICK:
            case WM_LBUTTONUP: {
                for (CWnd* other = GetParent()->GetNextDlgGroupItem(this); other && other != this;
                     other = GetParent()->GetNextDlgGroupItem(other))
                    other->SendMessage(BM_SETCHECK, BST_UNCHECKED);
                checked = true;
                GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(unsigned(GetDlgCtrlID()), BN_CLICKED),
                                         reinterpret_cast<LPARAM>(this));
                return 0;
            }
            default: return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }
};

// A one-line edit: typing replaces a full selection, then appends.
class TestEdit : public CWnd {
public:
    bool allSelected = false;
    std::vector<UINT> keys;  // WM_KEYDOWN codes that reached the edit

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            case EM_SETSEL: allSelected = wParam == 0 && lParam == -1; return 0;
            case WM_KEYDOWN: keys.push_back(UINT(wParam)); return 0;
            case WM_CHAR: {
                std::string text = allSelected ? std::string() : GetWindowText();
                allSelected = false;
                if (wParam == '\b') {
                    if (!text.empty()) text.pop_back();
                } else {
                    text += char(wParam);
                }
                SetWindowText(text);
                return 0;
            }
            default: return CWnd::DefWindowProc(message, wParam, lParam);
        }
    }
};

// A label: never takes the focus and lets the mouse through.
class TestLabel : public CWnd {
protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETDLGCODE) return DLGC_STATIC;
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
};

class WinTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto driver = std::make_unique<OffscreenDriver>(log);
        offscreen = driver.get();
        WindowManager::Instance().UseDriver(std::move(driver));
        WindowClassRegistry::Register("TestPush", []() -> CWnd* { return new TestPush; });
        WindowClassRegistry::Register("TestRadio", []() -> CWnd* { return new TestRadio; });
        WindowClassRegistry::Register("TestEdit", []() -> CWnd* { return new TestEdit; });
        WindowClassRegistry::Register("TestLabel", []() -> CWnd* { return new TestLabel; });
    }
    void TearDown() override {
        // Every test leaves the screen empty.
        EXPECT_TRUE(WindowManager::Instance().TopLevels().empty());
    }

    // Runs the script through the offscreen driver as the user's actions.
    void Script(const std::string& text) { offscreen->LoadScriptText(text); }

    // Presses the key as the keyboard would (down, its character, up).
    static void Press(unsigned key, unsigned modifiers = 0, char typed = 0) {
        WindowManager& wm = WindowManager::Instance();
        InputEvent event;
        event.modifiers = modifiers;
        event.type = InputEvent::Type::KeyDown;
        event.key = key;
        wm.DeliverInput(event);
        if (typed) {
            event.type = InputEvent::Type::Char;
            event.key = static_cast<unsigned char>(typed);
            wm.DeliverInput(event);
        }
        event.type = InputEvent::Type::KeyUp;
        event.key = key;
        wm.DeliverInput(event);
    }

    static void Mouse(CWnd* top, InputEvent::Type type, int x, int y) {
        InputEvent event;
        event.type = type;
        event.window = top->GetDriverWindow();
        event.x = x;
        event.y = y;
        WindowManager::Instance().DeliverInput(event);
    }

    std::ostringstream log;
    OffscreenDriver* offscreen = nullptr;
};

inline DialogItemTemplate Item(int id, const char* kind, const char* text, int x, int y, int cx, int cy,
                               DWORD style = 0) {
    DialogItemTemplate item{id, kind, text, x, y, cx, cy, style};
    return item;
}

inline DialogTemplate Dialog(UINT id, std::vector<DialogItemTemplate> items, DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU) {
    DialogTemplate t{id, "Test", style, 0, 0, 0, 200, 100, "MS Sans Serif", 8, std::move(items)};
    return t;
}

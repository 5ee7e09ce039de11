#pragma once

// A modeless dialog on the offscreen driver holding the controls under test,
// which records what its controls tell it.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "platform/CDialog.h"
#include "platform/DialogTemplate.h"
#include "platform/OffscreenDriver.h"
#include "platform/WindowManager.h"

class RecordingDialog : public CDialog {
public:
    struct Command {
        int id;
        UINT code;
    };
    std::vector<Command> commands;
    std::vector<UINT> notifications;
    std::vector<DRAWITEMSTRUCT> drawRequests;
    UINT refuseCode = 0;  // a notification answered with TRUE (refusal)

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back({LOWORD(wParam), HIWORD(wParam)});
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        notifications.push_back(header->code);
        if (header->code == refuseCode && refuseCode != 0) {
            *result = TRUE;
            return TRUE;
        }
        return CDialog::OnNotify(wParam, lParam, result);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DRAWITEM)
            drawRequests.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return CDialog::WindowProc(message, wParam, lParam);
    }
    int CountCommands(int id, UINT code) const {
        int n = 0;
        for (const Command& c : commands) n += c.id == id && c.code == code;
        return n;
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto driver = std::make_unique<OffscreenDriver>(log_);
        driver_ = driver.get();
        WindowManager::Instance().UseDriver(std::move(driver));
    }
    void TearDown() override {
        if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
        dialog_.reset();
    }

    // A visible modeless dialog (8 pt template font) holding `items`.
    RecordingDialog* MakeDialog(std::vector<DialogItemTemplate> items, int cx = 200, int cy = 120) {
        template_ = DialogTemplate{};
        template_.id = 0;
        template_.caption = "Test";
        template_.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
        template_.exStyle = 0;
        template_.x = 10;
        template_.y = 10;
        template_.cx = cx;
        template_.cy = cy;
        template_.fontFace = "MS Sans Serif";
        template_.pointSize = 8;
        template_.items = std::move(items);
        dialog_ = std::make_unique<RecordingDialog>();
        if (!dialog_->CreateIndirect(&template_, nullptr)) return nullptr;
        dialog_->ShowWindow(SW_SHOW);
        return dialog_.get();
    }

    // Press and release the left button at a client point of `wnd`.
    static void ClickAt(CWnd* wnd, int x, int y) {
        wnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        wnd->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    static void Click(CWnd* wnd) {
        CRect r;
        wnd->GetClientRect(&r);
        ClickAt(wnd, r.Width() / 2, r.Height() / 2);
    }
    // The pixel at a client point of `wnd` after painting everything.
    COLORREF PixelOf(CWnd* wnd, int x, int y) {
        WindowManager::Instance().PaintAll();
        POINT p{x, y};
        wnd->MapWindowPoints(dialog_.get(), &p, 1);
        return Surface::ToColorRef(dialog_->GetSurface()->At(p.x, p.y));
    }

    std::ostringstream log_;
    OffscreenDriver* driver_ = nullptr;
    DialogTemplate template_{};
    std::unique_ptr<RecordingDialog> dialog_;
};

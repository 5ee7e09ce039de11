// What the display driver is asked when the user reaches for a window that a
// modal dialog keeps disabled: the dialog comes to the front with the focus.
// Run on the offscreen driver, which records the windows it was asked to
// bring forward.

#include "test_win_fixture.h"

namespace {

enum class Which { None, Owner, Modal, Nested, Other };

// An owner with a modal dialog over it (the state DoModal leaves while it
// runs: the owner disabled, the dialog shown), optionally a modal dialog of
// that dialog, and an unrelated window the user had turned to.
class Scene {
public:
    explicit Scene(bool withNested) {
        dialogTemplate = Dialog(0, {Item(1, "TestPush", "OK", 5, 5, 40, 14, WS_TABSTOP)});
        Open(owner, nullptr);
        Open(other, nullptr);
        OpenModal(modal, owner);
        if (withNested) OpenModal(nested, modal);
        WindowManager& wm = WindowManager::Instance();
        wm.BringToTop(&other);
        wm.SetActive(&other);
    }
    ~Scene() {
        for (CDialog* dialog : {&nested, &modal, &other, &owner})
            if (dialog->GetSafeHwnd()) dialog->DestroyWindow();
    }

    CDialog* Get(Which which) {
        switch (which) {
            case Which::Owner: return &owner;
            case Which::Modal: return &modal;
            case Which::Nested: return &nested;
            case Which::Other: return &other;
            case Which::None: break;
        }
        return nullptr;
    }

    CDialog owner, modal, nested, other;

private:
    void Open(CDialog& dialog, CWnd* ownerWindow) {
        EXPECT_TRUE(dialog.CreateIndirect(&dialogTemplate, ownerWindow));
        dialog.ShowWindow(SW_SHOW);
    }
    void OpenModal(CDialog& dialog, CDialog& ownerDialog) {
        ownerDialog.EnableWindow(FALSE);
        Open(dialog, &ownerDialog);
    }

    DialogTemplate dialogTemplate;
};

class ModalOwnerTest : public WinTest {
protected:
    // The windows brought forward since `from` of the driver's record.
    std::vector<int> RaisedSince(size_t from) const {
        const std::vector<int>& all = offscreen->Raised();
        return std::vector<int>(all.begin() + long(std::min(from, all.size())), all.end());
    }
    static void Activate(CWnd* top) {
        InputEvent event;
        event.type = InputEvent::Type::Activate;
        event.window = top->GetDriverWindow();
        WindowManager::Instance().DeliverInput(event);
    }
};

TEST_F(ModalOwnerTest, ReachingForADisabledOwnerBringsItsModalDialogForward) {
    using Type = InputEvent::Type;
    struct Case {
        const char* what;
        bool withNested;
        Type type;
        int button;
        Which target;
        Which raised;
    } cases[] = {
        {"a press on the disabled owner", false, Type::MouseDown, 0, Which::Owner, Which::Modal},
        {"a right press on the disabled owner", false, Type::MouseDown, 1, Which::Owner, Which::Modal},
        {"the desktop activating the disabled owner", false, Type::Activate, 0, Which::Owner, Which::Modal},
        {"a press on the owner of a chain goes to its end", true, Type::MouseDown, 0, Which::Owner, Which::Nested},
        {"a press on a modal dialog that has one of its own", true, Type::MouseDown, 0, Which::Modal, Which::Nested},
        {"a press on the modal dialog itself", false, Type::MouseDown, 0, Which::Modal, Which::None},
        {"a press on an unrelated window", false, Type::MouseDown, 0, Which::Other, Which::None},
        {"the pointer moving over the owner", false, Type::MouseMove, 0, Which::Owner, Which::None},
        {"a release over the owner", false, Type::MouseUp, 0, Which::Owner, Which::None},
    };
    WindowManager& wm = WindowManager::Instance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene scene(c.withNested);
        const size_t before = offscreen->Raised().size();
        InputEvent event;
        event.type = c.type;
        event.window = scene.Get(c.target)->GetDriverWindow();
        event.button = c.button;
        event.x = event.y = 10;
        wm.DeliverInput(event);

        if (c.raised == Which::None) {
            EXPECT_TRUE(RaisedSince(before).empty());
        } else {
            EXPECT_EQ(RaisedSince(before), std::vector<int>{scene.Get(c.raised)->GetDriverWindow()});
            EXPECT_EQ(wm.Active(), scene.Get(c.raised)) << "the framework's active window follows";
            EXPECT_EQ(wm.TopLevels().back(), scene.Get(c.raised)) << "and its stacking order";
        }
        EXPECT_EQ(static_cast<TestPush*>(scene.owner.GetDlgItem(1))->clicks, 0);
    }
}

TEST_F(ModalOwnerTest, ADisabledWindowThatWaitsForNothingShownStaysBehind) {
    CDialog owner, owned;
    const DialogTemplate dialogTemplate = Dialog(0, {});
    ASSERT_TRUE(owner.CreateIndirect(&dialogTemplate));
    owner.ShowWindow(SW_SHOW);
    owner.EnableWindow(FALSE);
    CWnd tooltip;
    ASSERT_TRUE(tooltip.CreateEx(0, "tooltips_class32", "", WS_POPUP, CRect(0, 0, 50, 20), &owner, 0));
    tooltip.ShowWindow(SW_SHOWNA);
    ASSERT_TRUE(owned.CreateIndirect(&dialogTemplate, &owner));
    struct Case {
        const char* what;
        bool shown, enabled;
    } cases[] = {
        {"its dialog hidden", false, true},
        {"its dialog disabled too", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owned.ShowWindow(c.shown ? SW_SHOW : SW_HIDE);
        owned.EnableWindow(c.enabled);
        Mouse(&owner, InputEvent::Type::MouseDown, 10, 10);
        Activate(&owner);
        EXPECT_TRUE(offscreen->Raised().empty()) << "a visible tooltip it owns is not waited for either";
    }
    owned.DestroyWindow();
    tooltip.DestroyWindow();
    owner.DestroyWindow();
}

TEST_F(ModalOwnerTest, APressWhileAControlOfTheModalDialogHoldsTheMouseStaysWithIt) {
    Scene scene(false);
    CWnd* push = scene.modal.GetDlgItem(1);
    CRect pushRect, modalRect;
    push->GetWindowRect(&pushRect);
    scene.modal.GetWindowRect(&modalRect);
    Mouse(&scene.modal, InputEvent::Type::MouseDown, pushRect.left - modalRect.left + 2,
          pushRect.top - modalRect.top + 2);
    ASSERT_EQ(CWnd::GetCapture(), push);
    Mouse(&scene.owner, InputEvent::Type::MouseDown, 10, 10);
    EXPECT_TRUE(offscreen->Raised().empty());
    EXPECT_EQ(CWnd::GetCapture(), push);
    ReleaseCapture();
}

}  // namespace

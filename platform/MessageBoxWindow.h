#pragma once

// The window of a message box: the text, wrapped to a sensible width, above a
// centred row of buttons (OK; OK and Cancel; Yes and No; ...), built as a
// dialog from a template made to measure. Its buttons end the modal loop with
// their IDOK, IDCANCEL, IDYES... Escape answers Cancel where there is a
// Cancel button, OK in a box that has only OK, and nothing otherwise.

#include <string>
#include <vector>

#include "platform/CDialog.h"
#include "platform/DialogTemplate.h"

constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_RETRYCANCEL = 0x00000005;

class MessageBoxWindow : public CDialog {
public:
    // The widest a line of text may run before it wraps, in pixels at 96
    // dpi (scaled with the display like the rest of the box).
    static constexpr int kMaxTextWidth = 400;
    // The tallest the text may be, in pixels at 96 dpi.
    static constexpr int kMaxTextHeight = 700;

    MessageBoxWindow(const std::string& text, const std::string& caption, UINT type);
    ~MessageBoxWindow() override;

    // The message box service's factory: a created, hidden box owned by
    // `owner`; the service destroys and deletes it.
    static CWnd* Make(CWnd* owner, const std::string& text, const std::string& caption, UINT type);

    // The buttons of a box type, left to right, by command identifier.
    static std::vector<int> ButtonsOf(UINT type);
    // The identifier of the icon control, present with an MB_ICON* type.
    static constexpr int kIconId = 0x7FF0;
    const DialogTemplate& Template() const { return m_template; }

protected:
    void OnCancel() override;
    void OnOK() override;
    void OnButton(UINT id);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item);

    DECLARE_MESSAGE_MAP()

private:
    void BuildTemplate(const std::string& text, const std::string& caption);
    void DrawIcon(CDC& dc, const RECT& rect) const;

    UINT m_type;
    UINT m_icon;
    DialogTemplate m_template;
};

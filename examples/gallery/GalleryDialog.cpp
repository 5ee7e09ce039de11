#include "examples/gallery/GalleryDialog.h"

#include <algorithm>
#include <string>

#include "platform/CButton.h"
#include "platform/CDC.h"
#include "platform/CEdit.h"
#include "platform/CMenu.h"
#include "platform/CTabCtrl.h"
#include "platform/SysColors.h"

namespace {

enum : int {
    IDC_PUSH = 101, IDC_PUSH_DISABLED, IDC_OWNER_DRAWN,
    IDC_CHECK_OFF = 111, IDC_CHECK_ON, IDC_CHECK_MIXED, IDC_CHECK_DISABLED,
    IDC_RADIO_FIRST = 121, IDC_RADIO_SECOND, IDC_RADIO_DISABLED,
    IDC_EDIT = 141, IDC_EDIT_DISABLED, IDC_EDIT_READONLY,
    IDC_TABS = 151,
    IDC_MENU = 161, IDC_MESSAGE, IDC_TOOLTIP,
    IDC_CHOICE = 171,
};
enum : UINT { ID_OPEN = 201, ID_GRAYED, ID_CHECKED, ID_ABOUT, ID_DEEP };
constexpr UINT kTabsBitmap = 1003;
constexpr UINT kPictureSunken = 1006;
constexpr UINT kPictureClientEdge = 1008;

DialogItemTemplate Item(int id, const char* kind, const char* text, int x, int y, int cx, int cy,
                        DWORD style, DWORD exStyle = 0, UINT resource = 0) {
    DialogItemTemplate item{id, kind, text, x, y, cx, cy, style};
    item.exStyle = exStyle;
    item.resourceId = resource;
    return item;
}

DialogTemplate MakeTemplate() {
    DialogTemplate t{};
    t.id = 0;
    t.caption = "Controls Gallery";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.exStyle = 0;
    t.x = 0;
    t.y = 0;
    t.cx = 360;
    t.cy = 232;
    t.fontFace = "MS Sans Serif";
    t.pointSize = 8;
    t.items = {
        Item(IDC_STATIC, "Button", "Push buttons", 7, 4, 120, 46, BS_GROUPBOX),
        Item(IDC_PUSH, "Button", "&Push", 14, 15, 50, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP),
        Item(IDC_OWNER_DRAWN, "Button", "Owner", 70, 15, 50, 14, BS_OWNERDRAW | WS_TABSTOP),
        Item(IDC_PUSH_DISABLED, "Button", "Disabled", 14, 32, 50, 14, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED),
        Item(IDC_STATIC, "Button", "Check boxes", 7, 54, 120, 58, BS_GROUPBOX),
        Item(IDC_CHECK_OFF, "Button", "Unchecked", 14, 66, 105, 10, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP),
        Item(IDC_CHECK_ON, "Button", "Checked", 14, 79, 105, 10, BS_AUTOCHECKBOX | WS_TABSTOP),
        Item(IDC_CHECK_MIXED, "Button", "Indeterminate", 14, 92, 60, 10, BS_AUTO3STATE | WS_TABSTOP),
        Item(IDC_CHECK_DISABLED, "Button", "Disabled", 76, 92, 45, 10, BS_AUTOCHECKBOX | WS_DISABLED),
        Item(IDC_STATIC, "Button", "Radio buttons", 7, 116, 120, 46, BS_GROUPBOX),
        Item(IDC_RADIO_FIRST, "Button", "First", 14, 128, 50, 10, BS_AUTORADIOBUTTON | WS_GROUP),
        Item(IDC_RADIO_SECOND, "Button", "Second", 14, 143, 50, 10, BS_AUTORADIOBUTTON),
        Item(IDC_RADIO_DISABLED, "Button", "Disabled", 70, 128, 50, 10, BS_AUTORADIOBUTTON | WS_DISABLED),
        Item(IDC_STATIC, "Static", "Left aligned", 134, 6, 90, 8, SS_LEFT | WS_GROUP),
        Item(IDC_STATIC, "Static", "Centred", 134, 16, 90, 8, SS_CENTER),
        Item(IDC_STATIC, "Static", "Right aligned", 134, 26, 90, 8, SS_RIGHT),
        Item(IDC_STATIC, "Static", "Word-wrapped text that runs over two lines.", 134, 37, 90, 17, SS_LEFT),
        Item(IDC_STATIC, "Static", "Disabled label", 134, 56, 90, 8, SS_LEFT | WS_DISABLED),
        Item(IDC_STATIC, "Static", "", 134, 68, 90, 1, SS_GRAYRECT | SS_SUNKEN),
        Item(IDC_STATIC, "Static", "", 134, 73, 90, 1, SS_ETCHEDHORZ),
        Item(IDC_STATIC, "Static", "", 134, 79, 53, 26, SS_BITMAP | SS_SUNKEN, 0, kPictureSunken),
        Item(IDC_STATIC, "Static", "", 190, 79, 53, 26, SS_BITMAP, WS_EX_CLIENTEDGE, kPictureClientEdge),
        Item(IDC_STATIC, "Static", "", 134, 110, 40, 22, SS_BLACKFRAME),
        Item(IDC_STATIC, "Static", "Frame", 178, 117, 40, 8, SS_LEFT),
        Item(IDC_EDIT, "Edit", "", 134, 139, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
        Item(IDC_EDIT_DISABLED, "Edit", "", 134, 155, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | WS_DISABLED),
        Item(IDC_EDIT_READONLY, "Edit", "", 134, 171, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY),
        Item(IDC_TABS, "SysTabControl32", "Tab1", 248, 6, 105, 60, 0),
        Item(IDC_MENU, "Button", "&Menu...", 248, 72, 60, 14, BS_PUSHBUTTON | WS_TABSTOP),
        Item(IDC_MESSAGE, "Button", "M&essage...", 248, 90, 60, 14, BS_PUSHBUTTON | WS_TABSTOP),
        Item(IDC_TOOLTIP, "Button", "&Tooltip", 248, 108, 60, 14, BS_PUSHBUTTON | WS_TABSTOP),
        Item(IDC_CHOICE, "Static", "No choice yet", 248, 128, 105, 17, SS_LEFT),
        Item(IDOK, "Button", "Close", 249, 211, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP),
        Item(IDCANCEL, "Button", "Cancel", 303, 211, 50, 14, BS_PUSHBUTTON | WS_TABSTOP),
    };
    return t;
}

}  // namespace

BEGIN_MESSAGE_MAP(GalleryDialog, CDialog)
    ON_WM_DRAWITEM()
    ON_BN_CLICKED(IDC_MENU, OnMenuButton)
    ON_BN_CLICKED(IDC_MESSAGE, OnMessageButton)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TABS, OnTabChanged)
END_MESSAGE_MAP()

GalleryDialog::GalleryDialog() { InitModalIndirect(&Template()); }

GalleryDialog::~GalleryDialog() = default;

const DialogTemplate& GalleryDialog::Template() {
    static const DialogTemplate t = MakeTemplate();
    return t;
}

BOOL GalleryDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_CHECK_ON, BST_CHECKED);
    CheckDlgButton(IDC_CHECK_MIXED, BST_INDETERMINATE);
    CheckDlgButton(IDC_CHECK_DISABLED, BST_CHECKED);
    CheckDlgButton(IDC_RADIO_SECOND, BST_CHECKED);
    SetDlgItemText(IDC_EDIT, "Editable text, selected");
    SetDlgItemText(IDC_EDIT_DISABLED, "Disabled edit");
    SetDlgItemText(IDC_EDIT_READONLY, "Read-only edit");

    if (auto* tabs = dynamic_cast<CTabCtrl*>(GetDlgItem(IDC_TABS))) {
        if (m_tabImages.Create(kTabsBitmap, 16, 1, RGB(255, 255, 255))) tabs->SetImageList(&m_tabImages);
        tabs->InsertItem(0, "General", 0);
        tabs->InsertItem(1, "Advanced", 2);
    }
    if (m_toolTip.Create(this)) {
        m_toolTip.SetMaxTipWidth(400);
        if (CWnd* button = GetDlgItem(IDC_TOOLTIP)) m_toolTip.AddTool(button, "A tooltip over a push button");
    }
    // The first edit starts focused with part of its text selected.
    if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(IDC_EDIT))) {
        GotoDlgCtrl(edit);
        edit->SetSel(15, 23);
    }
    return FALSE;
}

BOOL GalleryDialog::PreTranslateMessage(MSG* pMsg) {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void GalleryDialog::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item) {
    if (nIDCtl == IDC_OWNER_DRAWN && item->CtlType == ODT_BUTTON) {
        DrawOwnerButton(*item);
        return;
    }
    CDialog::OnDrawItem(nIDCtl, item);
}

void GalleryDialog::DrawOwnerButton(const DRAWITEMSTRUCT& item) {
    CDC* dc = item.hDC;
    CRect r = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    dc->FillSolidRect(r, RGB(0, 84, 147));
    dc->Draw3dRect(r, pressed ? RGB(0, 40, 80) : RGB(120, 170, 220), pressed ? RGB(120, 170, 220) : RGB(0, 40, 80));
    CRect text = r;
    if (pressed) text.OffsetRect(1, 1);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(255, 255, 255));
    std::string caption;
    item.hwndItem->GetWindowText(caption);
    dc->DrawText(caption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        CRect focus = r;
        focus.DeflateRect(3, 3);
        dc->DrawFocusRect(&focus);
    }
}

void GalleryDialog::OnMenuButton() {
    CWnd* button = GetDlgItem(IDC_MENU);
    CMenu menu;
    if (!button || !menu.CreatePopupMenu()) return;
    menu.AppendMenu(MF_STRING, ID_OPEN, "&Open");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, ID_GRAYED, "&Grayed entry");
    menu.AppendMenu(MF_STRING | MF_CHECKED, ID_CHECKED, "&Checked entry");
    CMenu more;
    if (more.CreatePopupMenu()) {
        more.AppendMenu(MF_STRING, ID_DEEP, "&Deeper entry");
        menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(more.Detach()), "&More");
    }
    menu.AppendMenu(MF_STRING, ID_ABOUT, "&About\tF1");
    CRect r;
    button->GetWindowRect(&r);
    UINT chosen = UINT(menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, r.left, r.bottom, this));
    std::string text;
    if (chosen == 0) {
        ShowChoice("Menu dismissed");
    } else {
        menu.GetMenuString(chosen, text, MF_BYCOMMAND);
        // The label without its accelerator and mnemonic marks.
        text = text.substr(0, text.find('\t'));
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        ShowChoice(("Chose " + text).c_str());
    }
}

void GalleryDialog::OnMessageButton() {
    MessageBox("The gallery shows every stock control of the window framework.", "Controls Gallery", MB_OK | MB_ICONINFORMATION);
    ShowChoice("Message box closed");
}

void GalleryDialog::OnTabChanged(NMHDR*, LRESULT* result) {
    if (auto* tabs = dynamic_cast<CTabCtrl*>(GetDlgItem(IDC_TABS)))
        ShowChoice(tabs->GetCurSel() == 0 ? "Tab General" : "Tab Advanced");
    *result = 0;
}

void GalleryDialog::ShowChoice(const char* text) { SetDlgItemText(IDC_CHOICE, text); }

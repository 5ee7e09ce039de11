// Dialog-item helpers of CWnd: items by identifier, check boxes and radio
// groups, keyboard order, and data exchange.

#include "platform/CDataExchange.h"
#include "platform/CWnd.h"

void CWnd::SetDlgItemText(int nID, const char* lpszString) {
    if (CWnd* item = GetDlgItem(nID)) item->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, std::string& text) const {
    CWnd* item = GetDlgItem(nID);
    text = item ? item->GetWindowText() : std::string();
    return int(text.size());
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    if (CWnd* item = GetDlgItem(nIDButton)) item->SendMessage(BM_SETCHECK, nCheck);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    CWnd* item = GetDlgItem(nIDButton);
    return item ? UINT(item->SendMessage(BM_GETCHECK)) : 0;
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        CheckDlgButton(id, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
}

// ---- keyboard order ----

void CWnd::AddNavigationItems(std::vector<CWnd*>& items) const {
    for (CWnd* child : m_children) {
        // Child dialogs (tab pages) lend their controls to the order.
        if ((child->m_exStyle & WS_EX_CONTROLPARENT) && !child->m_children.empty()) {
            if ((child->m_style & WS_VISIBLE) && !(child->m_style & WS_DISABLED))
                child->AddNavigationItems(items);
            continue;
        }
        items.push_back(child);
    }
}

// Visible and enabled up to `root`, whose own state does not matter: a
// dialog gives the focus to its first control before it is shown.
static bool CanTakeFocus(const CWnd* wnd, const CWnd* root) {
    for (const CWnd* w = wnd; w && w != root; w = w->GetParent()) {
        if (!(w->GetStyle() & WS_VISIBLE) || (w->GetStyle() & WS_DISABLED)) return false;
    }
    return true;
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
    std::vector<CWnd*> items;
    AddNavigationItems(items);
    const int count = int(items.size());
    if (count == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (items[size_t(i)] == pWndCtl) start = i;
    const int step = bPrevious ? -1 : 1;
    if (start < 0) start = bPrevious ? 0 : count - 1;
    for (int n = 1; n <= count; ++n) {
        CWnd* candidate = items[size_t(((start + step * n) % count + count) % count)];
        if ((candidate->m_style & WS_TABSTOP) && CanTakeFocus(candidate, this)) return candidate;
    }
    return nullptr;
}

CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
    if (!pWndCtl || !pWndCtl->m_parent) return nullptr;
    const std::vector<CWnd*>& siblings = pWndCtl->m_parent->m_children;
    const int count = int(siblings.size());
    int index = -1;
    for (int i = 0; i < count; ++i)
        if (siblings[size_t(i)] == pWndCtl) index = i;
    if (index < 0) return nullptr;
    // The group runs from the nearest WS_GROUP at or before the control to
    // the next WS_GROUP after it.
    int first = index;
    while (first > 0 && !(siblings[size_t(first)]->m_style & WS_GROUP)) --first;
    int last = index + 1;
    while (last < count && !(siblings[size_t(last)]->m_style & WS_GROUP)) ++last;
    const int size = last - first;
    const int step = bPrevious ? -1 : 1;
    for (int n = 1; n < size; ++n) {
        const int at = first + ((index - first + step * n) % size + size) % size;
        CWnd* candidate = siblings[size_t(at)];
        if (!CanTakeFocus(candidate, pWndCtl->m_parent)) continue;
        // Labels and pictures never take the focus.
        if (candidate->SendMessage(WM_GETDLGCODE) & DLGC_STATIC) continue;
        return candidate;
    }
    return pWndCtl;
}

// ---- data exchange ----

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

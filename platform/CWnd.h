#pragma once

// A window: an object with an identifier, text, style bits, a parent and
// children, a rectangle, and a message map. Only top-level windows (dialogs,
// message boxes, popup menus, tooltips) have a driver window and a pixel
// surface; child controls paint into their top-level window's surface.
//
// Messages: SendMessage dispatches at once through WindowProc, which looks the
// message up in the class's message map and falls back to DefWindowProc (the
// behaviour of the window's kind: stock controls override it). Default() runs
// DefWindowProc for the message being handled, which is what a handler calls
// for the ordinary handling. PostMessage queues for the message loop.
//
// Geometry: a window's client area is its whole rectangle (controls draw
// their own borders; the frame and caption of top-level windows belong to the
// driver, and the offscreen snapshot draws them). Children are kept in
// z-order, topmost first: dialog controls in template order, windows created
// later on top. Painting goes from the back to the front.

#include <memory>
#include <string>
#include <vector>

#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CSize.h"
#include "platform/Icon.h"
#include "platform/MessageMap.h"
#include "platform/Surface.h"
#include "platform/WinUser.h"

class CDC;
class CFont;
class CDataExchange;
class CMenu;
struct HMENU__;
typedef HMENU__* HMENU;

typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

class CWnd {
public:
    CWnd();
    // Destroys the window if it still exists.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window's handle is the object itself while the window exists.
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd) { return hWnd; }
    // Null unless hWnd names a window that exists now.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static bool IsWindow(HWND hWnd) { return FromHandlePermanent(hWnd) != nullptr; }

    // ---- creation and destruction ----
    // A child (WS_CHILD) is placed at `rect` in its parent's client area; a
    // top-level window at `rect` in screen coordinates, owned by pParentWnd.
    // The class name names the window kind; top-level windows of kind
    // "#32768" are popup menus and "tooltips_class32" tooltips to the driver.
    virtual BOOL Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                  DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                  void* lpParam = nullptr);
    // Sends WM_DESTROY to the window and then its children, releases the
    // driver window, and calls PostNcDestroy.
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Last call after destruction; windows the framework created for a
    // template delete themselves here.
    virtual void PostNcDestroy();

    // Binds this (not yet created) object to an existing child window: the
    // object takes the child's place, identity, geometry, style, text, font
    // and focus, the class state is handed over with TakeOverState, and the
    // old object is released. PreSubclassWindow runs last.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    BOOL SubclassWindow(HWND hWnd);
    virtual void PreSubclassWindow();
    // Copies the state of the window kind (check state, edit text model,
    // bitmaps...) from the object being replaced; stock controls override it.
    virtual void TakeOverState(CWnd& previous);

    // ---- identity and attributes ----
    int GetDlgCtrlID() const { return int(m_nID); }
    int SetDlgCtrlID(int nID);
    DWORD GetStyle() const { return m_style; }
    DWORD GetExStyle() const { return m_exStyle; }
    // Changes style bits; visibility and enabling go through ShowWindow and
    // EnableWindow. SWP_FRAMECHANGED in nFlags repaints the window.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LONG GetWindowLong(int nIndex) const;
    LONG SetWindowLong(int nIndex, LONG value);
    // The window kind ("Button", "Static", "Edit", "SysTabControl32", "#32770"
    // for dialogs...), as given at creation.
    const std::string& GetWindowClassName() const { return m_className; }

    void SetWindowText(const char* lpszString);
    void SetWindowText(const std::string& text) { SetWindowText(text.c_str()); }
    void GetWindowText(std::string& text) const;
    std::string GetWindowText() const;
    int GetWindowText(char* buffer, int maxCount) const;
    int GetWindowTextLength() const;

    // The font the window draws its text with (WM_SETFONT/WM_GETFONT); not owned.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;

    // ---- family ----
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwner) { m_owner = pOwner; }
    CWnd* GetTopLevelParent() const;
    bool IsTopLevel() const { return m_parent == nullptr; }
    // Children in z-order, topmost first (template order for dialog controls).
    const std::vector<CWnd*>& GetChildren() const { return m_children; }
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetTopWindow() const { return GetWindow(GW_CHILD); }
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return GetWindow(nFlag); }
    // The direct child with this identifier.
    CWnd* GetDlgItem(int nID) const;
    // The first window of the subtree with this identifier, breadth-first.
    CWnd* FindDescendant(int nID) const;
    BOOL IsChild(const CWnd* pWnd) const;
    // The topmost visible, enabled, non-transparent child under a client point;
    // this window when none is.
    CWnd* ChildWindowFromPoint(POINT clientPoint) const;
    // The deepest window of any visible top-level window under a screen point.
    static CWnd* WindowFromPoint(POINT screenPoint);

    // ---- geometry ----
    void GetClientRect(LPRECT lpRect) const;
    // In screen coordinates.
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(const CWnd* pwndTo, LPRECT lpRect) const;
    void MapWindowPoints(const CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    // Children: parent client coordinates; top-level windows: screen.
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    // pWndInsertAfter: &wndTop, &wndBottom or a sibling; ignored with SWP_NOZORDER.
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    static const CWnd wndTop;
    static const CWnd wndBottom;

    // ---- visibility and state ----
    BOOL ShowWindow(int nCmdShow);
    // Visible itself and all its ancestors.
    BOOL IsWindowVisible() const;
    // Returns whether the window was disabled before.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const { return (m_style & WS_DISABLED) == 0; }

    // ---- painting ----
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    // Paints now whatever of this window and its children is invalid.
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    // Used by CPaintDC: the context draws into the top-level surface, clipped
    // to the update rectangle, which is validated.
    CDC* BeginPaint(PAINTSTRUCT* lpPaint);
    void EndPaint(const PAINTSTRUCT* lpPaint);
    // The same on a context the caller owns (CPaintDC).
    void BeginPaintOn(CDC& dc, PAINTSTRUCT* lpPaint);
    void EndPaintOn(CDC& dc, const PAINTSTRUCT* lpPaint);
    // A context over the whole client area; release it with ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // Prepares `dc` to draw on this window's client area (clipped to it and
    // to its ancestors). False when the window has no surface to draw on.
    bool AttachClientDC(CDC& dc) const;
    // Records that pixels of the client area changed outside of painting, so
    // that they reach the screen.
    void MarkPixelsChanged(const CRect& clientRect);
    // The driver window of this window's top-level window (0 before creation).
    int GetDriverWindow() const { return GetTopLevelParent()->m_driverWindow; }
    // The pixels of a top-level window (null for children and before creation).
    Surface* GetSurface() { return m_surface.get(); }
    const Surface* GetSurface() const { return m_surface.get(); }

    // ---- messages ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the message maps; false when no entry handled it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The behaviour of the window kind for messages no map entry handled.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc for the message being handled now.
    LRESULT Default();
    const MSG* GetCurrentMessage() const;

    // Runs before a queued input message is dispatched, for the target window
    // and then each ancestor up to its top-level window; TRUE swallows it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of the target and its ancestors up to
    // and including hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Commands and notifications from children: first offered to the child
    // (reflection), then to this window's map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Looks a command (WM_COMMAND code and id) up in the map.
    BOOL OnCmdMsg(UINT nID, UINT nCode, LRESULT* pResult = nullptr);
    // A control's own handling of a message its parent received about it;
    // by default the reflected entries of its map.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers the message being handled by this (parent) window to hWndChild.
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);

    // ---- focus, capture, activation ----
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    static CWnd* GetActiveWindow();
    CWnd* SetActiveWindow();

    // ---- timers: WM_TIMER, or lpfnTimer when given ----
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- modal loops ----
    // Runs messages until EndModalLoop is called for this window or it is
    // destroyed; returns the code given to EndModalLoop.
    int RunModalLoop(DWORD dwFlags = 0);
    virtual void EndModalLoop(int nResult);
    bool IsInModalLoop() const;

    // ---- dialog items (on any parent window) ----
    void SetDlgItemText(int nID, const char* lpszString);
    int GetDlgItemText(int nID, std::string& text) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    // Keyboard order over the controls of this window (entering child windows
    // with WS_EX_CONTROLPARENT): the next or previous visible, enabled
    // WS_TABSTOP control after pWndCtl, wrapping around.
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    // The next or previous visible, enabled control of pWndCtl's group
    // (groups start at WS_GROUP), wrapping around within the group.
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;

    // ---- data exchange ----
    virtual void DoDataExchange(CDataExchange* pDX);
    // TRUE: controls -> fields; FALSE: fields -> controls. FALSE when a field
    // could not take its control's text (the user has been told).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // A message box owned by this window's top-level window.
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- hooks for scripted runs ----
    enum class ScriptItem { Tab, MenuCommand };
    // A control holding items answers where item `value` (tab index or menu
    // command) is, in its client coordinates; false when it holds none. Tab
    // controls answer for tabs, popup menu windows for commands.
    virtual bool LocateScriptItem(ScriptItem kind, int value, POINT& clientPoint) const;

protected:
    // ---- message handlers: each does the ordinary handling (Default) ----
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnMove(int x, int y);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnEnable(BOOL bEnable);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnCancelMode();
    void OnCaptureChanged(CWnd* pWnd);
    void OnSysColorChange();
    UINT OnGetDlgCode();
    LRESULT OnNcHitTest(CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnMouseHover(UINT nFlags, CPoint point);
    // Reflects to the control (its DrawItem / MeasureItem / CtlColor).
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Windows created by the framework for template items are owned by it.
    void SetAutoDelete(bool autoDelete) { m_autoDelete = autoDelete; }

private:
    friend class WindowManager;
    friend class CDialog;

    bool CreateWindowInternal(const CREATESTRUCT& cs, bool atBottomOfZOrder);
    void Unlink();
    CPoint ClientOriginInTopLevel() const;
    CRect VisibleRectInTopLevel() const;  // client rect clipped by ancestors, top-level pixels
    void InvalidateTree(const CRect& clientRect, bool erase, bool children);
    void InvalidateSiblingsAbove(const CRect& clientRect);
    void PaintTree();
    // Looks up an entry; -1 none, 0 declined ("_EX" entries), 1 handled.
    int FindEntry(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                  LRESULT* pResult);
    void TakeOverPlaceOf(CWnd& previous);
    void AddNavigationItems(std::vector<CWnd*>& items) const;
    CWnd* DeepHit(POINT clientPoint);
    LRESULT DefaultColour(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultSetCursor(WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nID = 0;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::string m_className;
    std::string m_text;
    CFont* m_font = nullptr;
    CWnd* m_parent = nullptr;
    CWnd* m_owner = nullptr;
    std::vector<CWnd*> m_children;
    CRect m_rect;  // children: in the parent's client area; top-level: screen
    CRect m_updateRect;  // invalid part of the client area
    bool m_eraseNeeded = false;
    bool m_paintBegun = false;  // the paint handler called BeginPaint
    bool m_autoDelete = false;
    bool m_destroying = false;
    int m_driverWindow = 0;  // top-level windows: the driver's window
    std::unique_ptr<Surface> m_surface;  // top-level windows
    CRect m_presentDirty;  // top-level windows: pixels changed since the last present
};

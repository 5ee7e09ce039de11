#pragma once

// Message maps: a static table per window class binding messages, commands
// and notifications to member handlers, chained to the base class's table.
//
// Each entry holds a captureless lambda that casts the window to the class
// that declared the map and calls the handler with the message's unpacked
// parameters, so a handler of the wrong signature fails to compile.
//
//   class CMyDlg : public CDialog {
//       ...
//       DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(1002, OnPrevious)
//   END_MESSAGE_MAP()

#include "platform/CPoint.h"
#include "platform/WinUser.h"

// Calls the handler; answers whether the entry handled the message (only the
// "_EX" reflection entries may decline) and stores the message result.
typedef bool (*AFX_MSG_THUNK)(CWnd* window, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // message; WM_COMMAND/WM_NOTIFY (+ WM_REFLECT_BASE) for commands
    UINT nCode;     // notification code of command and notification entries
    UINT nID;       // first control or command identifier
    UINT nLastID;   // last identifier of the range
    AFX_MSG_THUNK pfn;  // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The parameters of a colour request handed to WM_CTLCOLOR entries.
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

#define DECLARE_MESSAGE_MAP()                             \
protected:                                                \
    static const AFX_MSGMAP* GetThisMessageMap();         \
    const AFX_MSGMAP* GetMessageMap() const override;     \
                                                          \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                           \
        typedef theClass ThisClass;                                             \
        typedef baseClass TheBaseClass;                                         \
        static_assert(sizeof(ThisClass) > 0, "complete class");                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                       \
            {0, 0, 0, 0, nullptr}};                                             \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, \
                                              &_messageEntries[0]};             \
        return &messageMap;                                                     \
    }

// ---- building blocks ----
#define AFX_MSG_ENTRY(msg, body)                                                        \
    {(msg), 0, 0, 0,                                                                    \
     [](CWnd* w_, WPARAM wParam, LPARAM lParam, LRESULT* r_) -> bool {                  \
         ThisClass* self_ = static_cast<ThisClass*>(w_);                                \
         (void)self_; (void)wParam; (void)lParam; (void)r_;                             \
         body;                                                                          \
         return true;                                                                   \
     }},

#define AFX_MOUSE_POINT CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))

// ---- window messages ----
#define ON_WM_CREATE() \
    AFX_MSG_ENTRY(WM_CREATE, *r_ = self_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, self_->OnDestroy())
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, self_->OnClose())
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, self_->OnPaint())
#define ON_WM_ERASEBKGND() \
    AFX_MSG_ENTRY(WM_ERASEBKGND, *r_ = self_->OnEraseBkgnd(reinterpret_cast<CDC*>(wParam)))
#define ON_WM_SIZE() \
    AFX_MSG_ENTRY(WM_SIZE, self_->OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_MOVE() \
    AFX_MSG_ENTRY(WM_MOVE, self_->OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))
#define ON_WM_SHOWWINDOW() \
    AFX_MSG_ENTRY(WM_SHOWWINDOW, self_->OnShowWindow(BOOL(wParam), UINT(lParam)))
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, self_->OnEnable(BOOL(wParam)))
#define ON_WM_ACTIVATE()                                                               \
    AFX_MSG_ENTRY(WM_ACTIVATE, self_->OnActivate(LOWORD(wParam), reinterpret_cast<CWnd*>(lParam), \
                                                 BOOL(HIWORD(wParam))))
#define ON_WM_SETFOCUS() \
    AFX_MSG_ENTRY(WM_SETFOCUS, self_->OnSetFocus(reinterpret_cast<CWnd*>(wParam)))
#define ON_WM_KILLFOCUS() \
    AFX_MSG_ENTRY(WM_KILLFOCUS, self_->OnKillFocus(reinterpret_cast<CWnd*>(wParam)))
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, self_->OnCancelMode())
#define ON_WM_CAPTURECHANGED() \
    AFX_MSG_ENTRY(WM_CAPTURECHANGED, self_->OnCaptureChanged(reinterpret_cast<CWnd*>(lParam)))
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, self_->OnSysColorChange())
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, *r_ = LRESULT(self_->OnGetDlgCode()))
#define ON_WM_NCHITTEST() \
    AFX_MSG_ENTRY(WM_NCHITTEST, *r_ = self_->OnNcHitTest(AFX_MOUSE_POINT))
#define ON_WM_SETCURSOR()                                                               \
    AFX_MSG_ENTRY(WM_SETCURSOR, *r_ = self_->OnSetCursor(reinterpret_cast<CWnd*>(wParam), \
                                                          LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, self_->OnTimer(UINT_PTR(wParam)))
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, self_->OnSysCommand(UINT(wParam), lParam))
#define ON_WM_QUERYDRAGICON() \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, *r_ = reinterpret_cast<LRESULT>(self_->OnQueryDragIcon()))

// Keyboard: nRepCnt is the low word of lParam, nFlags the high word.
#define ON_WM_KEYDOWN() \
    AFX_MSG_ENTRY(WM_KEYDOWN, self_->OnKeyDown(UINT(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_KEYUP() \
    AFX_MSG_ENTRY(WM_KEYUP, self_->OnKeyUp(UINT(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CHAR() \
    AFX_MSG_ENTRY(WM_CHAR, self_->OnChar(UINT(wParam), LOWORD(lParam), HIWORD(lParam)))

// Mouse: client coordinates of the window that receives the message.
#define ON_WM_MOUSEMOVE() \
    AFX_MSG_ENTRY(WM_MOUSEMOVE, self_->OnMouseMove(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_LBUTTONDOWN() \
    AFX_MSG_ENTRY(WM_LBUTTONDOWN, self_->OnLButtonDown(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_LBUTTONUP() \
    AFX_MSG_ENTRY(WM_LBUTTONUP, self_->OnLButtonUp(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_LBUTTONDBLCLK() \
    AFX_MSG_ENTRY(WM_LBUTTONDBLCLK, self_->OnLButtonDblClk(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_RBUTTONDOWN() \
    AFX_MSG_ENTRY(WM_RBUTTONDOWN, self_->OnRButtonDown(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_RBUTTONUP() \
    AFX_MSG_ENTRY(WM_RBUTTONUP, self_->OnRButtonUp(UINT(wParam), AFX_MOUSE_POINT))
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, self_->OnMouseLeave())
#define ON_WM_MOUSEHOVER() \
    AFX_MSG_ENTRY(WM_MOUSEHOVER, self_->OnMouseHover(UINT(wParam), AFX_MOUSE_POINT))

// Owner draw, measuring, menus and colours.
#define ON_WM_DRAWITEM() \
    AFX_MSG_ENTRY(WM_DRAWITEM, self_->OnDrawItem(int(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define ON_WM_MEASUREITEM()                                         \
    AFX_MSG_ENTRY(WM_MEASUREITEM,                                   \
                  self_->OnMeasureItem(int(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)))
// Needs platform/CMenu.h where it is used.
#define ON_WM_MENUCHAR()                                                               \
    AFX_MSG_ENTRY(WM_MENUCHAR,                                                         \
                  *r_ = self_->OnMenuChar(LOWORD(wParam), HIWORD(wParam),              \
                                          CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lParam))))
// One entry for every WM_CTLCOLOR* request; lParam points to an AFX_CTLCOLOR.
#define ON_WM_CTLCOLOR()                                                                \
    AFX_MSG_ENTRY(WM_CTLCOLOR, {                                                        \
        const AFX_CTLCOLOR* c_ = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);         \
        *r_ = reinterpret_cast<LRESULT>(self_->OnCtlColor(c_->hDC, c_->hWnd, c_->nCtlType)); \
    })

// ---- reflected messages: the control handles what its parent was sent ----
#define ON_WM_CTLCOLOR_REFLECT()                                                        \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, {                                      \
        const AFX_CTLCOLOR* c_ = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);         \
        *r_ = reinterpret_cast<LRESULT>(self_->CtlColor(c_->hDC, c_->nCtlType));        \
    })
#define ON_WM_DRAWITEM_REFLECT()                   \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM,   \
                  self_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)))
#define ON_WM_MEASUREITEM_REFLECT()                 \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, \
                  self_->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)))

// void fn(): the parent's WM_COMMAND with this code, handled by the control
// alone.
#define ON_CONTROL_REFLECT(code, fn)                                            \
    {WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0xFFFF,                       \
     [](CWnd* w_, WPARAM, LPARAM, LRESULT*) -> bool {                           \
         static_cast<ThisClass*>(w_)->fn();                                     \
         return true;                                                           \
     }},
// BOOL fn(): FALSE lets the parent handle the command as well.
#define ON_CONTROL_REFLECT_EX(code, fn)                                         \
    {WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0xFFFF,                       \
     [](CWnd* w_, WPARAM, LPARAM, LRESULT*) -> bool {                           \
         return static_cast<ThisClass*>(w_)->fn() != FALSE;                     \
     }},
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, fn)                                                \
    {WM_REFLECT_BASE + WM_NOTIFY, UINT(code), 0, 0xFFFF,                           \
     [](CWnd* w_, WPARAM, LPARAM lParam, LRESULT* r_) -> bool {                    \
         static_cast<ThisClass*>(w_)->fn(reinterpret_cast<NMHDR*>(lParam), r_);    \
         return true;                                                              \
     }},
// BOOL fn(NMHDR*, LRESULT*): FALSE lets the parent handle it as well.
#define ON_NOTIFY_REFLECT_EX(code, fn)                                                  \
    {WM_REFLECT_BASE + WM_NOTIFY, UINT(code), 0, 0xFFFF,                                \
     [](CWnd* w_, WPARAM, LPARAM lParam, LRESULT* r_) -> bool {                         \
         return static_cast<ThisClass*>(w_)->fn(reinterpret_cast<NMHDR*>(lParam), r_) != FALSE; \
     }},

// ---- commands and notifications from controls and menus ----
// void fn()
#define ON_CONTROL(code, id, fn)                                       \
    {WM_COMMAND, UINT(code), UINT(id), UINT(id),                       \
     [](CWnd* w_, WPARAM, LPARAM, LRESULT*) -> bool {                  \
         static_cast<ThisClass*>(w_)->fn();                            \
         return true;                                                  \
     }},
#define ON_COMMAND(id, fn) ON_CONTROL(0, id, fn)
// void fn(UINT id)
#define ON_COMMAND_RANGE(idFirst, idLast, fn)                          \
    {WM_COMMAND, 0, UINT(idFirst), UINT(idLast),                       \
     [](CWnd* w_, WPARAM wParam, LPARAM, LRESULT*) -> bool {           \
         static_cast<ThisClass*>(w_)->fn(LOWORD(wParam));              \
         return true;                                                  \
     }},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_BN_SETFOCUS(id, fn) ON_CONTROL(BN_SETFOCUS, id, fn)
#define ON_BN_KILLFOCUS(id, fn) ON_CONTROL(BN_KILLFOCUS, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, fn)                                                    \
    {WM_NOTIFY, UINT(code), UINT(id), UINT(id),                                    \
     [](CWnd* w_, WPARAM, LPARAM lParam, LRESULT* r_) -> bool {                    \
         static_cast<ThisClass*>(w_)->fn(reinterpret_cast<NMHDR*>(lParam), r_);    \
         return true;                                                              \
     }},

// LRESULT fn(WPARAM, LPARAM), for any message.
#define ON_MESSAGE(msg, fn)                                                        \
    {UINT(msg), 0, 0, 0,                                                           \
     [](CWnd* w_, WPARAM wParam, LPARAM lParam, LRESULT* r_) -> bool {             \
         *r_ = static_cast<ThisClass*>(w_)->fn(wParam, lParam);                    \
         return true;                                                              \
     }},

#pragma once

// The stock static control: text (left, centred, right, wrapped or not),
// filled rectangles and frames, etched lines, and pictures (a bitmap or an
// icon, from the template's resource number or set later), with the sunken,
// static-edge and client-edge borders. With SS_NOTIFY a click is reported to
// the parent as STN_CLICKED; without it the control lets clicks through.

#include <memory>

#include "platform/CBitmap.h"
#include "platform/CWnd.h"
#include "platform/Icon.h"

constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;

class CStatic : public CWnd {
public:
    CStatic();
    ~CStatic() override;

    virtual BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id = 0xFFFF);
    using CWnd::Create;

    // The bitmap shown (not owned; it must outlive its use here); returns the
    // previous one. The control takes the bitmap's size unless SS_CENTERIMAGE.
    CBitmap* SetBitmap(CBitmap* bitmap);
    CBitmap* GetBitmap() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;

    // Owner-drawn statics: the reflected drawing request.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

    void TakeOverState(CWnd& previous) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    UINT Type() const { return GetStyle() & SS_TYPEMASK; }
    int BorderWidth() const;
    void LoadTemplateImage(UINT resourceId);
    void FitToImage(SIZE image);
    void Paint();
    CRect PaintBorder(CDC& dc, CRect client);
    void PaintText(CDC& dc, const CRect& area);
    void PaintImage(CDC& dc, const CRect& area);
    void PaintShape(CDC& dc, const CRect& area);

    CBitmap* m_bitmap = nullptr;
    HICON m_icon = nullptr;
    // Images loaded from the template belong to the control.
    std::shared_ptr<CBitmap> m_ownBitmap;
    std::shared_ptr<Icon> m_ownIcon;
};

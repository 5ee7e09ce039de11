#pragma once

// A push button that draws itself: an icon or a bitmap with a transparent
// colour left of its caption, six state colours, a flat look that raises only
// while the pointer is over it (or a classic raised look), a tooltip, and an
// optional check-box behaviour. It takes over a push button of a dialog
// template (SubclassDlgItem) and is configured by calls after that.
//
// The button owns every image it is given and destroys it with the button or
// when other images replace it.

#include <memory>
#include <string>

#include "platform/CBitmap.h"
#include "platform/CButton.h"
#include "platform/CFont.h"
#include "platform/CToolTipCtrl.h"
#include "platform/Icon.h"

#include "controls/COwnerDrawMenu.h"

class CMenu;

class CIconButton : public CButton {
public:
    // Indices of the state colours.
    enum StateColour { BackIn = 0, ForeIn = 1, BackOut = 2, ForeOut = 3, BackFocus = 4, ForeFocus = 5 };
    static constexpr int kStateColourCount = 6;

    // Results of the configuring operations.
    enum Result {
        Ok = 0,
        UnreadableImage = 1,
        MaskFailed = 2,
        InvalidIndex = 3,
        InvalidOffset = 5,
    };

    // Given instead of an out image (or out resource number): the button makes
    // a grey or a darker copy of the in image.
    static constexpr int kGreyCopy = -2;
    static constexpr int kDarkerCopy = -3;
    static HICON GreyIconCopy() { return reinterpret_cast<HICON>(intptr_t(kGreyCopy)); }
    static HICON DarkerIconCopy() { return reinterpret_cast<HICON>(intptr_t(kDarkerCopy)); }
    static CBitmap* GreyBitmapCopy() { return reinterpret_cast<CBitmap*>(intptr_t(kGreyCopy)); }
    static CBitmap* DarkerBitmapCopy() { return reinterpret_cast<CBitmap*>(intptr_t(kDarkerCopy)); }

    // Between the button's edge, the image and the caption, on the 96-dpi layout.
    static constexpr int kImageMargin = 3;

    CIconButton();
    ~CIconButton() override;

    // Icons from the resources; a size of 0 takes the resource's own size. An
    // out number of 0 means none; kGreyCopy or kDarkerCopy ask for a copy.
    int SetIcons(int inId, int inWidth, int inHeight, int outId = 0, int outWidth = 0, int outHeight = 0);
    // Takes over the icons (out: null, an icon, or a copy request).
    int SetIconHandles(HICON in, HICON out = nullptr);
    // Bitmaps from the resources with their transparent colours; out as for SetIcons.
    int SetBitmapImages(int inId, COLORREF inTransparent, int outId = 0, COLORREF outTransparent = 0);
    // Takes over the bitmaps, which must come from new (out: null, a bitmap,
    // or a copy request). Their pixels of the transparent colour are blackened
    // for drawing through the mask.
    int SetBitmapHandles(CBitmap* in, COLORREF inTransparent, CBitmap* out = nullptr,
                         COLORREF outTransparent = 0);
    void ReleaseImages();

    int SetFlat(BOOL flat, BOOL repaint = TRUE);
    int SetColour(int index, COLORREF colour, BOOL repaint = TRUE);
    int OffsetColour(int index, int offset, BOOL repaint = TRUE);
    void ResetColours(BOOL repaint = TRUE);
    COLORREF GetColour(int index) const;
    int SetChecked(BOOL checked, BOOL repaint = TRUE);
    BOOL IsChecked() const { return m_checkState; }
    void SetToolTipText(const char* text, BOOL activate = TRUE);

    // What a paint reads, for callers that need to know the look.
    bool IsFlat() const { return m_isFlat; }
    bool IsHovered() const { return m_mouseOver; }
    bool IsCheckBoxMode() const { return m_checkBoxMode; }
    bool IsDefault() const { return m_isDefault; }
    bool HasIcon() const { return m_iconIn.icon != nullptr; }
    bool HasBitmap() const { return m_bitmapIn.bitmap != nullptr; }
    CToolTipCtrl& GetToolTip() { return m_toolTip; }
    CFont& GetCaptionFont() { return m_captionFont; }
    // The owner-drawn menu the button carries. It answers the menu requests
    // that concern its own menus, and, once a menu is loaded into it, a click
    // opens that menu below the button.
    COwnerDrawMenu& GetMenu() { return m_menu; }

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void PreSubclassWindow() override;

protected:
    // Drawing steps, in the order a paint runs them.
    virtual void DrawBackground(CDC& dc, CRect& rect);
    virtual void DrawFrame(CDC& dc, const CRect& rect);
    virtual void DrawIconImage(CDC& dc, const CRect& item, CRect& caption, bool hasCaption);
    virtual void DrawBitmapImage(CDC& dc, const CRect& item, CRect& caption, bool hasCaption);
    virtual void DrawCaption(CDC& dc, const std::string& text, const CRect& item, CRect caption);

    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseLeave();
    void OnKillFocus(CWnd* newFocus);
    void OnCancelMode();
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void OnEnable(BOOL enable);
    void OnSysColorChange();
    void OnDestroy();
    UINT OnGetDlgCode();
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    LRESULT OnSetCheck(WPARAM check, LPARAM);
    LRESULT OnGetCheck(WPARAM, LPARAM);
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    BOOL OnClicked();
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure);
    LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);

    DECLARE_MESSAGE_MAP()

private:
    struct IconImage {
        HICON icon = nullptr;
        int width = 0;
        int height = 0;
    };
    struct BitmapImage {
        CBitmap* bitmap = nullptr;
        CBitmap* mask = nullptr;
        int width = 0;
        int height = 0;
        COLORREF transparent = 0;
    };
    enum class CopyKind { Grey, Darker };

    void CancelHover();
    void PrepareToolTip();
    void Repaint() { Invalidate(); }
    // The image rectangle for an image of w x h; moves the caption's left
    // edge past the image when there is a caption.
    CRect PlaceImage(const CRect& item, CRect& caption, bool hasCaption, int w, int h) const;
    bool UseInImage() const;

    static bool IsCopyRequest(const void* handle, CopyKind* kind);
    static HICON CopyIconAs(const IconImage& source, CopyKind kind);
    static CBitmap* CopyBitmapAs(const CBitmap& source, COLORREF transparent, CopyKind kind);
    static CBitmap* MakeMask(CBitmap& bitmap, COLORREF transparent);
    // Keeps the bitmap (or destroys it when its description can't be read)
    // and makes its mask; returns a Result.
    static int StoreBitmap(BitmapImage& image, CBitmap* bitmap, COLORREF transparent);
    static bool ReadIcon(HICON icon, IconImage* image);

    // The owner-drawn menu's answers to the menu requests the button receives;
    // false lets the ordinary handling run.
    bool MenuMeasuresItem(LPMEASUREITEMSTRUCT measure);
    bool MenuAnswersChar(UINT ch, UINT flags, CMenu* menu, LRESULT* result);
    bool MenuHandlesClick();

    IconImage m_iconIn;
    IconImage m_iconOut;
    BitmapImage m_bitmapIn;
    BitmapImage m_bitmapOut;
    COLORREF m_stateColours[kStateColourCount] = {};
    bool m_isFlat = true;
    bool m_mouseOver = false;
    bool m_isPressed = false;
    bool m_isFocused = false;
    bool m_isDisabled = false;
    bool m_isDefault = false;
    bool m_checkBoxMode = false;
    BOOL m_checkState = FALSE;
    CPoint m_pressedOffset;
    CFont m_captionFont;
    CToolTipCtrl m_toolTip;
    COwnerDrawMenu m_menu;
};

#pragma once

// An owner-drawn push button that carries a popup menu. Its face shows an
// optional small bitmap at the left, the caption centred in the space left,
// and at the right a drop zone with an etched separator and a small arrow.
// While it holds menu entries, a press anywhere on the button opens the menu
// below it, and the chosen entry's command goes to the command target as an
// ordinary menu command. Without entries it is a plain push button with its
// own pressed look.

#include <string>

#include "platform/CBitmap.h"
#include "platform/CButton.h"
#include "platform/CImageList.h"
#include "platform/CMenu.h"

class CDropDownButton : public CButton {
public:
    // On the 96-dpi layout; the zone is DisplayScale::Scale(DropZoneWidth) pixels wide.
    static constexpr int DropZoneWidth = 16;

    CDropDownButton();
    ~CDropDownButton() override;

    // The parent becomes the command target; the button is owner-drawn.
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) override;
    using CButton::Create;
    // For a button taken over from a dialog template.
    void SetCommandTarget(CWnd* target) { m_commandTarget = target; }
    CWnd* GetCommandTarget() const { return m_commandTarget; }

    // The face bitmap from the resources; maskColour is transparent. Always 1:
    // a missing bitmap leaves the image place empty.
    int SetFaceBitmap(UINT resourceId, COLORREF maskColour);
    // Appends an entry (flags 0: plain text; MF_SEPARATOR passes through);
    // non-zero on success.
    int AppendMenuEntry(UINT commandId, std::string text, UINT flags = MF_STRING);

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    bool IsPressed() const { return m_pressed; }
    bool IsMenuShown() const { return m_menuShown; }
    bool HasMenuEntries() const { return m_hasMenuEntries; }
    SIZE GetFaceSize() const { return m_faceSize; }
    CMenu& GetPopupMenu() { return m_popupMenu; }

protected:
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnCaptureChanged(CWnd* newCapture);
    void OnSetFocus(CWnd* oldFocus);
    void OnKillFocus(CWnd* newFocus);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

private:
    bool MenuHit(CPoint clientPoint) const;
    void ShowMenu();
    void EndPress();
    void RepaintNow();
    // How far face, caption and arrow move while the button is held down.
    int PressedShift() const;
    // Where the drop zone with its arrow lies on a button whose face (the
    // area inside the outline) is `face`; its left edge is the separator's.
    static CRect DropZoneOf(const CRect& face);
    void DrawFace(CDC& dc, bool disabled);
    void DrawCaptionText(CDC& dc, CRect focus, bool disabled);
    void DrawDropZone(CDC& dc, const CRect& face, bool disabled);

    CMenu m_popupMenu;
    CBitmap m_faceBitmap;
    CImageList m_faceImages;
    bool m_pressed = false;
    bool m_menuShown = false;
    bool m_hasMenuEntries = false;
    bool m_hasFaceBitmap = false;
    SIZE m_faceSize{0, 0};
    CWnd* m_commandTarget = nullptr;
    COLORREF m_maskColour = 0;
    CBitmap m_disabledFace;
};

// Owner-drawn picture buttons: CBitmapButton draws one of four bitmaps by the button's state;
// CImgButton writes the caption over it, centred, one pixel lower and further right while
// pressed.
#pragma once

#include "framework/AfxCtrl.h"

class CBitmapButton : public CButton {
public:
    CBitmapButton() = default;
    ~CBitmapButton() override;
    CBitmapButton(const CBitmapButton&) = delete;
    CBitmapButton& operator=(const CBitmapButton&) = delete;

    // Bitmap resources for the normal, pressed, focused and disabled faces (0 = none; a missing
    // face falls back to the normal one).
    BOOL LoadBitmaps(UINT normal, UINT selected = 0, UINT focus = 0, UINT disabled = 0);
    // Owner-draw entry: the owner (or a test) passes the WM_DRAWITEM structure.
    virtual void DrawItem(DRAWITEMSTRUCT* dis);

protected:
    HBITMAP m_bitmaps[4] = {};  // normal, selected, focused, disabled
};

class CImgButton : public CBitmapButton {
public:
    CImgButton() = default;
    void DrawItem(DRAWITEMSTRUCT* dis) override;

    COLORREF m_clrText = RGB(0, 0, 0);
};

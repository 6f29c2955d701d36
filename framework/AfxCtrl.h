// Control classes over the standard Windows controls: buttons (push, check, radio), the combo
// box and the colour button of the options window's side panel.
#pragma once

#include "framework/AfxWin.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int check) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }
};

class CComboBox : public CWnd {
public:
    int AddString(const wchar_t* text) { return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    int GetCount() const { return Send(CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return Send(CB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) { return Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // Selects the first item from after `startAfter` whose text begins with `text`, ignoring
    // case; CB_ERR and no selection change when none does.
    int SelectString(int startAfter, const wchar_t* text) {
        return Send(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text));
    }
    void ResetContent() { Send(CB_RESETCONTENT, 0, 0); }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    }
    int SetItemData(int index, DWORD_PTR data) {
        return Send(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
    }
    // An index with no item raises the framework's invalid-argument error.
    void GetLBText(int index, CString& text) const;

private:
    int Send(UINT msg, WPARAM wp, LPARAM lp) const { return static_cast<int>(::SendMessageW(m_hWnd, msg, wp, lp)); }
};

// An owner-drawn push button with its own face and text colours. The dialog that holds it
// passes its WM_DRAWITEM on through AfxDrawOwnerButton.
class CMFCButton : public CButton {
public:
    CMFCButton();
    ~CMFCButton() override;

    void SetFaceColor(COLORREF face, BOOL redraw = TRUE);
    void SetTextColor(COLORREF text);
    COLORREF GetFaceColor() const { return m_clrFace; }
    COLORREF GetTextColor() const { return m_clrText; }
    virtual void DrawItem(const DRAWITEMSTRUCT* dis);

private:
    COLORREF m_clrFace;
    COLORREF m_clrText;
};

// Hands a dialog's WM_DRAWITEM to the colour button it is for; false when it is for none.
BOOL AfxDrawOwnerButton(LPARAM lp);

// Dialog data exchange of a radio group: `id` is the first button of the group (the one with
// WS_GROUP); the value is the index of the checked button, -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int id, int& value);

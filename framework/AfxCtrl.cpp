#include "framework/AfxCtrl.h"

#include <string>

void CComboBox::GetLBText(int index, CString& text) const {
    const int len = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR) AfxThrowInvalidArgException();
    std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
    const int got = Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buf[0]));
    buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
    text = CString(std::move(buf));
}

CMFCButton::CMFCButton() : m_clrFace(GetSysColor(COLOR_BTNFACE)), m_clrText(GetSysColor(COLOR_BTNTEXT)) {}

CMFCButton::~CMFCButton() = default;

void CMFCButton::SetFaceColor(COLORREF face, BOOL redraw) {
    m_clrFace = face;
    if (redraw && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CMFCButton::SetTextColor(COLORREF text) { m_clrText = text; }

void CMFCButton::DrawItem(const DRAWITEMSTRUCT* dis) {
    HDC dc = dis->hDC;
    RECT rc = dis->rcItem;
    HBRUSH face = CreateSolidBrush(m_clrFace);
    FillRect(dc, &rc, face);
    DeleteObject(face);
    if (dis->itemState & ODS_SELECTED) OffsetRect(&rc, 1, 1);

    wchar_t text[256] = {};
    ::GetWindowTextW(m_hWnd, text, 256);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, m_clrText);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ::SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    if ((dis->itemState & ODS_FOCUS) && !(dis->itemState & ODS_NOFOCUSRECT)) {
        RECT focus = dis->rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

BOOL AfxDrawOwnerButton(LPARAM lp) {
    const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    if (!dis || dis->CtlType != ODT_BUTTON) return FALSE;
    CMFCButton* button = dynamic_cast<CMFCButton*>(CWnd::FromHandlePermanent(dis->hwndItem));
    if (!button) return FALSE;
    button->DrawItem(dis);
    return TRUE;
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND dlg = dx->m_pDlgWnd->m_hWnd;
    HWND first = ::GetDlgItem(dlg, id);
    if (!first) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT), ++index) {
        if (h != first && (GetWindowLongW(h, GWL_STYLE) & WS_GROUP)) break;
        if (!(::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

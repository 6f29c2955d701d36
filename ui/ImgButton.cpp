#include "ui/ImgButton.h"

CBitmapButton::~CBitmapButton() {
    for (HBITMAP& b : m_bitmaps)
        if (b) DeleteObject(b);
}

BOOL CBitmapButton::LoadBitmaps(UINT normal, UINT selected, UINT focus, UINT disabled) {
    const UINT ids[4] = {normal, selected, focus, disabled};
    for (int i = 0; i < 4; ++i) {
        if (m_bitmaps[i]) DeleteObject(m_bitmaps[i]);
        m_bitmaps[i] = ids[i] ? static_cast<HBITMAP>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(ids[i]),
                                                               IMAGE_BITMAP, 0, 0, 0))
                              : nullptr;
    }
    return m_bitmaps[0] != nullptr;
}

void CBitmapButton::DrawItem(DRAWITEMSTRUCT* dis) {
    HBITMAP face = m_bitmaps[0];
    if ((dis->itemState & ODS_SELECTED) && m_bitmaps[1]) face = m_bitmaps[1];
    else if ((dis->itemState & ODS_FOCUS) && m_bitmaps[2]) face = m_bitmaps[2];
    else if ((dis->itemState & ODS_DISABLED) && m_bitmaps[3]) face = m_bitmaps[3];
    if (!face) return;
    HDC mem = CreateCompatibleDC(dis->hDC);
    HGDIOBJ old = SelectObject(mem, face);
    const RECT& rc = dis->rcItem;
    BitBlt(dis->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void CImgButton::DrawItem(DRAWITEMSTRUCT* dis) {
    const RECT rc = dis->rcItem;
    HDC dc = dis->hDC;
    const int saved = SaveDC(dc);
    wchar_t caption[260] = {};
    if (dis->hwndItem) ::GetWindowTextW(dis->hwndItem, caption, 259);
    CBitmapButton::DrawItem(dis);
    SetTextColor(dc, m_clrText);
    // 8.5 points, as a point font of 85 tenths: height from the device's vertical resolution
    const int height = -MulDiv(85, GetDeviceCaps(dc, LOGPIXELSY), 720);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int len = lstrlenW(caption);
    SIZE size = {};
    GetTextExtentPoint32W(dc, caption, len, &size);
    // signed divisions that truncate toward zero
    int x = (rc.left + rc.right) / 2 - size.cx / 2;
    int y = (rc.top + rc.bottom) / 2 - size.cy / 2;
    if (dis->itemState & ODS_SELECTED) {
        ++x;
        ++y;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (len > 0)
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption), static_cast<WPARAM>(len), x, y, size.cx,
                   size.cy, DST_PREFIXTEXT);
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    DeleteObject(font);
    RestoreDC(dc, saved);
}

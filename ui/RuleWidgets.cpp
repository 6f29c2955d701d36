#include "ui/RuleWidgets.h"

#include <cwctype>

namespace ruleui {

HFONT CreateRegionFont() {
    return CreateFontW(30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, FF_SWISS, L"Arial");
}

HWND CreateRegionButton(HWND parent, int id, const wchar_t* caption, const ButtonRect& r, HFONT font) {
    HWND h = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, r.left, r.top, r.width,
                             r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    if (h && font) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return h;
}

RECT ControlRectInParent(HWND dialog, int id) {
    RECT r = {};
    HWND h = GetDlgItem(dialog, id);
    if (!h) return r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

CString ControlText(HWND dialog, int id) {
    HWND h = GetDlgItem(dialog, id);
    if (!h) return CString();
    const int len = GetWindowTextLengthW(h);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    const int got = GetWindowTextW(h, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return CString(text);
}

CString TrimmedText(HWND dialog, int id) {
    const std::wstring text = ControlText(dialog, id).str();
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return CString(text.substr(first, last - first));
}

void ComboReset(HWND combo) { SendMessageW(combo, CB_RESETCONTENT, 0, 0); }

int ComboAdd(HWND combo, const wchar_t* text) {
    return static_cast<int>(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int ComboCount(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

int ComboCurSel(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void ComboSelect(HWND combo, int index) { SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

CString ComboSelectedText(HWND combo) {
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel < 0) return CString();
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0);
    if (len < 0) return CString();
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(len));
    return CString(text);
}

void EnableControl(HWND dialog, int id, bool enable) {
    if (HWND h = GetDlgItem(dialog, id)) EnableWindow(h, enable ? TRUE : FALSE);
}

}  // namespace ruleui

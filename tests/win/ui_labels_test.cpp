// Every label and button caption of every window fits its control in all six languages: each
// dialog template of the shipped program, created with the program's own common controls and
// translated as the program translates it, measured in the control's own font.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/LanguageTable.h"
#include "rules/core/RuleStore.h"
#include "tests/support/WinTestSupport.h"

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

BOOL CALLBACK CollectTemplate(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(ids)->push_back(LOWORD(name));
    return TRUE;
}

bool IsCjk(wchar_t c) { return (c >= 0x3000 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF); }

// What a control shows of a text with prefix characters: "&&" is one ampersand, a lone "&" marks
// the next letter.
std::wstring WithoutPrefixes(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') shown += text[i];
        else if (i + 1 < text.size()) shown += text[++i];
    }
    return shown;
}

std::wstring WithoutLinkTags(std::wstring text) {
    for (const wchar_t* tag : {L"<a>", L"</a>"})
        for (size_t at; (at = text.find(tag)) != std::wstring::npos;) text.erase(at, wcslen(tag));
    return text;
}

int Extent(HDC dc, const std::wstring& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The lines a text takes in a width when broken as a word-wrapping static breaks it: at spaces,
// and between characters of Japanese or Chinese. Sets `widest` to the widest unit that cannot be
// broken, which must fit on a line of its own.
int LinesNeeded(HDC dc, const std::wstring& text, int width, int& widest) {
    int lines = 0;
    widest = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        const std::wstring para = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        // break opportunities: before a unit; a unit is a word with its trailing spaces or one CJK char
        std::vector<std::wstring> units;
        for (size_t i = 0; i < para.size();) {
            size_t j = i + 1;
            if (!IsCjk(para[i]))
                while (j < para.size() && para[j] != L' ' && !IsCjk(para[j])) ++j;
            while (j < para.size() && para[j] == L' ') ++j;
            units.push_back(para.substr(i, j - i));
            i = j;
        }
        auto trimmed = [](std::wstring s) { return s.erase(s.find_last_not_of(L' ') + 1); };
        std::wstring line;
        ++lines;
        for (const std::wstring& unit : units) {
            widest = std::max(widest, Extent(dc, trimmed(unit)));
            if (!line.empty() && Extent(dc, trimmed(line + unit)) > width) {
                ++lines;
                line.clear();
            }
            line += unit;
        }
        if (end == std::wstring::npos) return lines;
        start = end + 1;
    }
}

struct Control {
    HWND hwnd;
    int id;
    std::wstring cls;
    DWORD style;
};

// Where the control draws its text, in its client area, and whether that room is one line only;
// false for controls that show no text of their own (pictures, edits, lists).
bool TextRoom(const Control& c, HDC dc, RECT& room, bool& oneLine, bool& prefixes) {
    GetClientRect(c.hwnd, &room);
    oneLine = false;
    prefixes = true;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    if (_wcsicmp(c.cls.c_str(), L"Static") == 0) {
        const DWORD type = c.style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
            type != SS_LEFTNOWORDWRAP)
            return false;
        oneLine = type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
        prefixes = !(c.style & SS_NOPREFIX);
        return true;
    }
    if (_wcsicmp(c.cls.c_str(), WC_LINK) == 0) {
        oneLine = true;
        return true;
    }
    if (_wcsicmp(c.cls.c_str(), L"Button") != 0) return false;
    oneLine = !(c.style & BS_MULTILINE);
    switch (c.style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        // inside the frame and the focus rectangle
        InflateRect(&room, -3, -3);
        return true;
    case BS_OWNERDRAW:
        // the options window's page buttons draw their caption on one line across the face
        oneLine = true;
        return true;
    case BS_GROUPBOX:
        // the caption sits in the top edge, indented from both corners
        room.left += 8, room.right -= 8;
        oneLine = true;
        return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        // after the box and its gap
        room.left += MulDiv(13, dpi, 96) + 3;
        return true;
    default:
        return false;
    }
}

// "" when the control's text fits it, else what does not fit.
std::string Misfit(const Control& c) {
    std::wstring text = wts::WindowText(c.hwnd);
    if (text.empty()) return "";
    HDC dc = GetDC(c.hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c.hwnd, WM_GETFONT, 0, 0)));
    RECT room;
    bool oneLine = false, prefixes = true;
    std::string fault;
    if (TextRoom(c, dc, room, oneLine, prefixes)) {
        if (_wcsicmp(c.cls.c_str(), WC_LINK) == 0) text = WithoutLinkTags(text);
        if (prefixes) text = WithoutPrefixes(text);
        TEXTMETRICW tm = {};
        GetTextMetricsW(dc, &tm);
        const int width = room.right - room.left, height = room.bottom - room.top;
        // Windows' own fonts run wider than Wine's in places: every text keeps a tenth of its room spare
        const int usable = width * 10 / 11;
        int widest = 0;
        const int lines = oneLine ? 1 : LinesNeeded(dc, text, usable, widest);
        if (oneLine) widest = text.find(L'\n') == std::wstring::npos ? Extent(dc, text) : usable + 1;
        // a one-line control centres its line; only a wrapped text can run out of height
        const bool tallEnough = oneLine || lines * tm.tmHeight <= height;
        if (widest > usable || !tallEnough)
            fault = std::to_string(Extent(dc, text)) + " px wide on one line, " + std::to_string(lines) +
                    " line(s) in " + std::to_string(width) + " x " + std::to_string(height) +
                    " px, a tenth of it spare";
    }
    SelectObject(dc, old);
    ReleaseDC(c.hwnd, dc);
    return fault;
}

// Texts that the windows put into their controls themselves, after the translation.
struct RuntimeText {
    int templateId;
    int controlId;
    CString text;
};
std::vector<RuntimeText> RuntimeTexts(const CLanguageTable& table) {
    return {
        {230, 1224, table.GetText(1172)},                               // the rule editor's save button when it edits
        {136, 1159, CRuleStore::FormatHotkeyText(CString(L"Q9"))},      // the rules page's hotkey
        {136, 1169, CString(L"2 / 2")},                                 // the rules page's screen counter
        {133, 1085, CString(L"Tessora Ver 1.0.0.1")},                   // the About box's version line
    };
}

class WindowTexts : public testing::Test {
protected:
    void SetUp() override {
        ACTCTXW actx = {};
        actx.cbSize = sizeof(actx);
        actx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        actx.lpSource = TESSORA_DIST_DIR_W L"\\Tessora.exe";
        actx.lpResourceName = MAKEINTRESOURCEW(1);
        context = CreateActCtxW(&actx);
        ASSERT_NE(context, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(ActivateActCtx(context, &cookie));
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_LINK_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        ASSERT_TRUE(program = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        host = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(host);
    }
    void TearDown() override {
        if (host) DestroyWindow(host);
        if (program) FreeLibrary(program);
        if (cookie) DeactivateActCtx(0, cookie);
        if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
    }
    HANDLE context = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie = 0;
    HMODULE program = nullptr;
    HWND host = nullptr;
};

TEST_F(WindowTexts, EveryLabelAndCaptionFitsItsControlInEveryLanguage) {
    std::vector<WORD> templates;
    EnumResourceNamesW(program, RT_DIALOG, CollectTemplate, reinterpret_cast<LONG_PTR>(&templates));
    // the options window and its six pages, the rule and zone title editors, the About box, the
    // update dialog, and the rest
    for (WORD id : {137, 149, 136, 147, 135, 148, 248, 230, 247, 133, 221})
        EXPECT_NE(std::find(templates.begin(), templates.end(), id), templates.end()) << "template " << id;

    std::vector<std::string> misfits;
    int measured = 0;
    for (int lang = 0; lang < UILANG_COUNT; ++lang) {
        CLanguageTable table;
        table.m_strLanguageName = LanguageName(static_cast<ELanguage>(lang));
        for (WORD id : templates) {
            HWND dlg = CreateDialogParamW(program, MAKEINTRESOURCEW(id), host, PlainDialog, 0);
            ASSERT_TRUE(dlg) << "template " << id;
            table.TranslateWindow(dlg, -1);
            for (const RuntimeText& r : RuntimeTexts(table))
                if (r.templateId == id) SetDlgItemTextW(dlg, r.controlId, r.text);
            for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
                const Control c{h, GetDlgCtrlID(h), wts::ClassName(h), static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE))};
                if (!(c.style & WS_VISIBLE)) continue;  // created hidden, and nothing shows them
                ++measured;
                const std::string fault = Misfit(c);
                if (!fault.empty())
                    misfits.push_back(wts::Wide2Narrow(table.m_strLanguageName.GetString()) + ", template " +
                                      std::to_string(id) + ", control " + std::to_string(c.id) + " \"" +
                                      wts::Wide2Narrow(wts::WindowText(h)) + "\": " + fault);
            }
            DestroyWindow(dlg);
        }
    }
    EXPECT_GT(measured, 6 * 60);
    std::string all;
    for (const std::string& m : misfits) all += m + "\n";
    EXPECT_TRUE(misfits.empty()) << misfits.size() << " texts do not fit:\n" << all;
}

}  // namespace

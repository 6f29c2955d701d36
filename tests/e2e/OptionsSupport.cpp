#include "tests/e2e/OptionsSupport.h"

#include <shlobj.h>

#include "tests/e2e/UiSupport.h"
#include "tests/support/WinTestSupport.h"

namespace options {

namespace {
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const UINT kTrayNotify = WM_USER + 100, kTrayId = 134, kTrayOptionPos = 1;

std::wstring ReadRunValue(REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return L"";
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    const LONG rc = RegQueryValueExW(key, L"Tessora", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? std::wstring(data) : L"";
}
}  // namespace

bool Start(TessoraRun& run, const std::string& language, int executeType, int overlap, int showHotkey) {
    run.WriteSettings(language, overlap, 0, executeType, showHotkey);
    return run.Start() && run.WaitMainWindow() && wts::WaitUntil([&] { return IsWindowVisible(run.main) != FALSE; });
}

// A dialog of the program that holds this control; null when none showed up.
HWND WaitDialog(TessoraRun& run, int controlId) {
    HWND found = nullptr;
    wts::WaitUntil([&] {
        for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770"))
            if (IsWindowVisible(h) && GetDlgItem(h, controlId)) found = h;
        return found != nullptr;
    });
    return found;
}

HWND OpenFromTray(TessoraRun& run) {
    ui::PopupMenu menu;
    // under load the first click has now and then opened no menu here: click once more
    for (int click = 0; click < 2 && !menu.window; ++click) {
        if (!ui::WaitMenuGone(run.proc.Pid())) return nullptr;
        SendNotifyMessageW(run.main, kTrayNotify, kTrayId, WM_RBUTTONUP);
        if (!ui::ReadOpenMenu(run.proc, menu)) menu.window = nullptr;
    }
    if (!menu.window) return nullptr;
    ui::ChooseMenuItem(menu, kTrayOptionPos);
    ui::WaitMenuGone(run.proc.Pid());
    return WaitDialog(run, kCombo);
}

bool CentredOnWorkArea(HWND h) {
    RECT rc, work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(h, &rc);
    return rc.left == (work.right - work.left - (rc.right - rc.left)) / 2 &&
           rc.top == (work.bottom - work.top - (rc.bottom - rc.top)) / 2 &&
           (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

HWND PageWindow(HWND options, Page p) {
    for (HWND child = GetWindow(options, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (wts::ClassName(child) == L"#32770" && GetDlgItem(child, kPageMarker[p])) return child;
    return nullptr;
}

HWND PageControl(HWND options, Page p, int id) { return GetDlgItem(PageWindow(options, p), id); }

int ShownPage(HWND options) {
    int shown = -1;
    for (int p = 0; p < 6; ++p) {
        if (!IsWindowVisible(PageWindow(options, static_cast<Page>(p)))) continue;
        if (shown >= 0) return -1;
        shown = p;
    }
    return shown;
}

void Click(HWND button) {
    if (IsWindowEnabled(button)) SendMessageW(button, BM_CLICK, 0, 0);
}

void ClickPageButton(HWND options, Page p) { Click(GetDlgItem(options, kFirstPageButton + p)); }

bool PickLanguage(HWND options, const std::wstring& name) {
    HWND combo = GetDlgItem(options, kCombo);
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name.c_str()));
    if (index == CB_ERR || SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) return false;
    SendMessageW(options, WM_COMMAND, MAKEWPARAM(kCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

std::wstring SelectedLanguage(HWND options) { return SelectedText(options, kCombo); }

std::wstring SelectedText(HWND dialog, int comboId) {
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return L"";
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

// Every item of a combo box, joined by "|".
std::wstring ComboItems(HWND dialog, int comboId) {
    HWND combo = GetDlgItem(dialog, comboId);
    std::wstring items;
    const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        items += (i ? L"|" : L"") + std::wstring(text.c_str());
    }
    return items;
}

namespace {
HWND FileNameField(HWND dialog) {
    for (int id : {1148, 1152}) {  // the file name's combo box or edit
        HWND name = GetDlgItem(dialog, id);
        if (name && IsWindowVisible(name)) return name;
    }
    return nullptr;
}
}  // namespace

HWND WaitFileDialog(DWORD pid) {
    HWND dialog = nullptr;
    wts::WaitUntil([&] {
        for (HWND h : wts::FindWindows(pid, L"#32770"))
            if (IsWindowVisible(h) && FileNameField(h)) return (dialog = h) != nullptr;
        return false;
    });
    return dialog;
}

bool ChooseFile(DWORD pid, const std::wstring& path, bool replace) {
    HWND dialog = WaitFileDialog(pid);
    if (!dialog) return false;
    SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    wts::MessageBoxInfo box;
    if (replace && (!wts::AnswerMessageBox(pid, box, IDYES) || box.hwnd == dialog)) return false;
    return wts::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

bool CloseWith(HWND options, int button) {
    // posted: the program destroys the window, button and all, while the click is handled
    PostMessageW(GetDlgItem(options, button), BM_CLICK, 0, 0);
    return wts::WaitUntil([&] { return !IsWindow(options); }, 5000);
}

bool IsChecked(HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring RunValue() { return ReadRunValue(KEY_WOW64_32KEY); }

bool RunValueInNativeView() {
    BOOL wow64 = FALSE;
    // in a 32-bit-only registry the two views are one
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return false;
    return !ReadRunValue(KEY_WOW64_64KEY).empty();
}

void DeleteRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, L"Tessora");
    RegCloseKey(key);
}

std::wstring ConfigValue(TessoraRun& run, const wchar_t* key) {
    wchar_t value[256] = {};
    GetPrivateProfileStringW(L"General", key, L"", value, 256, run.Path(L"config.ini").c_str());
    return value;
}

bool DropFiles(wts::Process& p, HWND target, const std::vector<std::wstring>& paths) {
    std::vector<char> block(sizeof(DROPFILES));
    auto* df = reinterpret_cast<DROPFILES*>(block.data());
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    for (const auto& path : paths) {
        const char* bytes = reinterpret_cast<const char*>(path.c_str());
        block.insert(block.end(), bytes, bytes + (path.size() + 1) * sizeof(wchar_t));
    }
    block.insert(block.end(), sizeof(wchar_t), 0);
    // the program frees the block when it has read it; this memory stays until the process ends
    void* at = VirtualAllocEx(p.pi.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!at || !WriteProcessMemory(p.pi.hProcess, at, block.data(), block.size(), nullptr)) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(at), 0, SMTO_NORMAL, 10000, &result) != 0;
}

bool Screenshot(HWND h, const std::wstring& name) {
    RECT rc;
    GetWindowRect(h, &rc);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);  // the program paints on its own thread
    return ui::Screenshot(name, rc);
}

}  // namespace options

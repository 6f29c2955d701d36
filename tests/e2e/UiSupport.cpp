#include "tests/e2e/UiSupport.h"

#include <shellapi.h>

#include <cwchar>
#include <sstream>

namespace ui {

namespace {

NOTIFYICONDATAW IconKey(HWND hWnd, UINT id) {
    NOTIFYICONDATAW n = {};
    n.cbSize = sizeof(n);
    n.hWnd = hWnd;
    n.uID = id;
    return n;
}

std::wstring ProbePath() { return wts::ExeDir() + L"\\ui_menu_probe.dll"; }

// The probe's address in the other process: the same offset from its base as in ours.
DWORD_PTR RemoteProbeEntry(HANDLE process) {
    static HMODULE local = LoadLibraryW(ProbePath().c_str());
    if (!local) return 0;
    const auto entry = reinterpret_cast<DWORD_PTR>(GetProcAddress(local, "ReadPopupMenu"));
    if (!entry) return 0;

    const std::wstring path = ProbePath();
    const SIZE_T bytes = (path.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath) return 0;
    DWORD_PTR base = 0;
    if (WriteProcessMemory(process, remotePath, path.c_str(), bytes, nullptr)) {
        // loading twice only counts up: the same base comes back
        auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
        HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remotePath, 0, nullptr);
        if (thread) {
            DWORD code = 0;
            if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0 && GetExitCodeThread(thread, &code)) base = code;
            CloseHandle(thread);
        }
    }
    VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    return base ? base + (entry - reinterpret_cast<DWORD_PTR>(local)) : 0;
}

}  // namespace

bool ShellHasIcon(HWND hWnd, UINT id) {
    NOTIFYICONDATAW n = IconKey(hWnd, id);
    return Shell_NotifyIconW(NIM_MODIFY, &n) != FALSE;  // changes nothing: no flags
}

void ShellForgetsIcon(HWND hWnd, UINT id) {
    NOTIFYICONDATAW n = IconKey(hWnd, id);
    Shell_NotifyIconW(NIM_DELETE, &n);
}

void TrayMouse(HWND main, UINT mouseMessage) { SendNotifyMessageW(main, kTrayNotify, kTrayId, mouseMessage); }

HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs) {
    HWND found = nullptr;
    wts::WaitUntil([&] {
        auto menus = VisibleWindows(pid, L"#32768", L"");
        found = menus.empty() ? nullptr : menus.front();
        return found != nullptr;
    }, timeoutMs, 10);
    return found;
}

bool WaitMenuGone(DWORD pid, DWORD timeoutMs) {
    return wts::WaitUntil([&] { return VisibleWindows(pid, L"#32768", L"").empty(); }, timeoutMs, 10);
}

bool ReadOpenMenu(wts::Process& process, PopupMenu& menu, DWORD timeoutMs) {
    menu = PopupMenu();
    menu.window = WaitPopupMenu(process.Pid(), timeoutMs);
    if (!menu.window) return false;
    const DWORD_PTR entry = RemoteProbeEntry(process.pi.hProcess);
    if (!entry) return false;

    wchar_t name[64];
    swprintf(name, 64, L"Local\\TessoraMenuProbe-%lu", static_cast<unsigned long>(process.Pid()));
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 65536, name);
    if (!map) return false;
    DWORD count = 0xFFFF;
    HANDLE thread = CreateRemoteThread(process.pi.hProcess, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(entry), nullptr, 0, nullptr);
    if (thread) {
        if (WaitForSingleObject(thread, 5000) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &count)) count = 0xFFFF;
        CloseHandle(thread);
    }
    if (count != 0xFFFF) {
        const wchar_t* text = static_cast<const wchar_t*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
        if (text) {
            std::wistringstream lines{std::wstring(text)};
            std::wstring line;
            if (std::getline(lines, line)) menu.defaultItem = std::stoi(line);
            while (std::getline(lines, line)) {
                const size_t tab = line.find(L'\t');
                if (tab == std::wstring::npos) continue;
                menu.ids.push_back(static_cast<UINT>(std::stoul(line.substr(0, tab))));
                menu.texts.push_back(line.substr(tab + 1));
            }
            UnmapViewOfFile(text);
        }
    }
    CloseHandle(map);
    return count != 0xFFFF && menu.ids.size() == count;
}

void ChooseMenuItem(const PopupMenu& menu, int position) {
    // the menu opens with nothing selected: the first Down selects the first item
    for (int i = 0; i <= position; ++i) PostMessageW(menu.window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu.window, WM_KEYDOWN, VK_RETURN, 0);
}

void CloseMenu(const PopupMenu& menu) { PostMessageW(menu.window, WM_KEYDOWN, VK_ESCAPE, 0); }

std::vector<HWND> VisibleWindows(DWORD pid, const std::wstring& cls, const std::wstring& caption) {
    std::vector<HWND> visible;
    for (HWND h : wts::FindWindows(pid, cls, caption))
        if (IsWindowVisible(h)) visible.push_back(h);
    return visible;
}

HWND ShowingMessageBox(DWORD pid) {
    // a message box carries its text in a static without an id; our dialogs have none such
    for (HWND h : VisibleWindows(pid, L"#32770", L""))
        if (GetDlgItem(h, 0xFFFF)) return h;
    return nullptr;
}

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

std::wstring ScreenshotDir() {
    std::wstring dist = TESSORA_DIST_DIR_W;
    return dist.substr(0, dist.find_last_of(L'\\')) + L"\\screenshots";
}

bool Screenshot(const std::wstring& name, const RECT& area) {
    const std::wstring dir = ScreenshotDir();
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring target = dir + L"\\" + name + L".png";
    DeleteFileW(target.c_str());
    wchar_t display[64] = {};
    if (!GetEnvironmentVariableW(L"DISPLAY", display, 64)) return false;
    // drive Z: is the Unix root
    std::wstring unixDir = dir.substr(2);
    for (wchar_t& c : unixDir)
        if (c == L'\\') c = L'/';
    wchar_t cmd[1024];
    // the Unix program runs detached: write under another name and rename, so that a file that
    // exists is complete
    swprintf(cmd, 1024,
             L"/bin/sh -c \"/usr/bin/import -display %ls -window root -crop %ldx%ld+%ld+%ld +repage "
             L"'%ls/%ls.tmp.png' && mv '%ls/%ls.tmp.png' '%ls/%ls.png'\"",
             display, area.right - area.left, area.bottom - area.top, area.left, area.top, unixDir.c_str(),
             name.c_str(), unixDir.c_str(), name.c_str(), unixDir.c_str(), name.c_str());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return wts::WaitUntil([&] { return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000, 50);
}

std::wstring FileVersion(const std::wstring& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size) return L"";
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
        return L"";
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return text;
}

}  // namespace ui

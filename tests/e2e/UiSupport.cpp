#include "tests/e2e/UiSupport.h"

#include <algorithm>
#include <cwchar>
#include <sstream>

namespace ui {

namespace {

const SIZE_T kProbeBytes = 65536;  // the buffer that ReadPopupMenu fills

// Runs entry(param) on a new thread of the process; the thread's exit code, 0 when it failed.
DWORD RemoteCall(HANDLE process, DWORD_PTR entry, void* param) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(entry), param,
                                       0, nullptr);
    DWORD code = 0;
    if (thread && (WaitForSingleObject(thread, 15000) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &code))) code = 0;
    if (thread) CloseHandle(thread);
    return code;
}

}  // namespace

HWND VisibleWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption) {
    for (HWND h : wts::FindWindows(pid, cls, caption))
        if (IsWindowVisible(h)) return h;
    return nullptr;
}

bool ReadOpenMenu(wts::Process& process, PopupMenu& menu) {
    menu = PopupMenu();
    if (!wts::WaitUntil([&] { return (menu.window = VisibleWindow(process.Pid(), L"#32768")) != nullptr; }, 5000, 10))
        return false;
    const std::wstring path = wts::ExeDir() + L"\\ui_menu_probe.dll";
    static HMODULE local = LoadLibraryW(path.c_str());
    const auto entry = reinterpret_cast<DWORD_PTR>(GetProcAddress(local, "ReadPopupMenu"));
    const auto load = reinterpret_cast<DWORD_PTR>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"));
    const HANDLE h = process.pi.hProcess;
    // one buffer over there: first the probe's path, then the menu's window and what the probe writes
    void* remote = VirtualAllocEx(h, nullptr, kProbeBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::vector<wchar_t> text(kProbeBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD count = 0;
    if (entry && remote && WriteProcessMemory(h, remote, path.c_str(), (path.size() + 1) * sizeof(wchar_t), nullptr)) {
        // loading it again only counts up: the same base comes back, the entry at the same offset as here
        const DWORD base = RemoteCall(h, load, remote);
        if (base && WriteProcessMemory(h, remote, &menu.window, sizeof(HWND), nullptr))
            count = RemoteCall(h, base + (entry - reinterpret_cast<DWORD_PTR>(local)), remote);
        if (count) ReadProcessMemory(h, remote, text.data(), kProbeBytes, nullptr);
    }
    if (remote) VirtualFreeEx(h, remote, 0, MEM_RELEASE);
    std::wistringstream lines{std::wstring(text.data())};
    std::wstring line;
    if (std::getline(lines, line)) menu.defaultItem = std::stoi(line);
    while (std::getline(lines, line)) {
        const size_t tab = line.find(L'\t');
        menu.ids.push_back(static_cast<UINT>(std::stoul(line.substr(0, tab))));
        menu.texts.push_back(line.substr(tab + 1));
    }
    return count != 0 && menu.ids.size() == count;
}

void ChooseMenuItem(const PopupMenu& menu, int position) {
    // the menu opens with nothing selected: the first Down selects the first item
    for (int i = 0; i <= position; ++i) PostMessageW(menu.window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu.window, WM_KEYDOWN, VK_RETURN, 0);
}

bool WaitMenuGone(DWORD pid) {
    return wts::WaitUntil([&] { return !VisibleWindow(pid, L"#32768"); }, 5000, 10);
}

bool RunUnix(const std::wstring& script) {
    std::wstring command = L"/bin/bash -c \"" + script + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool Xdotool(const std::wstring& script) {
    wchar_t display[64] = {};
    if (!GetEnvironmentVariableW(L"DISPLAY", display, 64)) return false;
    std::wstring dir = TESSORA_DIST_DIR_W;  // on drive Z:, seen by Unix programs too
    const std::wstring marker = dir.substr(0, dir.find_last_of(L'\\')) + L"\\xdotool.done";
    DeleteFileW(marker.c_str());
    std::wstring unixMarker = marker.substr(2);  // drive Z: is the Unix root
    std::replace(unixMarker.begin(), unixMarker.end(), L'\\', L'/');
    return RunUnix(L"DISPLAY=" + std::wstring(display) + L" /usr/bin/xdotool " + script + L"; touch '" + unixMarker +
                   L"'") &&
           wts::WaitUntil([&] { return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000, 50);
}

bool Screenshot(const std::wstring& name, const RECT& area) {
    std::wstring dir = TESSORA_DIST_DIR_W;
    dir = dir.substr(0, dir.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring target = dir + L"\\" + name + L".png";
    DeleteFileW(target.c_str());
    wchar_t display[64] = {};
    if (!GetEnvironmentVariableW(L"DISPLAY", display, 64)) return false;
    std::wstring file = dir.substr(2) + L"/" + name;  // drive Z: is the Unix root
    std::replace(file.begin(), file.end(), L'\\', L'/');
    // the Unix program runs detached: it writes under another name and renames, so that a file
    // that exists is complete
    wchar_t cmd[1024];
    swprintf(cmd, 1024,
             L"/usr/bin/import -display %ls -window root -crop %ldx%ld+%ld+%ld +repage '%ls.tmp.png' && "
             L"mv '%ls.tmp.png' '%ls.png'",
             display, area.right - area.left, area.bottom - area.top, area.left, area.top, file.c_str(),
             file.c_str(), file.c_str());
    return RunUnix(cmd) &&
           wts::WaitUntil([&] { return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000, 50);
}

}  // namespace ui

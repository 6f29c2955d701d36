#include "tests/e2e/LayoutSupport.h"

#include <cstdio>

namespace layout {

RECT Rect(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

std::wstring RectText(const RECT& r) {
    wchar_t buf[96];
    swprintf(buf, 96, L"(%d,%d %dx%d)", static_cast<int>(r.left), static_cast<int>(r.top),
             static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top));
    return buf;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT WindowRect(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

SampleWindows::~SampleWindows() { Close(); }

bool SampleWindows::Start(const std::vector<SampleSpec>& specs, DWORD timeoutMs) {
    std::wstring args;
    for (const SampleSpec& s : specs) {
        wchar_t rect[64];
        swprintf(rect, 64, L"%d,%d,%d,%d", static_cast<int>(s.rect.left), static_cast<int>(s.rect.top),
                 static_cast<int>(s.rect.right - s.rect.left), static_cast<int>(s.rect.bottom - s.rect.top));
        args += L" \"" + s.title + L"|" + rect + (s.flags.empty() ? L"" : L"|" + s.flags) + L"\"";
    }
    if (!wts::StartProcess(proc, wts::ExeDir() + L"\\SampleWindow.exe", args)) return false;
    const bool all = wts::WaitUntil([&] {
        return wts::FindWindows(proc.Pid(), L"TessoraSample").size() == specs.size();
    }, timeoutMs);
    if (!all) return false;
    windows.clear();
    for (HWND h : wts::FindWindows(proc.Pid(), L"TessoraSample")) {
        wchar_t title[256] = {};
        GetWindowTextW(h, title, 256);
        windows.emplace_back(title, h);
    }
    // Let the sample process finish showing them before anything is measured.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(windows.front().second, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    return true;
}

HWND SampleWindows::Get(const std::wstring& title) const {
    for (const auto& w : windows) {
        if (w.first == title) return w.second;
    }
    return nullptr;
}

bool SampleWindows::StackTopDown(const std::vector<std::wstring>& titles) const {
    // Activation from earlier steps may still be on its way and reorder them: try until it holds.
    for (int attempt = 0; attempt < 20; ++attempt) {
        for (auto it = titles.rbegin(); it != titles.rend(); ++it) {
            SetWindowPos(Get(*it), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(Get(titles.front()), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        Sleep(50);
        size_t next = 0;
        for (HWND h = GetTopWindow(nullptr); h && next < titles.size(); h = GetWindow(h, GW_HWNDNEXT)) {
            if (h == Get(titles[next])) ++next;
        }
        if (next == titles.size()) return true;
    }
    return false;
}

void SampleWindows::Hang(DWORD ms) const {
    if (!windows.empty()) PostMessageW(windows.front().second, WM_APP + 1, ms, 0);
}

void SampleWindows::Close() {
    if (proc.Running()) {
        for (const auto& w : windows) PostMessageW(w.second, WM_CLOSE, 0, 0);
        proc.WaitExit(5000);
    }
    windows.clear();
}

RECT PrimaryMonitorEntry() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int taskbar = GetSystemMetrics(SM_CYSCREEN) - (work.bottom - work.top);
    return Rect(0, work.top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - taskbar);
}

namespace {

WORD ActionVk(ActionKey act) { return act == ActionKey::kAlt ? VK_LMENU : VK_LCONTROL; }

void SendKey(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof(in));
    // the hook runs on a thread of its own: give it each event in turn
    Sleep(25);
}

}  // namespace

void TypeKey(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}

void TypeFirstKey(ActionKey act, wchar_t key1) {
    SendKey(ActionVk(act), false);
    TypeKey(static_cast<WORD>(key1));
}

void ReleaseAction(ActionKey act) { SendKey(ActionVk(act), true); }

void TypeSequence(ActionKey act, wchar_t key1, wchar_t key2) {
    TypeFirstKey(act, key1);
    TypeKey(static_cast<WORD>(key2));
    ReleaseAction(act);
}

int CountLines(const std::wstring& log, const std::wstring& part) {
    int n = 0;
    for (size_t at = log.find(part); at != std::wstring::npos; at = log.find(part, at + part.size())) ++n;
    return n;
}

std::wstring Screenshot(const std::wstring& distDir, const std::wstring& name) {
    // distDir is the build's dist folder as Wine names it (Z: is the Unix root).
    std::wstring dir = distDir.substr(0, distDir.find_last_of(L'\\')) + L"\\screenshots";
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring file = dir + L"\\" + name + L".png";
    std::wstring unixFile = file.substr(2);
    for (wchar_t& c : unixFile) {
        if (c == L'\\') c = L'/';
    }
    wchar_t display[64] = {};
    if (!GetEnvironmentVariableW(L"DISPLAY", display, 64)) return L"";
    DeleteFileW(file.c_str());
    // Wine starts a Unix program given by its path on drive Z: like any other.
    wts::Process shot;
    if (!wts::StartProcess(shot, L"Z:\\usr\\bin\\import",
                           std::wstring(L"-display ") + display + L" -window root \"" + unixFile + L"\"")) {
        return L"";
    }
    wts::WaitUntil([&] { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000, 50);
    Sleep(300);  // the file appears before import has finished writing it
    shot.WaitExit(20000);
    return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES ? file : L"";
}

}  // namespace layout

#include "tests/e2e/LayoutSupport.h"

#include <algorithm>
#include <cstdio>

namespace layout {

RECT Rect(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

std::string RectText(const RECT& r) {
    char buf[96];
    snprintf(buf, sizeof buf, "(%ld,%ld %ldx%ld)", r.left, r.top, r.right - r.left, r.bottom - r.top);
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

RECT PrimaryMonitorEntry() {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int taskbar = GetSystemMetrics(SM_CYSCREEN) - (work.bottom - work.top);
    return Rect(0, work.top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - taskbar);
}

RECT Cell(int rows, int columns, int k, const RECT& m) {
    const int w = (m.right - m.left) / columns, h = (m.bottom - m.top) / rows;
    return Rect(m.left + (k % columns) * w, m.top + (k / columns) * h, w, h);
}

SampleWindows::~SampleWindows() {
    if (!proc.Running()) return;
    for (const auto& w : windows) PostMessageW(w.second, WM_CLOSE, 0, 0);
    proc.WaitExit(5000);
}

bool SampleWindows::Start(const std::vector<SampleSpec>& specs, DWORD timeoutMs) {
    std::wstring args;
    for (const SampleSpec& s : specs) {
        wchar_t rect[64];
        swprintf(rect, 64, L"%ld,%ld,%ld,%ld", s.rect.left, s.rect.top, s.rect.right - s.rect.left,
                 s.rect.bottom - s.rect.top);
        args += L" \"" + s.title + L"|" + rect + (s.flags.empty() ? L"" : L"|" + s.flags) + L"\"";
    }
    if (!wts::StartProcess(proc, wts::ExeDir() + L"\\SampleWindow.exe", args) ||
        !wts::WaitUntil([&] { return wts::FindWindows(proc.Pid(), L"TessoraSample").size() == specs.size(); },
                        timeoutMs)) {
        return false;
    }
    for (HWND h : wts::FindWindows(proc.Pid(), L"TessoraSample")) windows.emplace_back(wts::WindowText(h), h);
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

std::string SampleWindows::Where(const std::vector<std::wstring>& titles) const {
    std::string out;
    for (const auto& w : windows) {
        if (titles.empty() || std::count(titles.begin(), titles.end(), w.first)) {
            out += wts::Wide2Narrow(w.first) + RectText(WindowRect(w.second)) + " ";
        }
    }
    return out;
}

bool SampleWindows::StackTopDown(const std::vector<std::wstring>& titles) const {
    std::vector<HWND> windows;
    for (const std::wstring& t : titles) windows.push_back(Get(t));
    return layout::StackTopDown(windows);
}

bool StackTopDown(const std::vector<HWND>& windows) {
    // Activation from earlier steps may still be on its way and reorder them: try until it holds.
    for (int attempt = 0; attempt < 20; ++attempt) {
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        DWORD_PTR result = 0;
        SendMessageTimeoutW(windows.front(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        Sleep(50);
        if (ZOrder(windows) == windows) return true;
    }
    return false;
}

std::vector<HWND> ZOrder(const std::vector<HWND>& windows) {
    std::vector<HWND> order;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), h) != windows.end()) order.push_back(h);
    return order;
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
    Sleep(25);  // the hook runs on a thread of its own: give it each event in turn
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

}  // namespace layout

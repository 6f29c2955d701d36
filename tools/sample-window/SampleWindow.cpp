// Sample windows for the layout scenarios and the benchmark: one process, one thread, as many
// top-level windows as asked for, each with a given title and rectangle.
//
//   SampleWindow.exe "<title>|x,y,w,h[|flag,flag...]" ...
//
// Flags: min (shown minimised), disabled, hidden, topmost, fg (made the foreground window once
// all are shown), tool (a tool window), slow=N (answers every change of its place or stacking N
// ms late, as a busy program does), keys (every key message it receives is appended to the
// file named by the environment variable TESSORA_SAMPLE_KEYLOG), lag (each move or resize of it
// takes its thread 100 ms, as a program that lays itself out again). A title may be empty. Windows are created and shown
// in argument order, so the last one ends on top of the z-order.
//
// Messages a test may post to any of the windows:
//   WM_APP + 1, wParam = milliseconds: the thread sleeps that long (the window stops answering)
//   WM_CLOSE: that window goes; the process ends with its last window
//
// The time of the latest move or resize of any of its windows (QueryPerformanceCounter), the
// number of them, and the time of the first one since a reader last set firstMove to 0 are kept
// in the shared memory "TessoraSampleClock-<process id>" (SampleClock).
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const wchar_t kClassName[] = L"TessoraSample";
constexpr UINT WM_SAMPLE_SLEEP = WM_APP + 1;

int g_windows = 0;

struct SampleClock {
    volatile LONGLONG lastMove;
    volatile LONG moves;
    volatile LONGLONG firstMove;
};
SampleClock* g_clock = nullptr;
HANDLE g_keyLog = INVALID_HANDLE_VALUE;
constexpr DWORD kLagMs = 100;
HWND g_keyWindow = nullptr;

// One line per key message: its name, the key or character in hex, and whether Alt was down.
void LogKeyMessage(UINT msg, WPARAM wp) {
    const char* name = nullptr;
    switch (msg) {
    case WM_KEYDOWN: name = "KD"; break;
    case WM_KEYUP: name = "KU"; break;
    case WM_SYSKEYDOWN: name = "SKD"; break;
    case WM_SYSKEYUP: name = "SKU"; break;
    case WM_CHAR: name = "CH"; break;
    case WM_SYSCHAR: name = "SCH"; break;
    default: return;
    }
    char line[48];
    const int n = wsprintfA(line, "%s %02X %d\r\n", name, static_cast<unsigned>(wp & 0xFFFF),
                            GetKeyState(VK_MENU) < 0 ? 1 : 0);
    DWORD written = 0;
    WriteFile(g_keyLog, line, static_cast<DWORD>(n), &written, nullptr);
}

void OpenKeyLog() {
    wchar_t path[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TESSORA_SAMPLE_KEYLOG", path, MAX_PATH)) return;
    g_keyLog = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

void OpenClock() {
    wchar_t name[64];
    wsprintfW(name, L"TessoraSampleClock-%lu", GetCurrentProcessId());
    HANDLE map = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SampleClock), name);
    if (map) g_clock = static_cast<SampleClock*>(MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof(SampleClock)));
}

struct WindowSpec {
    std::wstring title;
    RECT rect = {};
    bool minimised = false, disabled = false, hidden = false, topmost = false, foreground = false, tool = false,
         keys = false, lag = false;
    DWORD slowMs = 0;
};

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos) return parts;
        start = at + 1;
    }
}

bool ParseSpec(const std::wstring& arg, WindowSpec& spec) {
    const std::vector<std::wstring> parts = Split(arg, L'|');
    if (parts.size() < 2) return false;
    spec.title = parts[0];
    const std::vector<std::wstring> nums = Split(parts[1], L',');
    if (nums.size() != 4) return false;
    const int x = _wtoi(nums[0].c_str()), y = _wtoi(nums[1].c_str());
    spec.rect = {x, y, x + _wtoi(nums[2].c_str()), y + _wtoi(nums[3].c_str())};
    if (parts.size() > 2) {
        for (const std::wstring& f : Split(parts[2], L',')) {
            if (f == L"min") spec.minimised = true;
            else if (f == L"disabled") spec.disabled = true;
            else if (f == L"hidden") spec.hidden = true;
            else if (f == L"topmost") spec.topmost = true;
            else if (f == L"fg") spec.foreground = true;
            else if (f == L"tool") spec.tool = true;
            else if (f.compare(0, 5, L"slow=") == 0) spec.slowMs = static_cast<DWORD>(_wtoi(f.c_str() + 5));
            else if (f == L"keys") spec.keys = true;
            else if (f == L"lag") spec.lag = true;
        }
    }
    return true;
}

LRESULT CALLBACK SampleProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_WINDOWPOSCHANGING:
        if (const LONG_PTR slowMs = GetWindowLongPtrW(h, GWLP_USERDATA)) Sleep(static_cast<DWORD>(slowMs));
        return DefWindowProcW(h, msg, wp, lp);
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* wp_ = reinterpret_cast<const WINDOWPOS*>(lp);
        if (g_clock && (wp_->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            g_clock->lastMove = now.QuadPart;
            InterlockedCompareExchange64(&g_clock->firstMove, now.QuadPart, 0);
            InterlockedIncrement(&g_clock->moves);
        }
        if (GetPropW(h, L"lag") && (wp_->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
            Sleep(kLagMs);
        return DefWindowProcW(h, msg, wp, lp);
    }
    case WM_SAMPLE_SLEEP:
        Sleep(static_cast<DWORD>(wp));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT rc;
        GetClientRect(h, &rc);
        // A colour per window, so that a screenshot tells them apart.
        const UINT_PTR n = reinterpret_cast<UINT_PTR>(h) / 4;
        HBRUSH brush = CreateSolidBrush(RGB(60 + (n * 53) % 160, 60 + (n * 97) % 160, 60 + (n * 31) % 160));
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
        HFONT font = CreateFontW(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Arial");
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t title[256] = {};
        GetWindowTextW(h, title, 256);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, title, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(h, &ps);
        return 0;
    }
    case WM_DESTROY:
        if (--g_windows == 0) PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(h, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<WindowSpec> specs;
    for (int i = 1; argv && i < argc; ++i) {
        WindowSpec spec;
        if (ParseSpec(argv[i], spec)) specs.push_back(spec);
    }
    if (argv) LocalFree(argv);
    if (specs.empty()) return 2;
    OpenClock();
    OpenKeyLog();

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SampleProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    RegisterClassExW(&wc);

    HWND foreground = nullptr;
    for (const WindowSpec& s : specs) {
        DWORD ex = 0;
        if (s.topmost) ex |= WS_EX_TOPMOST;
        if (s.tool) ex |= WS_EX_TOOLWINDOW;
        HWND h = CreateWindowExW(ex, kClassName, s.title.c_str(), WS_OVERLAPPEDWINDOW, s.rect.left, s.rect.top,
                                 s.rect.right - s.rect.left, s.rect.bottom - s.rect.top, nullptr, nullptr,
                                 instance, nullptr);
        if (!h) return 3;
        ++g_windows;
        SetWindowLongPtrW(h, GWLP_USERDATA, static_cast<LONG_PTR>(s.slowMs));
        if (s.disabled) EnableWindow(h, FALSE);
        if (s.minimised) ShowWindow(h, SW_SHOWMINNOACTIVE);
        else if (!s.hidden) ShowWindow(h, SW_SHOW);
        if (s.foreground) foreground = h;
        if (s.keys) g_keyWindow = h;
        if (s.lag) SetPropW(h, L"lag", reinterpret_cast<HANDLE>(1));
    }
    if (foreground) SetForegroundWindow(foreground);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == g_keyWindow && g_keyLog != INVALID_HANDLE_VALUE) LogKeyMessage(msg.message, msg.wParam);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

#include "engine/WindowUtil.h"

#include <propidl.h>
#include <propsys.h>
#include <tlhelp32.h>

#include <algorithm>
#include <set>

#include "engine/core/Monitors.h"

namespace {

// The shell's window property store is looked up at run time: older systems and Wine may lack it.
typedef HRESULT(WINAPI* PFN_SHGetPropertyStoreForWindow)(HWND, REFIID, void**);

// {886D8EEB-8CF2-4446-8D02-CDBA1DBDCF99}
const IID kIidPropertyStore = {0x886d8eeb, 0x8cf2, 0x4446, {0x8d, 0x02, 0xcd, 0xba, 0x1d, 0xbd, 0xcf, 0x99}};
// The application user model id: {9F4C2855-9F79-4B39-A8D0-E1D42DE1D5F3}, 5
const PROPERTYKEY kKeyAppUserModelId = {
    {0x9f4c2855, 0x9f79, 0x4b39, {0xa8, 0xd0, 0xe1, 0xd4, 0x2d, 0xe1, 0xd5, 0xf3}}, 5};

const wchar_t kAppFrameClass[] = L"ApplicationFrameWindow";

constexpr int kNameBuffer = 260;  // class names and titles are read into 260 characters

CString ReadClassName(HWND h) {
    wchar_t buf[kNameBuffer] = {};
    GetClassNameW(h, buf, kNameBuffer);
    return CString(buf);
}

CString ReadTitle(HWND h) {
    wchar_t buf[kNameBuffer] = {};
    GetWindowTextW(h, buf, kNameBuffer);
    return CString(buf);
}

struct MonitorOfDevice {
    const wchar_t* device;
    engine::DisplayDeviceFacts* facts;
};

BOOL CALLBACK TakeMonitorRect(HMONITOR monitor, HDC, LPRECT, LPARAM arg) {
    auto* wanted = reinterpret_cast<MonitorOfDevice*>(arg);
    MONITORINFOEXW info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info) || lstrcmpiW(info.szDevice, wanted->device) != 0) return TRUE;
    engine::DisplayDeviceFacts& f = *wanted->facts;
    f.hasMode = true;
    f.x = info.rcMonitor.left;
    f.y = info.rcMonitor.top;
    f.width = info.rcMonitor.right - info.rcMonitor.left;
    f.height = info.rcMonitor.bottom - info.rcMonitor.top;
    return FALSE;
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

engine::DisplayDeviceFacts ReadDisplayDevice(DWORD index) {
    engine::DisplayDeviceFacts f;
    DISPLAY_DEVICEW dd = {};
    dd.cb = sizeof(dd);
    if (!EnumDisplayDevicesW(nullptr, index, &dd, 0)) return f;
    f.exists = true;
    f.attachedToDesktop = (dd.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
    f.mirroring = (dd.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0;
    DEVMODEW dm = {};
    dm.dmSize = sizeof(dm);
    if (EnumDisplaySettingsW(dd.DeviceName, ENUM_CURRENT_SETTINGS, &dm)) {
        f.hasMode = true;
        f.x = dm.dmPosition.x;
        f.y = dm.dmPosition.y;
        f.width = static_cast<int>(dm.dmPelsWidth);
        f.height = static_cast<int>(dm.dmPelsHeight);
    }
    // A process that first asked while a monitor was switched off can go on being told an empty
    // mode for it once it is back (seen under Wine); the monitor's own rectangle is current.
    if (f.attachedToDesktop && (f.width == 0 || f.height == 0)) {
        MonitorOfDevice wanted{dd.DeviceName, &f};
        EnumDisplayMonitors(nullptr, nullptr, TakeMonitorRect, reinterpret_cast<LPARAM>(&wanted));
    }
    return f;
}

}  // namespace

void CWindowUtil::GetMonitorRects(int* count, ScreenRect* table) {
    const int systemCount = GetSystemMetrics(SM_CMONITORS);
    if (count) *count = systemCount;
    if (systemCount < 1 || !table) return;
    // Device indexes are contiguous: the first one that does not exist ends the list.
    std::vector<engine::DisplayDeviceFacts> devices;
    for (int i = 0; i < engine::kMaxDisplayDeviceIndex; ++i) {
        engine::DisplayDeviceFacts f = ReadDisplayDevice(static_cast<DWORD>(i));
        if (!f.exists) break;
        devices.push_back(f);
    }
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    engine::WorkArea wa{work.left, work.top, work.right, work.bottom};
    engine::FillMonitorTable(systemCount, devices.data(), static_cast<int>(devices.size()),
                             GetSystemMetrics(SM_CYSCREEN), wa, table);
}

int CWindowUtil::MonitorIndexFromPoint(const ScreenRect* table, int count, int x, int y) {
    return engine::MonitorIndexFromPoint(table, count, x, y);
}

bool CWindowUtil::IsWindowUsable(HWND hWnd) {
    if (IsIconic(hWnd) == TRUE) return false;
    if (!IsWindow(hWnd)) return false;
    if (IsHungAppWindow(hWnd) == TRUE) return false;
    return IsWindowEnabled(hWnd) != FALSE;
}

bool CWindowUtil::IsExcludedWindow(const CString& className, const CString& title) {
    return engine::IsExcludedWindow(className, title);
}

HWND CWindowUtil::GetTopWindowOfProcess(DWORD processId) {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        DWORD pid = 0;
        if (GetWindowThreadProcessId(h, &pid) && pid == processId) {
            for (HWND parent = GetParent(h); parent; parent = GetParent(h)) h = parent;
            return h;
        }
    }
    return nullptr;
}

void CWindowUtil::ProbeUwpHosts() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return;
    std::vector<engine::ProcessEntry> entries;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
        entries.push_back(engine::ProcessEntry{pe.th32ProcessID, CString(pe.szExeFile)});
    }
    CloseHandle(snap);
    engine::UwpHostFlags flags = HostFlags();
    engine::ProbeUwpHosts(entries, [](std::uint32_t pid) {
        HWND h = GetTopWindowOfProcess(pid);
        DWORD_PTR result = 0;
        return h && SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 500, &result) != 0;
    }, flags);
    m_bStoreLive = flags.storeLive;
    m_bSettingsLive = flags.settingsLive;
    m_bEdgeLive = flags.edgeLive;
}

bool CWindowUtil::ReadAppUserModelId(HWND hWnd, CString& id) {
    static const PFN_SHGetPropertyStoreForWindow getStore = [] {
        HMODULE shell = GetModuleHandleW(L"shell32.dll");
        if (!shell) shell = LoadLibraryW(L"shell32.dll");
        return shell ? reinterpret_cast<PFN_SHGetPropertyStoreForWindow>(
                           reinterpret_cast<void*>(GetProcAddress(shell, "SHGetPropertyStoreForWindow")))
                     : nullptr;
    }();
    if (!getStore) return false;
    // COM is not started with the program; S_FALSE when this thread already has it.
    static const bool comReady = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    if (!comReady) return false;
    IPropertyStore* store = nullptr;
    if (FAILED(getStore(hWnd, kIidPropertyStore, reinterpret_cast<void**>(&store))) || !store) return false;
    bool found = false;
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(store->GetValue(kKeyAppUserModelId, &value)) && value.vt == VT_LPWSTR && value.pwszVal) {
        id = value.pwszVal;
        found = true;
    }
    PropVariantClear(&value);
    store->Release();
    return found;
}

BOOL CWindowUtil::IsLiveUwpWindow(HWND hWnd, const CString& title) {
    CString id;
    const bool known = ReadAppUserModelId(hWnd, id);
    return engine::IsLiveUwpWindow(title, known ? &id : nullptr, HostFlags()) ? TRUE : FALSE;
}

CString CWindowUtil::GetModifierName(const CString& code) { return engine::GetModifierName(code); }

engine::WindowFacts CWindowUtil::ReadWindowFacts(HWND h) {
    engine::WindowFacts f;
    f.id = reinterpret_cast<engine::WindowId>(h);
    // One call for the styles and the rectangle: every call on another program's window is a trip
    // to the system, and a layout reads a hundred windows before its first move.
    WINDOWINFO info = {};
    info.cbSize = sizeof(info);
    const bool exists = GetWindowInfo(h, &info) != FALSE;
    // top-level windows: visible, minimised and enabled are their own style bits
    f.visible = exists && (info.dwStyle & WS_VISIBLE) != 0;
    if (!f.visible) return f;
    f.className = ReadClassName(h);
    f.title = ReadTitle(h);
    f.minimised = (info.dwStyle & WS_MINIMIZE) != 0;
    f.exists = true;
    f.hung = IsHungAppWindow(h) == TRUE;
    f.enabled = (info.dwStyle & WS_DISABLED) == 0;
    f.topmost = (info.dwExStyle & WS_EX_TOPMOST) != 0;
    if (f.className == kAppFrameClass) f.appIdKnown = ReadAppUserModelId(h, f.appUserModelId);
    f.rect = engine::WinRect{info.rcWindow.left, info.rcWindow.top, info.rcWindow.right, info.rcWindow.bottom};
    return f;
}

std::vector<engine::WindowFacts> CWindowUtil::ReadTopLevelWindows() {
    // The whole list in one call, from the top of the z-order down; a window that goes meanwhile
    // reads as not visible.
    std::vector<HWND> handles;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&handles));
    std::vector<engine::WindowFacts> windows;
    windows.reserve(handles.size());
    for (HWND h : handles) {
        engine::WindowFacts f = ReadWindowFacts(h);
        if (f.visible) windows.push_back(std::move(f));
    }
    return windows;
}

bool CWindowUtil::HasAppFrameWindow(const std::vector<engine::WindowFacts>& windows) {
    for (const engine::WindowFacts& f : windows)
        if (f.className == kAppFrameClass) return true;
    return false;
}

bool CWindowUtil::IsLayoutCandidate(HWND hWnd, const std::vector<CString>& excludeNames) {
    return engine::IsLayoutCandidate(ReadWindowFacts(hWnd), excludeNames, HostFlags());
}

int CWindowUtil::ApplyMoves(const std::vector<engine::WindowMove>& moves) {
    const DWORD self = GetCurrentThreadId();
    DWORD pendingThread = 0;
    HWND pendingWnd = nullptr;
    DWORD pendingMoves = 0;
    std::set<DWORD> slowThreads;
    // Lets the thread that was sent the last moves finish them before another thread's window
    // is raised, so that the stacking follows the plan.
    auto settle = [&] {
        if (pendingWnd && !slowThreads.count(pendingThread)) {
            DWORD_PTR result = 0;
            // A thread that answers works through its moves in a few milliseconds each.
            const DWORD limit = kSettleMs + kSettlePerMoveMs * pendingMoves;
            if (!SendMessageTimeoutW(pendingWnd, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, limit, &result) &&
                IsWindow(pendingWnd))
                slowThreads.insert(pendingThread);
        }
        pendingWnd = nullptr;
        pendingThread = 0;
        pendingMoves = 0;
    };
    int notMade = 0;
    // A window's calls come in pairs: its state is read once for both.
    HWND lastWnd = nullptr;
    DWORD thread = 0;
    bool usable = false;
    for (const engine::WindowMove& m : moves) {
        HWND h = reinterpret_cast<HWND>(m.hwnd);
        if (h != lastWnd) {
            lastWnd = h;
            thread = GetWindowThreadProcessId(h, nullptr);
            usable = thread != 0 && IsWindowUsable(h);
        }
        if (!usable) {
            ++notMade;
            continue;
        }
        HWND after = m.insertAfter == engine::InsertAfter::kTopmost ? HWND_TOPMOST : HWND_NOTOPMOST;
        // Raising a window is enough: activating each in turn would leave the keyboard focus on
        // whichever window happened to be moved last instead of the one the user was typing in.
        const UINT flags = m.flags | SWP_NOACTIVATE;
        BOOL ok;
        if (thread == self) {
            settle();
            ok = SetWindowPos(h, after, m.x, m.y, m.width, m.height, flags);
        } else {
            if (thread != pendingThread) settle();
            ok = SetWindowPos(h, after, m.x, m.y, m.width, m.height, flags | SWP_ASYNCWINDOWPOS);
            pendingThread = thread;
            pendingWnd = h;
            ++pendingMoves;
        }
        if (!ok) ++notMade;
    }
    settle();
    return notMade;
}

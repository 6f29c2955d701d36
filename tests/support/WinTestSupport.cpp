#include "tests/support/WinTestSupport.h"

#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

namespace wts {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // wakes for a message too: a worker's SendMessage waits on this thread
        MsgWaitForMultipleObjects(0, nullptr, FALSE, stepMs, QS_ALLINPUT);
    }
}

Process::~Process() {
    if (!ok) return;
    if (Running()) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

DWORD Process::WaitExit(DWORD timeoutMs) {
    if (!ok) return 0xFFFFFFFF;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        return 0xFFFFFFFF;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

bool Process::Running() const {
    return ok && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool StartProcess(Process& p, const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    p.ok = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &p.pi) != FALSE;
    return p.ok;
}

namespace {
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = toUnix ? toUnix(path.c_str()) : nullptr;
    const std::string unix = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

// A running program of exactly this path, opened.
bool OpenByPath(Process& p, const std::wstring& exe) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W e = {};
    e.dwSize = sizeof(e);
    for (BOOL more = Process32FirstW(snap, &e); more && !p.ok; more = Process32NextW(snap, &e)) {
        HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, e.th32ProcessID);
        if (!h) continue;
        wchar_t path[MAX_PATH] = {};
        DWORD n = MAX_PATH;
        if (QueryFullProcessImageNameW(h, 0, path, &n) && _wcsicmp(path, exe.c_str()) == 0) {
            p.pi.hProcess = h;
            p.pi.dwProcessId = e.th32ProcessID;
            p.ok = true;
        } else {
            CloseHandle(h);
        }
    }
    CloseHandle(snap);
    return p.ok;
}
}  // namespace

bool StartProcessTraced(Process& p, const std::wstring& exe, const std::string& channels, const std::wstring& log) {
    if (!WriteFileBytes(log, "")) return false;
    const std::string unixLog = UnixPath(log);
    if (unixLog.empty()) return false;
    // Wine hands a program that is no Windows program to the Unix side; no handle comes back
    std::wstring cmd = L"/bin/sh -c \"WINEDEBUG=" + Narrow2Wide(channels) + L" exec wine '" + exe + L"' 2>'" +
                       Narrow2Wide(unixLog) + L"'\"";
    const std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION shell = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &shell))
        return false;
    return WaitUntil([&] { return OpenByPath(p, exe); }, 15000, 50);
}

HWND MakeTestWindow(const wchar_t* cls, WNDPROC proc, HWND parent) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);  // fails harmlessly once registered
    return CreateWindowExW(0, cls, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

static NOTIFYICONDATAW IconKey(HWND h, UINT id) {
    NOTIFYICONDATAW n = {};
    n.cbSize = sizeof(n);
    n.hWnd = h;
    n.uID = id;
    return n;
}

bool ShellHasIcon(HWND h, UINT id) {
    NOTIFYICONDATAW n = IconKey(h, id);
    return Shell_NotifyIconW(NIM_MODIFY, &n) != FALSE;  // no flags: changes nothing
}

void ShellForgetsIcon(HWND h, UINT id) {
    NOTIFYICONDATAW n = IconKey(h, id);
    Shell_NotifyIconW(NIM_DELETE, &n);
}

std::wstring WindowText(HWND h) {
    wchar_t buf[4096] = {};
    // WM_GETTEXT reads controls of other processes too. The bound is well beyond the 2 s that Wine
    // holds a program while it hides a framed window: a read that gave up would look like an empty
    // text. A window that stopped answering is flagged hung after 5 s and gives up at once.
    SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 10000, nullptr);
    return buf;
}

std::wstring ClassName(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

namespace {
struct FindContext {
    DWORD pid;
    const std::wstring* cls;
    const std::wstring* caption;
    std::vector<HWND> out;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<FindContext*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (c->pid && owner != c->pid) return TRUE;
    if (!c->cls->empty() && ClassName(h) != *c->cls) return TRUE;
    if (!c->caption->empty()) {
        wchar_t buf[512] = {};
        GetWindowTextW(h, buf, 512);
        if (*c->caption != buf) return TRUE;
    }
    c->out.push_back(h);
    return TRUE;
}
}  // namespace

std::vector<HWND> FindWindows(DWORD pid, const std::wstring& cls, const std::wstring& caption) {
    FindContext ctx{pid, &cls, &caption, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return ctx.out;
}

HWND WaitForWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        auto all = FindWindows(pid, cls, caption);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
    }, timeoutMs);
    return found;
}

HWND WaitMessageBox(DWORD pid, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND h : FindWindows(pid, L"#32770")) {
            // a message box has its text in a static child; our dialogs are named differently
            if (IsWindowVisible(h) && GetDlgItem(h, 0xFFFF)) { box = h; return true; }
        }
        return false;
    }, timeoutMs);
    return box;
}

bool AnswerMessageBox(DWORD pid, MessageBoxInfo& info, int button, DWORD timeoutMs) {
    HWND box = WaitMessageBox(pid, timeoutMs);
    if (!box) return false;
    // the box can be visible before its caption and its text are set, for as long as Wine holds the
    // program while it hides another window (2 s without a window manager); what the wait read is
    // kept, as another read may meet the program held again
    WaitUntil([&] {
        info.caption = WindowText(box);
        info.text = WindowText(GetDlgItem(box, 0xFFFF));
        return !info.caption.empty() && !info.text.empty();
    }, 10000);
    info.hwnd = box;
    info.owner = GetWindow(box, GW_OWNER);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    // wait until this box is gone so that the next call sees the next box
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return true;
}

std::wstring ExeDir() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\'));
}

static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = f.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = dir + L"\\" + name;
            if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &f));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring TempDir(const std::wstring& name) {
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    // tests of one program run in parallel processes: each gets folders of its own
    std::wstring dir = std::wstring(tmp) + L"tessora-tests\\" + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW((std::wstring(tmp) + L"tessora-tests").c_str(), nullptr);
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

bool CopyDir(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW f;
    HANDLE h = FindFirstFileW((from + L"\\*").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = f.cFileName;
        if (name == L"." || name == L"..") continue;
        if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyDir(from + L"\\" + name, to + L"\\" + name) && ok;
        } else {
            ok = CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
        }
    } while (FindNextFileW(h, &f));
    FindClose(h);
    return ok;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof(buf), &n, nullptr) && n) bytes.append(buf, n);
    CloseHandle(h);
    return true;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) && n == bytes.size();
    CloseHandle(h);
    return ok;
}

std::wstring ReadUtf16File(const std::wstring& path) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes) || bytes.size() < 2) return L"";
    size_t start = (static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) ? 2 : 0;
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + start), (bytes.size() - start) / 2);
}

std::wstring Narrow2Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

std::string Wide2Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// The block as the shell makes it: DROPFILES, then the wide paths, then an empty one.
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    size_t chars = 1;
    for (const auto& p : paths) chars += p.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(df + 1);
    for (const auto& p : paths) {
        memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

}  // namespace wts

#include "tests/e2e/TessoraRun.h"

TessoraRun::TessoraRun(const std::wstring& name) {
    m_dir = wts::TempDir(L"e2e-" + name);
    wts::CopyDir(TESSORA_DIST_DIR_W, m_dir);
}

TessoraRun::~TessoraRun() {
    if (proc.Running() && main) {
        PostMessageW(main, WM_COMMAND, 32777, 0);
        proc.WaitExit(5000);
    }
}

void TessoraRun::WriteConfig(const std::string& text) { wts::WriteFileBytes(Path(L"config.ini"), text); }

void TessoraRun::WriteSettings(const std::string& language, int overlap, int autoUpdate, int executeType,
                               int showHotkey) {
    WriteConfig("[General]\r\nLanguage=" + language + "\r\nOverlapWindows=" + std::to_string(overlap) +
                "\r\nAutomatics=0\r\nAutoUpdate=" + std::to_string(autoUpdate) +
                "\r\nExecuteHotkeyType=" + std::to_string(executeType) + "\r\nShowHotkey=" +
                std::to_string(showHotkey) + "\r\n");
}

void TessoraRun::RemoveFile(const wchar_t* name) { DeleteFileW(Path(name).c_str()); }

bool TessoraRun::Start() { return wts::StartProcess(proc, Path(L"Tessora.exe")); }

HWND TessoraRun::WaitMainWindow(DWORD timeoutMs) {
    main = nullptr;
    // the log's option line is the last step of start-up
    wts::WaitUntil([&] {
        if (!main) main = wts::WaitForWindow(proc.Pid(), L"#32770", L"Tessora Debug", 0);
        return main && LogText().find(L"Option:[") != std::wstring::npos;
    }, timeoutMs);
    if (main) WaitSplashGone();
    return main;
}

void TessoraRun::WaitSplashGone() {
    // the splash: the program's layered dialog that no window owns
    auto splashShows = [&] {
        for (HWND h : wts::FindWindows(proc.Pid(), L"#32770"))
            if ((GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED) && !GetWindow(h, GW_OWNER) && IsWindowVisible(h))
                return true;
        return false;
    };
    wts::WaitUntil([&] { return !splashShows(); }, 10000);
    // it is flagged hidden as the hiding begins; this answer comes once the program is free again
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

DWORD TessoraRun::ExitByTray() {
    PostMessageW(main, WM_COMMAND, 32777, 0);
    return proc.WaitExit(10000);
}

std::wstring TessoraRun::LogText() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t name[64];
    swprintf(name, 64, L"Log\\Log_%04d-%02d.log", t.wYear, t.wMonth);
    return wts::ReadUtf16File(Path(name));
}

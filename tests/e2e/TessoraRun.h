// One run of the real program in a fresh copy of dist/, for the end-to-end scenarios.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/WinTestSupport.h"

class TessoraRun {
public:
    // Copies dist/ into a folder of the scenario's name; `config` replaces config.ini when set.
    explicit TessoraRun(const std::wstring& name);
    ~TessoraRun();

    void WriteConfig(const std::string& text);
    // config.ini with every key set: the shipped values unless given.
    void WriteSettings(const std::string& language = "English", int overlap = 1, int autoUpdate = 0,
                       int executeType = 0, int showHotkey = 1);
    void RemoveFile(const wchar_t* name);
    bool Start();
    // Waits for the hidden main window, which exists once start-up has finished, and for the
    // splash to be gone.
    HWND WaitMainWindow(DWORD timeoutMs = 20000);
    // Tray "Exit"; the exit code (0xFFFFFFFF when it did not end).
    DWORD ExitByTray();
    std::wstring LogText() const;  // this month's log
    std::wstring Path(const std::wstring& name) const { return m_dir + L"\\" + name; }

    wts::Process proc;
    HWND main = nullptr;

private:
    // The splash hides itself two seconds after it appears, and Wine holds the program for two
    // seconds while it hides that window (no window manager): waited out here, that hold never
    // lands in the middle of a scenario's step (a box being read, a panel being timed).
    void WaitSplashGone();

    std::wstring m_dir;
};

// Helpers shared by the Windows-side and end-to-end tests: processes, windows, message boxes,
// files. Test code only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace wts {

// Polls until `done` holds or the time runs out, handling this thread's messages meanwhile; true
// when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD stepMs = 20);

struct Process {
    PROCESS_INFORMATION pi = {};
    bool ok = false;
    ~Process();
    DWORD Pid() const { return pi.dwProcessId; }
    // Waits for the exit; the exit code, or 0xFFFFFFFF when it did not end in time (then killed).
    DWORD WaitExit(DWORD timeoutMs = 10000);
    bool Running() const;
};

// Starts a program with its own directory as the working directory.
bool StartProcess(Process& p, const std::wstring& exe, const std::wstring& args = L"");
// The same, with Wine's debug channels set (e.g. "trace+file") and their output written to the file
// `log`. Wine writes that output to the Unix standard error, which a program started from here would
// share with this one: so it is started from a Unix shell, and found again by its path.
bool StartProcessTraced(Process& p, const std::wstring& exe, const std::string& channels, const std::wstring& log);

// Top-level windows of a process, optionally of one class and/or caption (empty = any).
std::vector<HWND> FindWindows(DWORD pid, const std::wstring& cls = L"", const std::wstring& caption = L"");
HWND WaitForWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption, DWORD timeoutMs = 15000);

// A window of a class of the test's own, registered on first use.
HWND MakeTestWindow(const wchar_t* cls, WNDPROC proc, HWND parent = nullptr);
// Whether the shell holds a notification icon for (window, id); removing it, as a new shell would.
bool ShellHasIcon(HWND h, UINT id);
void ShellForgetsIcon(HWND h, UINT id);

std::wstring WindowText(HWND h);
std::wstring ClassName(HWND h);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
};
// Waits for a message box of the process; null when none showed up.
HWND WaitMessageBox(DWORD pid, DWORD timeoutMs = 15000);
// Waits for a message box of the process, reads it and answers it with the given button.
bool AnswerMessageBox(DWORD pid, MessageBoxInfo& info, int button = IDOK, DWORD timeoutMs = 15000);

// Files.
std::wstring TempDir(const std::wstring& name);  // a fresh, empty directory of this process
bool CopyDir(const std::wstring& from, const std::wstring& to);
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// A UTF-16LE file without its byte-order mark, as wide text.
std::wstring ReadUtf16File(const std::wstring& path);
std::wstring ExeDir();
std::wstring Narrow2Wide(const std::string& s);
std::string Wide2Narrow(const std::wstring& s);

// A drop of these paths for a window of this process, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

}  // namespace wts

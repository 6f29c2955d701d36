// Helpers of the layout scenarios, the engine's window tests and the layout benchmark: sample
// windows in a process of their own, keys typed through the real hook. Test code only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "rules/SqliteLibrary.h"
#include "tests/e2e/TessoraRun.h"
#include "tests/support/WinTestSupport.h"

namespace layout {

// Wine shows its own tray window on a desktop without a tray: kept out of layouts by excluding it.
constexpr const wchar_t* kHarnessWindowTitle = L"Wine System Tray";

RECT Rect(int x, int y, int width, int height);
std::string RectText(const RECT& r);
bool SameRect(const RECT& a, const RECT& b);
RECT WindowRect(HWND h);
#define EXPECT_RECT(expected, hwnd) EXPECT_EQ(layout::RectText(expected), layout::RectText(layout::WindowRect(hwnd)))

// The full screen less the taskbar height, as the program computes its one monitor.
RECT PrimaryMonitorEntry();
// Cell k of a rows x columns grid on it (or on another monitor entry).
RECT Cell(int rows, int columns, int k, const RECT& monitor = PrimaryMonitorEntry());

struct SampleSpec {
    std::wstring title;
    RECT rect;
    std::wstring flags;  // of tools/sample-window
};

// A process of tools/sample-window with the given windows.
class SampleWindows {
public:
    ~SampleWindows();
    bool Start(const std::vector<SampleSpec>& specs, DWORD timeoutMs = 20000);
    HWND Get(const std::wstring& title) const;
    RECT RectOf(const std::wstring& title) const { return WindowRect(Get(title)); }
    // "title(x,y wxh) " for each window named (all when none are), to compare states at once.
    std::string Where(const std::vector<std::wstring>& titles = {}) const;
    // Stacks them from the top of the z-order down without activating; false when that did not hold.
    bool StackTopDown(const std::vector<std::wstring>& titles) const;
    // The sample process stops answering for `ms`.
    void Hang(DWORD ms) const { PostMessageW(windows.front().second, WM_APP + 1, ms, 0); }

    wts::Process proc;
    std::vector<std::pair<std::wstring, HWND>> windows;
};

// Stacks windows of any processes from the top of the z-order down without activating; false when
// that did not hold. ZOrder: the given windows as they stack now, top first.
bool StackTopDown(const std::vector<HWND>& windows);
std::vector<HWND> ZOrder(const std::vector<HWND>& windows);

enum class ActionKey { kAlt, kCtrl };
// Holds the action key, types both keys, releases it.
void TypeSequence(ActionKey act, wchar_t key1, wchar_t key2);
// Holds the action key and types the first key only; ReleaseAction ends it.
void TypeFirstKey(ActionKey act, wchar_t key1);
void ReleaseAction(ActionKey act);
void TypeKey(WORD vk);

int CountLines(const std::wstring& log, const std::wstring& part);

// For the scenarios: starts the program in run's folder with these settings and excludes (and
// the harness's window) and puts the mouse on the primary monitor.
inline bool StartProgram(TessoraRun& run, int overlap, std::vector<std::wstring> excludes = {},
                         int executeType = 0, int autoUpdate = 0, const char* language = "English") {
    run.WriteSettings(language, overlap, autoUpdate, executeType);
    excludes.push_back(kHarnessWindowTitle);
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        for (const std::wstring& e : excludes) {
            int id = 0;
            if (store.AddExclude(CString(e.c_str()), &id, 0) != 0) return false;
        }
    }
    if (!run.Start() || !run.WaitMainWindow()) return false;
    const RECT m = PrimaryMonitorEntry();
    return SetCursorPos((m.left + m.right) / 2, (m.top + m.bottom) / 2) != FALSE;
}

// Stores a rule over one preset layout type on screen 1 in the rule database of `dir` (with its
// trailing backslash); the store's result code.
inline int AddPresetRule(const std::wstring& dir, const wchar_t* name, const wchar_t* hotkey, int typeId) {
    CRuleStore store(MakeRuleStoreHost(CString(dir.c_str()), [] {}));
    std::vector<ScreenTypeEntry> entries(1);
    entries[0].type_id = typeId;
    entries[0].active = 1;
    return store.AddRule(CString(name), CString(hotkey), entries, RegionList());
}

// The log line of a sequence on the primary monitor, ending in `result` (e.g. "(4) ...OK").
inline std::wstring PrimaryLogLine(ActionKey act, wchar_t key1, wchar_t key2, const std::wstring& result) {
    const RECT m = PrimaryMonitorEntry();
    return L"[M1 at 1(" + std::to_wstring(m.right - m.left) + L"x" + std::to_wstring(m.bottom - m.top) +
           (act == ActionKey::kAlt ? L") K1]: Alt + " : L") K2]: Ctrl + ") + key1 + L" + " + key2 + L" " + result +
           L"\r\n";
}

// Types Alt + key1 + key2 and waits until its log line on the primary monitor, ending in `result`
// (e.g. "(4) ...OK"), is written once more.
inline bool RunHotkey(TessoraRun& run, wchar_t key1, wchar_t key2, const std::wstring& result,
                      DWORD timeoutMs = 15000) {
    const std::wstring line = PrimaryLogLine(ActionKey::kAlt, key1, key2, result);
    const int before = CountLines(run.LogText(), line);
    TypeSequence(ActionKey::kAlt, key1, key2);
    return wts::WaitUntil([&] { return CountLines(run.LogText(), line) > before; }, timeoutMs);
}

}  // namespace layout

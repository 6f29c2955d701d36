// Helpers of the layout scenarios and the layout benchmark: sample windows in a process of
// their own, keys typed through the real hook, the monitor entry, screenshots. Test code only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/WinTestSupport.h"

namespace layout {

// Wine shows its own tray window on a desktop without a tray; the scenarios keep it out of
// their layouts through the exclude list.
constexpr const wchar_t* kHarnessWindowTitle = L"Wine System Tray";

RECT Rect(int x, int y, int width, int height);
std::wstring RectText(const RECT& r);
bool SameRect(const RECT& a, const RECT& b);
RECT WindowRect(HWND h);

// One sample window: its title, where it starts, and flags of tools/sample-window.
struct SampleSpec {
    std::wstring title;
    RECT rect;
    std::wstring flags;
};

// A process of tools/sample-window with the given windows.
class SampleWindows {
public:
    ~SampleWindows();
    bool Start(const std::vector<SampleSpec>& specs, DWORD timeoutMs = 20000);
    HWND Get(const std::wstring& title) const;
    RECT RectOf(const std::wstring& title) const { return WindowRect(Get(title)); }
    // Stacks the windows in this order from the top of the z-order down (without activating).
    // False when the order would not hold.
    bool StackTopDown(const std::vector<std::wstring>& titles) const;
    // The thread of the sample process sleeps for `ms` and does not answer meanwhile.
    void Hang(DWORD ms) const;
    void Close();

    wts::Process proc;
    std::vector<std::pair<std::wstring, HWND>> windows;
};

// The monitor entry that the program computes for a single monitor: the full screen less the
// taskbar height taken from the work area.
RECT PrimaryMonitorEntry();

// Action keys for TypeSequence.
enum class ActionKey { kAlt, kCtrl };
// Holds the action key, types both keys, releases the action key.
void TypeSequence(ActionKey act, wchar_t key1, wchar_t key2);
// Holds the action key and types the first key only; ReleaseAction ends it.
void TypeFirstKey(ActionKey act, wchar_t key1);
void ReleaseAction(ActionKey act);
void TypeKey(WORD vk);

// Lines of a log text that contain `part`.
int CountLines(const std::wstring& log, const std::wstring& part);

// Writes a PNG of the whole X display to <build>/screenshots/<name>.png; the path, or "" when
// the screenshot could not be taken.
std::wstring Screenshot(const std::wstring& distDir, const std::wstring& name);

}  // namespace layout

// Helpers of the user-interface scenarios: the program's open pop-up menu, screenshots. Test code
// only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/WinTestSupport.h"

namespace ui {

// The first visible top-level window of the process with this class and caption (empty: any).
HWND VisibleWindow(DWORD pid, const std::wstring& cls, const std::wstring& caption = L"");

struct PopupMenu {
    HWND window = nullptr;  // the menu's "#32768" window
    int defaultItem = -1;
    std::vector<UINT> ids;
    std::vector<std::wstring> texts;
};
// Waits for the process's pop-up menu and reads it from inside the process; false when none opened.
bool ReadOpenMenu(wts::Process& process, PopupMenu& menu);
// Chooses the item at a position with the keyboard.
void ChooseMenuItem(const PopupMenu& menu, int position);
bool WaitMenuGone(DWORD pid);

// Starts a command of the Unix shell; Wine starts it but cannot wait for it.
bool RunUnix(const std::wstring& script);
// Runs an xdotool script in the X display of the test, as a user's keys and clicks; true once it
// has finished.
bool Xdotool(const std::wstring& script);

// Writes a picture of a part of the screen to <build>/screenshots/<name>.png for a person to look
// at; false when it could not be made.
bool Screenshot(const std::wstring& name, const RECT& area);

}  // namespace ui

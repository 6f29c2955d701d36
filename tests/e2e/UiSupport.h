// Helpers of the user-interface scenarios: the tray icon as the shell sees it, the program's
// open pop-up menu, screenshots. Test code only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/WinTestSupport.h"

namespace ui {

const UINT kTrayNotify = WM_USER + 100;  // the main window's tray callback message
const UINT kTrayId = 134;

// True when the shell holds an icon for (window, id).
bool ShellHasIcon(HWND hWnd, UINT id = kTrayId);
// Removes it, as a restarting shell would.
void ShellForgetsIcon(HWND hWnd, UINT id = kTrayId);

// Mouse actions on the icon, delivered to the window as the shell does (without waiting).
void TrayMouse(HWND main, UINT mouseMessage);

struct PopupMenu {
    HWND window = nullptr;  // the menu's "#32768" window
    int defaultItem = -1;
    std::vector<UINT> ids;
    std::vector<std::wstring> texts;
};
// The visible pop-up menu of the process, or nullptr when none appears in time.
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs = 5000);
// Reads the process's open pop-up menu from inside the process; false when none is open.
bool ReadOpenMenu(wts::Process& process, PopupMenu& menu, DWORD timeoutMs = 5000);
// Chooses the item at a position with the keyboard, or closes the menu.
void ChooseMenuItem(const PopupMenu& menu, int position);
void CloseMenu(const PopupMenu& menu);
// Waits until the process has no visible pop-up menu.
bool WaitMenuGone(DWORD pid, DWORD timeoutMs = 5000);

// Visible top-level windows of the process with this class and caption.
std::vector<HWND> VisibleWindows(DWORD pid, const std::wstring& cls, const std::wstring& caption);
// A message box of the process, if one is showing.
HWND ShowingMessageBox(DWORD pid);

// The desktop work area.
RECT WorkArea();

// Writes a picture of a part of the screen to <build>/screenshots/<name>.png for a person to
// look at; false when it could not be made. The Unix "import" does the work.
bool Screenshot(const std::wstring& name, const RECT& area);
// Where the screenshots go, as a Windows path.
std::wstring ScreenshotDir();

// The four parts of a file's version joined by ".", or empty.
std::wstring FileVersion(const std::wstring& path);

}  // namespace ui

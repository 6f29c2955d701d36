// Helpers of the options-window scenarios, for every page's scenarios: opening the window from
// the tray, finding a page, clicking, the language combo, the Run value. Test code only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/TessoraRun.h"

namespace options {

// Control ids of the window (the program's resource ids).
constexpr int kCombo = 214, kOk = 1139, kCancel = 1140, kFirstPageButton = 1238;
// Page i (the side panel's order) holds this control; it tells the pages apart.
constexpr int kPageMarker[6] = {1235, 1176, 1187, 213, 1137, 1205};
enum Page { kGrid, kRules, kExclude, kSettings, kUpdate, kBackup };

// Starts the program with these settings; false when start-up did not finish.
bool Start(TessoraRun& run, const std::string& language = "English", int executeType = 0, int overlap = 1,
           int showHotkey = 1);
// Chooses Option on the tray menu and waits for the visible options window (null if none came).
HWND OpenFromTray(TessoraRun& run);
// Centred in a rectangle of the work area's size from the screen origin, and topmost.
bool CentredOnWorkArea(HWND h);
// The child page of the options window that holds page p's marker control.
HWND PageWindow(HWND options, Page p);
HWND PageControl(HWND options, Page p, int id);
// The page that is visible now, -1 when none or more than one is.
int ShownPage(HWND options);
// Clicks a button as the user would and waits until the program has handled it; a disabled
// button ignores it.
void Click(HWND button);
void ClickPageButton(HWND options, Page p);
// Selects the combo item with exactly this text and tells the window, as a user's pick does.
bool PickLanguage(HWND options, const std::wstring& name);
std::wstring SelectedLanguage(HWND options);  // empty when nothing is selected
std::wstring SelectedText(HWND dialog, int comboId);
std::wstring ComboItems(HWND dialog, int comboId);
// A visible dialog of the program that holds this control; null when none showed up.
HWND WaitDialog(TessoraRun& run, int controlId);
// The program's open or save dialog (null when none showed up), and a file chosen in it: the name
// typed and its OK pressed; with `replace`, Yes to the save dialog's question whether to replace it.
HWND WaitFileDialog(DWORD pid);
bool ChooseFile(DWORD pid, const std::wstring& path, bool replace = false);
// OK or Cancel; waits until the window is gone.
bool CloseWith(HWND options, int button);
bool IsChecked(HWND control);
// The program's Run value where a 32-bit program's registry view puts it; empty when absent.
std::wstring RunValue();
// Whether the value sits in the 64-bit view's own key too (it should not).
bool RunValueInNativeView();
void DeleteRunValue();
// The text of a key of the run's config.ini ("" when absent).
std::wstring ConfigValue(TessoraRun& run, const wchar_t* key);
// Drops files on a window of the program as the shell does: the DROPFILES block is written into
// the program, which frees it when it has read it. Returns once the drop has been handled.
bool DropFiles(wts::Process& p, HWND target, const std::vector<std::wstring>& paths);
// Waits for it to be drawn and writes a picture to build/win/screenshots/<name>.png.
bool Screenshot(HWND h, const std::wstring& name);

}  // namespace options

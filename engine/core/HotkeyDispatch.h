// What one WM_COPYDATA from the keyboard-hook library asks the main window to do, decided from
// the payload and the window's state alone; and where the hotkey panel goes on a work area.
#pragma once

#include <cstdint>

#include "framework/CString.h"

namespace engine {

constexpr int kPanelHideTimerId = 5;      // IDT_HIDE_ACTKEYPANEL
constexpr int kPanelPreviewMs = 2000;     // after a first key
constexpr int kPanelSequenceMs = 700;     // after a complete sequence
constexpr std::uintptr_t kHookFirstKey = 1;  // dwData: first key typed
constexpr std::uintptr_t kHookSequence = 2;  // dwData: sequence complete

enum class HotkeyAction {
    kMalformed,   // payload missing or shorter than three bytes: nothing at all, return FALSE
    kBusy,        // a sequence is being handled: stage 2 skipped, no RestoreHook
    kIncomplete,  // second key not a digit: no layout, no RestoreHook
    kNoLayout,    // handled, nothing to arrange ("0"+"5", lower-case letters, ...): RestoreHook only
    kGrid,        // SplitScreenGrid(rows, columns, 0)
    kUndo,        // UndoLayout
    kUserRule,    // FindRuleByHotkey(ruleName): id > 0 -> SplitScreenUserDefined(1, id), else the
                  // not-defined log line
};

// The steps, in the order the main window carries them out.
struct HotkeyDecision {
    HotkeyAction action = HotkeyAction::kMalformed;

    // Stage 1: panel preview and hide timer.
    bool stage1HidePanel = false;    // hide the panel
    bool stage1SetKey1 = false;      // m_strKey1 := stage1Key1
    CString stage1Key1;
    bool preview = false;            // m_strActKey := previewActKey; panel's m_strActKeyName :=
    CString previewActKey;           // previewActKeyName, m_strFirstKey := stage1Key1,
    CString previewActKeyName;       // m_strSecondKey := ""; MoveToMonitor(work area); show
    int timerPeriodMs = 0;           // nonzero: kill timer 5, then set it to this period

    // Stage 2: the dispatch.
    bool takeKeys = false;           // m_strKey1, m_strKey2, m_strActKey := key1, key2, actKey
    CString key1, key2, actKey;
    bool refreshMonitors = false;    // GetMonitorRects before the layout
    bool panelHide = false;          // hide the panel
    bool panelMove = false;          // read the work area and MoveToMonitor with it
    bool panelShowSecondKey = false; // SetKeyText(key2), then show the panel
    int rows = 0, columns = 0;       // kGrid
    CString ruleName;                // kUserRule: key1 followed by key2
    bool restoreHook = false;        // RestoreHook at the end; m_bReady goes back to 1 on every
                                     // path that took it
};

// Turns one payload byte into a one-character text; the Win32 side passes a converter through
// the thread's ANSI code page. A 0 byte must give "".
using KeyByteToText = CString (*)(unsigned char byte);

// Plain conversion used when none is given: 0 -> "", any other byte -> that character.
CString DefaultKeyByteToText(unsigned char byte);

// Classifies one message. `data`/`size` are lpData/cbData; `ready` is m_bReady and `showHotkey`
// the settings' m_nShowHotkey.
HotkeyDecision ClassifyHotkeyMessage(std::uintptr_t dwData, const void* data, std::uint32_t size, int ready,
                                     int showHotkey, KeyByteToText toText = nullptr);

// Key classes: the whole text consists of characters of the set (so "" passes each).
bool IsDigitsText(const CString& s);
bool IsRuleLetterText(const CString& s);  // only "Q"
bool IsLettersText(const CString& s);     // only "A".."Z"

// The hotkey panel's place on a work area (MoveToMonitor): x = (right - width) / 2 and
// y = (bottom - height) / 1.05, truncated toward zero and never negative.
struct PanelPoint {
    int x = 0;
    int y = 0;
};
constexpr int kPanelWidth = 456;
constexpr int kPanelHeight = 79;
PanelPoint PanelPositionOnWorkArea(int right, int bottom, int width = kPanelWidth, int height = kPanelHeight);

}  // namespace engine

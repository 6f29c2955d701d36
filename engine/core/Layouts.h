// The two layouts as plans: from the monitor table, the cursor and the windows' facts to the
// zones, the placement records, the ordered moves and the log line. The caller applies the moves,
// remembers the placements for undo and writes the log line.
#pragma once

#include <functional>
#include <vector>

#include "engine/core/EngineTypes.h"
#include "engine/core/Placement.h"
#include "engine/core/WindowFilter.h"
#include "engine/core/Zones.h"
#include "framework/CString.h"

namespace engine {

// What both layouts read from the main window, the settings and the desktop.
struct LayoutContext {
    const ScreenRect* screens = nullptr;  // the monitor table, kMaxScreens entries
    int screenCount = 0;                  // the system's monitor count (may exceed kMaxScreens)
    int cursorX = 0, cursorY = 0;
    int executeHotkeyType = 0;            // CSettings::m_nExecuteHotkeyType
    int overlapWindows = 0;               // CSettings::m_nOverlapWindows
    CString actKey;                       // action-key code of the sequence ("1", "2", ...)
    std::vector<WindowFacts> windows;     // top-level windows in z-order, topmost first
    std::vector<CString> excludeNames;    // the exclude list's names
    UwpHostFlags uwp;                     // after this layout's probe
    WindowId foreground = 0;              // GetForegroundWindow
};

struct LayoutPlan {
    bool performed = false;  // false: a rule without an active screen; nothing to do, no log line
    int curScreen = 0;       // index of the monitor under the cursor
    ScreenRect monitor;      // its entry
    std::vector<ZoneRect> zones;
    PlacementArray placements;
    std::vector<WindowMove> moves;
    int zonesDropped = 0;    // regions beyond kMaxLayoutZones left out
    CString logHead;
    CString logLine;         // "<head> (<n>) ...OK"
};

// The monitor under the cursor, looking at no more than kMaxScreens entries.
int CursorMonitor(const LayoutContext& ctx, ScreenRect* monitor);

// A grid of rows x columns on the monitor under the cursor (SplitScreenGrid): each candidate goes
// to the cell holding its top-left corner; a single monitor first lifts negative corners to 0.
LayoutPlan PlanGridLayout(const LayoutContext& ctx, int rows, int columns);

// A user-defined rule (SplitScreenUserDefined) from its active detail rows; loadTypeRegions(type
// id) gives a layout type's regions. Windows whose title holds a binding's file-name part are
// pinned to its region; every other window on the monitor starts in zone 0.
LayoutPlan PlanUserDefinedLayout(const LayoutContext& ctx, const std::vector<DetailRow>& details,
                                 const std::function<std::vector<RegionFraction>(int typeId)>& loadTypeRegions,
                                 const CString& key1, const CString& key2);

// Log texts.
CString FormatGridLogHead(int screenCount, int curScreen, const ScreenRect& m, int executeHotkeyType,
                          const CString& actKey, int rows, int columns);
CString FormatKeysLogHead(int screenCount, int curScreen, const ScreenRect& m, int executeHotkeyType,
                          const CString& actKey, const CString& key1, const CString& key2);
CString FormatLayoutLogLine(const CString& head, int arranged);
CString FormatNotDefinedLogLine(const CString& head);

// The whole not-defined line for a letter pair without a rule, on the monitor under the cursor.
CString BuildNotDefinedLogLine(const LayoutContext& ctx, const CString& key1, const CString& key2);

}  // namespace engine

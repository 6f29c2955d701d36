// The monitor table: filling it from display-device facts and finding the monitor under a point.
#pragma once

#include "engine/core/EngineTypes.h"
#include "framework/CString.h"

namespace engine {

// What the Win32 side learns about one display-device index (EnumDisplayDevicesW, then
// EnumDisplaySettingsW with ENUM_CURRENT_SETTINGS).
struct DisplayDeviceFacts {
    bool exists = false;            // EnumDisplayDevicesW succeeded for this index
    bool attachedToDesktop = false; // DISPLAY_DEVICE_ATTACHED_TO_DESKTOP
    bool mirroring = false;         // DISPLAY_DEVICE_MIRRORING_DRIVER
    bool hasMode = false;           // EnumDisplaySettingsW succeeded
    int x = 0, y = 0;               // dmPosition
    int width = 0, height = 0;      // dmPelsWidth, dmPelsHeight
};

// The primary work area (SPI_GETWORKAREA) as edges.
struct WorkArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Fills `table` (kMaxScreens entries) for `systemCount` monitors from the facts of display-device
// indexes 0..deviceCount-1 (at most kMaxDisplayDeviceIndex are looked at). Entries for which no
// device is left keep their former contents; nothing is touched when systemCount < 1.
// The primary entry (the one at 0,0; entry 0 when none is) loses the taskbar: its height shrinks by
// primaryScreenHeight minus the work area's height and it starts at the work area's top.
// Returns the number of entries filled.
int FillMonitorTable(int systemCount, const DisplayDeviceFacts* devices, int deviceCount,
                     int primaryScreenHeight, const WorkArea& work, ScreenRect* table);

// Index of the first of min(count, kMaxScreens) entries holding the point (half-open); 0 when
// none does or the table is empty.
int MonitorIndexFromPoint(const ScreenRect* table, int count, int x, int y);

// "1" -> "Alt", "2" -> "Ctrl", anything else -> "Unknown".
CString GetModifierName(const CString& code);

}  // namespace engine

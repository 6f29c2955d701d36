#include "engine/core/Monitors.h"

#include <algorithm>

namespace engine {

namespace {

// A device counts as a monitor only when it is part of the desktop and shows a mode; mirror
// drivers report the mode of the monitor they copy and would shift every later entry.
bool IsDesktopMonitor(const DisplayDeviceFacts& d) {
    return d.exists && d.attachedToDesktop && !d.mirroring && d.hasMode && d.width != 0 && d.height != 0;
}

}  // namespace

int FillMonitorTable(int systemCount, const DisplayDeviceFacts* devices, int deviceCount,
                     int primaryScreenHeight, const WorkArea& work, ScreenRect* table) {
    if (systemCount < 1 || !table) return 0;
    const int entries = std::min(systemCount, kMaxScreens);
    const int lastDevice = devices ? std::min(deviceCount, kMaxDisplayDeviceIndex) : 0;

    int filled = 0;
    int next = 0;
    for (int i = 0; i < entries; ++i) {
        int d = next;
        while (d < lastDevice && !IsDesktopMonitor(devices[d])) ++d;
        if (d >= lastDevice) break;  // the remaining entries keep their former contents
        table[i] = ScreenRect{devices[d].x, devices[d].y, devices[d].width, devices[d].height};
        next = d + 1;
        ++filled;
    }
    if (filled == 0) return 0;

    // The work area belongs to the primary monitor, which sits at the virtual-screen origin; the
    // first enumerated device need not be it.
    int primary = 0;
    for (int i = 0; i < filled; ++i) {
        if (table[i].x == 0 && table[i].y == 0) {
            primary = i;
            break;
        }
    }
    const long long workHeight = static_cast<long long>(work.bottom) - work.top;
    const long long taskbar = static_cast<long long>(primaryScreenHeight) - workHeight;
    ScreenRect& p = table[primary];
    p.height = SaturateInt32(p.height - taskbar);
    // A taskbar docked at the top moves the usable area down; at the bottom, left or right the
    // work area's top is the screen's top and nothing moves.
    if (p.x == 0 && p.y == 0 && work.top > 0 && work.top < p.height + taskbar) p.y = work.top;
    return filled;
}

int MonitorIndexFromPoint(const ScreenRect* table, int count, int x, int y) {
    if (!table || count < 1) return 0;
    const int n = std::min(count, kMaxScreens);
    for (int i = 0; i < n; ++i) {
        if (RectHoldsPoint(table[i], x, y)) return i;
    }
    return 0;
}

CString GetModifierName(const CString& code) {
    if (code == L"1") return CString(L"Alt");
    if (code == L"2") return CString(L"Ctrl");
    return CString(L"Unknown");
}

}  // namespace engine

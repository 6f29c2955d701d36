#include "engine/core/Layouts.h"

#include <algorithm>

#include "engine/core/Monitors.h"

namespace engine {

namespace {

// The window's rectangle as the layouts see it: with one monitor, a frame that starts a few pixels
// left of or above the screen (a maximised window) counts as starting at the edge.
WinRect LayoutRect(const LayoutContext& ctx, const WindowFacts& w) {
    WinRect r = w.rect;
    if (ctx.screenCount == 1) {
        if (r.left < 0) r.left = 0;
        if (r.top < 0) r.top = 0;
    }
    return r;
}

PlacementRecord MakeRecord(const LayoutContext& ctx, const WindowFacts& w, const WinRect& r, int zone,
                           const ZoneRect& z, int pinned) {
    PlacementRecord rec;
    rec.zone = zone;
    rec.hwnd = w.id;
    rec.x = z.x;
    rec.y = z.y;
    rec.width = z.width;
    rec.height = z.height;
    rec.oldLeft = r.left;
    rec.oldTop = r.top;
    rec.oldWidth = SaturateInt32(static_cast<long long>(r.right) - r.left);
    rec.oldHeight = SaturateInt32(static_cast<long long>(r.bottom) - r.top);
    rec.foreground = (ctx.foreground != 0 && w.id == ctx.foreground) ? 1 : 0;
    rec.pinned = pinned;
    rec.topmost = w.topmost ? 1 : 0;
    return rec;
}

void FinishPlan(const LayoutContext& ctx, LayoutPlan& plan) {
    const int zoneCount = static_cast<int>(plan.zones.size());
    SpreadToFreeZones(zoneCount, plan.placements, plan.zones);
    plan.moves = ApplyPlacements(zoneCount, plan.placements, ctx.overlapWindows);
    plan.logLine = FormatLayoutLogLine(plan.logHead, plan.placements.Count());
}

}  // namespace

int CursorMonitor(const LayoutContext& ctx, ScreenRect* monitor) {
    const int index = MonitorIndexFromPoint(ctx.screens, ctx.screenCount, ctx.cursorX, ctx.cursorY);
    if (monitor) *monitor = ctx.screens ? ctx.screens[index] : ScreenRect{};
    return index;
}

LayoutPlan PlanGridLayout(const LayoutContext& ctx, int rows, int columns) {
    LayoutPlan plan;
    plan.performed = true;
    plan.curScreen = CursorMonitor(ctx, &plan.monitor);
    const ScreenRect& m = plan.monitor;
    plan.logHead = FormatGridLogHead(ctx.screenCount, plan.curScreen, m, ctx.executeHotkeyType, ctx.actKey,
                                     rows, columns);
    plan.placements = AllocPlacementRecords();
    plan.zones = ComputeGridZones(m, rows, columns);

    for (const WindowFacts& w : ctx.windows) {
        if (!IsLayoutCandidate(w, ctx.excludeNames, ctx.uwp)) continue;
        const WinRect r = LayoutRect(ctx, w);
        if (!RectHoldsPoint(m, r.left, r.top)) continue;
        const int k = FindZoneHolding(plan.zones, r.left, r.top);
        if (k < 0) continue;  // the corner lies in a remainder strip
        plan.placements.Append(MakeRecord(ctx, w, r, k, plan.zones[static_cast<size_t>(k)], 0));
    }
    FinishPlan(ctx, plan);
    return plan;
}

LayoutPlan PlanUserDefinedLayout(const LayoutContext& ctx, const std::vector<DetailRow>& details,
                                 const std::function<std::vector<RegionFraction>(int typeId)>& loadTypeRegions,
                                 const CString& key1, const CString& key2) {
    LayoutPlan plan;
    if (details.empty()) return plan;
    plan.performed = true;
    const std::vector<int> types = BuildTypeList(details);
    plan.placements = AllocPlacementRecords();
    plan.curScreen = CursorMonitor(ctx, &plan.monitor);
    const ScreenRect& m = plan.monitor;
    plan.zones = ComputeUserZones(m, types, loadTypeRegions, &plan.zonesDropped);
    plan.logHead = FormatKeysLogHead(ctx.screenCount, plan.curScreen, m, ctx.executeHotkeyType, ctx.actKey,
                                     key1, key2);

    // Only the first type's bindings pin windows.
    const int firstType = types.front();
    const int rowCount = static_cast<int>(details.size());
    const int zoneCount = static_cast<int>(plan.zones.size());
    for (const WindowFacts& w : ctx.windows) {
        if (!IsLayoutCandidate(w, ctx.excludeNames, ctx.uwp)) continue;
        const WinRect r = LayoutRect(ctx, w);
        const bool onMonitor = RectHoldsPoint(m, r.left, r.top);
        if (ctx.screenCount != 1 && !onMonitor) continue;
        if (zoneCount == 0) continue;
        int zone = -1;
        int pinned = 0;
        const int region = FindRegionByTitle(details, firstType, rowCount, w.title);
        // A binding to a region the rule does not have pins nothing.
        if (region > 0 && region - 1 < zoneCount) {
            zone = region - 1;
            pinned = 1;
        } else if (onMonitor) {
            zone = 0;
        } else {
            zone = FindZoneHolding(plan.zones, r.left, r.top);
            if (zone < 0) continue;
        }
        plan.placements.Append(MakeRecord(ctx, w, r, zone, plan.zones[static_cast<size_t>(zone)], pinned));
    }
    FinishPlan(ctx, plan);
    return plan;
}

CString FormatGridLogHead(int screenCount, int curScreen, const ScreenRect& m, int executeHotkeyType,
                          const CString& actKey, int rows, int columns) {
    CString s;
    s.Format(L"[M%d at %d(%dx%d) K%d]: %s + %d + %d", screenCount, curScreen + 1, m.width, m.height,
             executeHotkeyType + 1, GetModifierName(actKey).GetString(), rows, columns);
    return s;
}

CString FormatKeysLogHead(int screenCount, int curScreen, const ScreenRect& m, int executeHotkeyType,
                          const CString& actKey, const CString& key1, const CString& key2) {
    CString s;
    s.Format(L"[M%d at %d(%dx%d) K%d]: %s + %s + %s", screenCount, curScreen + 1, m.width, m.height,
             executeHotkeyType + 1, GetModifierName(actKey).GetString(), key1.GetString(), key2.GetString());
    return s;
}

CString FormatLayoutLogLine(const CString& head, int arranged) {
    CString s;
    s.Format(L"%s (%d) ...OK", head.GetString(), arranged);
    return s;
}

CString FormatNotDefinedLogLine(const CString& head) {
    CString s;
    s.Format(L"%s (--) ...Not Defined", head.GetString());
    return s;
}

CString BuildNotDefinedLogLine(const LayoutContext& ctx, const CString& key1, const CString& key2) {
    ScreenRect m;
    const int cur = CursorMonitor(ctx, &m);
    return FormatNotDefinedLogLine(
        FormatKeysLogHead(ctx.screenCount, cur, m, ctx.executeHotkeyType, ctx.actKey, key1, key2));
}

}  // namespace engine

// Zones, assignment, spreading, the move list and undo, driven through plain facts.
#include <gtest/gtest.h>

#include "app/core/PathText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

#include "engine/core/Layouts.h"

using namespace engine;

namespace {

WindowFacts Win(WindowId id, int left, int top, int width = 400, int height = 300, const wchar_t* title = nullptr) {
    WindowFacts w;
    w.id = id;
    w.visible = true;
    w.className = L"AppWindow";
    w.title = title ? CString(title) : CString(L"window");
    w.rect = {left, top, left + width, top + height};
    return w;
}

struct Desk {
    std::vector<ScreenRect> screens = std::vector<ScreenRect>(kMaxScreens);
    LayoutContext ctx;

    explicit Desk(std::vector<ScreenRect> monitors, int cursorX = 10, int cursorY = 10) {
        for (size_t i = 0; i < monitors.size(); ++i) screens[i] = monitors[i];
        ctx.screens = screens.data();
        ctx.screenCount = static_cast<int>(monitors.size());
        ctx.cursorX = cursorX;
        ctx.cursorY = cursorY;
        ctx.actKey = L"1";
    }
};

std::vector<int> Zones(const PlacementArray& a) {
    std::vector<int> z;
    for (const PlacementRecord& r : a.records) z.push_back(r.zone);
    return z;
}

// Placement for the spreading tests: window i in zone z.
PlacementArray Records(const std::vector<int>& zones, const std::vector<int>& pinned = {}) {
    PlacementArray a = AllocPlacementRecords();
    for (size_t i = 0; i < zones.size(); ++i) {
        PlacementRecord r;
        r.hwnd = 100 + i;
        r.zone = zones[i];
        r.pinned = i < pinned.size() ? pinned[i] : 0;
        a.Append(r);
    }
    return a;
}

std::vector<ZoneRect> ZoneList(int n) {
    std::vector<ZoneRect> z;
    for (int i = 0; i < n; ++i) z.push_back({i * 10, 0, 10, 10});
    return z;
}

// How far two rectangles reach into each other (the narrower of the two overlaps), 0 when apart.
int OverlapDepth(const ZoneRect& a, const ZoneRect& b) {
    const int dx = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const int dy = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return std::max(0, std::min(dx, dy));
}

}  // namespace

// ---- grid zones ----------------------------------------------------------------------------

TEST(GridZones, InvariantsOverManyMonitors) {
    const int origins[][2] = {{0, 0}, {-1920, 0}, {-1280, -1024}, {3840, -300}};
    const int sizes[][2] = {{1920, 1040}, {1921, 1081}, {1366, 728}, {800, 600}, {3440, 1400},
                            {1080, 1880}, {7, 5}, {1, 1}, {2560, 1399}, {1023, 767}};
    for (const auto& o : origins) {
        for (const auto& s : sizes) {
            const ScreenRect m{o[0], o[1], s[0], s[1]};
            for (int rows = 1; rows <= 9; ++rows) {
                for (int cols = 1; cols <= 9; ++cols) {
                    const std::vector<ZoneRect> z = ComputeGridZones(m, rows, cols);
                    SCOPED_TRACE(testing::Message() << m.x << "," << m.y << " " << m.width << "x" << m.height
                                                    << " grid " << rows << "x" << cols);
                    ASSERT_EQ(z.size(), static_cast<size_t>(rows * cols));
                    // Cells tile the monitor exactly, apart from the remainder strips.
                    EXPECT_EQ(z[0].width * cols + m.width % cols, m.width);
                    EXPECT_EQ(z[0].height * rows + m.height % rows, m.height);
                    for (int k = 0; k < rows * cols; ++k) {
                        const ZoneRect& c = z[k];
                        EXPECT_EQ(c.width, m.width / cols);
                        EXPECT_EQ(c.height, m.height / rows);
                        EXPECT_GE(c.x, m.x);
                        EXPECT_GE(c.y, m.y);
                        EXPECT_LE(c.x + c.width, m.x + m.width);
                        EXPECT_LE(c.y + c.height, m.y + m.height);
                        if (k % cols) {
                            EXPECT_EQ(c.x, z[k - 1].x + z[k - 1].width);  // no gap, no overlap
                        }
                        if (k >= cols) {
                            EXPECT_EQ(c.y, z[k - cols].y + z[k - cols].height);
                        }
                        if (c.width > 0 && c.height > 0) {
                            // The cell's own corners belong to it and to no earlier cell.
                            EXPECT_EQ(FindZoneHolding(z, c.x, c.y), k);
                            EXPECT_EQ(FindZoneHolding(z, c.x + c.width - 1, c.y + c.height - 1), k);
                        }
                    }
                    // The far corner of the grid and the remainder strips hold no cell.
                    const ZoneRect& last = z.back();
                    EXPECT_EQ(FindZoneHolding(z, last.x + last.width, last.y), -1);
                    EXPECT_EQ(FindZoneHolding(z, last.x, last.y + last.height), -1);
                }
            }
        }
    }
}

TEST(GridZones, DegenerateArguments) {
    const ScreenRect m{0, 0, 1920, 1040};
    EXPECT_TRUE(ComputeGridZones(m, 0, 3).empty());
    EXPECT_TRUE(ComputeGridZones(m, 3, -1).empty());
    EXPECT_EQ(ComputeGridZones(m, 30, 30).size(), static_cast<size_t>(kMaxLayoutZones));
    // An unfilled monitor entry: zero-sized cells that hold no point.
    const std::vector<ZoneRect> z = ComputeGridZones(ScreenRect{}, 2, 2);
    ASSERT_EQ(z.size(), 4u);
    EXPECT_EQ(FindZoneHolding(z, 0, 0), -1);
}

// ---- grid layout -----------------------------------------------------------------------------

TEST(GridLayout, ExampleTwoByThreeWithFourWindows) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 10, 10), Win(2, 700, 20), Win(3, 1300, 600), Win(4, 5, 530)};
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 3);
    const std::vector<ZoneRect> expected = {{0, 0, 640, 520},   {640, 0, 640, 520},   {1280, 0, 640, 520},
                                            {0, 520, 640, 520}, {640, 520, 640, 520}, {1280, 520, 640, 520}};
    EXPECT_EQ(p.zones, expected);
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 1, 5, 3}));
    EXPECT_EQ(p.logLine, L"[M1 at 1(1920x1040) K1]: Alt + 2 + 3 (4) ...OK");
}

TEST(GridLayout, WhichWindowsAreArranged) {
    // Primary and a secondary to its left with negative coordinates; the cursor on the secondary.
    Desk d({{0, 0, 1920, 1040}, {-1921, -200, 1921, 1080}}, -100, 0);
    d.ctx.executeHotkeyType = 1;
    d.ctx.actKey = L"2";
    d.ctx.windows = {
        Win(1, -1921, -200),        // top-left corner of the monitor
        Win(2, 100, 100),           // on the other monitor: never moved
        Win(3, -1, 879),            // last pixel of the remainder column: no cell (1921 / 2 = 960)
        Win(4, -961, 300),          // right column
        Win(5, -1929, -208),        // maximised frame: off the monitor with two monitors
        Win(6, -1500, -100),        // hidden
        Win(7, -1500, 0, 300, 300, L""),  // no title
    };
    d.ctx.windows[5].visible = false;
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 2);
    EXPECT_EQ(p.curScreen, 1);
    EXPECT_EQ(p.zones[1], (ZoneRect{-961, -200, 960, 540}));
    ASSERT_EQ(p.placements.Count(), 2);
    EXPECT_EQ(p.placements.records[0].hwnd, 1u);
    EXPECT_EQ(p.placements.records[1].hwnd, 4u);
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 1}));
    EXPECT_EQ(p.logLine, L"[M2 at 2(1921x1080) K2]: Ctrl + 2 + 2 (2) ...OK");
    for (const WindowMove& m : p.moves) EXPECT_TRUE(m.hwnd == 1 || m.hwnd == 4);
}

TEST(GridLayout, MaximisedWindowOnASingleMonitor) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, -8, -8, 1936, 1056)};
    const LayoutPlan p = PlanGridLayout(d.ctx, 1, 2);
    ASSERT_EQ(p.placements.Count(), 1);
    const PlacementRecord& r = p.placements.records[0];
    EXPECT_EQ(r.zone, 0);
    // Remembered from the lifted corner, width and height measured from there.
    EXPECT_EQ(r.oldLeft, 0);
    EXPECT_EQ(r.oldTop, 0);
    EXPECT_EQ(r.oldWidth, 1928);
    EXPECT_EQ(r.oldHeight, 1048);
}

TEST(GridLayout, OneByOneStacksEveryWindow) {
    Desk d({{0, 0, 1920, 1040}});
    for (int i = 0; i < 4; ++i) d.ctx.windows.push_back(Win(10 + i, 50 * i, 40 * i));
    d.ctx.overlapWindows = 0;
    LayoutPlan p = PlanGridLayout(d.ctx, 1, 1);
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 0, 0, 0}));
    ASSERT_EQ(p.moves.size(), 8u);
    for (const WindowMove& m : p.moves) {
        EXPECT_EQ(m.x, 0);
        EXPECT_EQ(m.y, 0);
        EXPECT_EQ(m.width, 1920);
        EXPECT_EQ(m.height, 1040);
    }
}

TEST(GridLayout, TheHundredAndFirstWindowIsLeftAlone) {
    Desk d({{0, 0, 1920, 1040}});
    for (int i = 0; i < 101; ++i) d.ctx.windows.push_back(Win(1000 + i, i * 10, i * 5));
    const LayoutPlan p = PlanGridLayout(d.ctx, 3, 3);
    EXPECT_EQ(p.placements.Count(), kMaxPlacements);
    EXPECT_EQ(p.placements.skipped, 1);
    EXPECT_EQ(p.placements.records.back().hwnd, 1099u);
    for (const WindowMove& m : p.moves) EXPECT_NE(m.hwnd, 1100u);
    EXPECT_NE(p.logLine.Find(L"(100) ...OK"), -1);
}

TEST(GridLayout, NoWindowStillLogs) {
    Desk d({{0, 0, 1920, 1040}});
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 2);
    EXPECT_TRUE(p.performed);
    EXPECT_EQ(p.placements.Count(), 0);
    EXPECT_TRUE(p.moves.empty());
    EXPECT_EQ(p.logLine, L"[M1 at 1(1920x1040) K1]: Alt + 2 + 2 (0) ...OK");
}

TEST(GridLayout, MoreMonitorsReportedThanTheTableHolds) {
    std::vector<ScreenRect> table(kMaxScreens);
    for (int i = 0; i < kMaxScreens; ++i) table[i] = {i * 1000, 0, 1000, 800};
    LayoutContext ctx;
    ctx.screens = table.data();
    ctx.screenCount = 130;
    ctx.cursorX = 99500;
    ctx.cursorY = 10;
    ctx.windows = {Win(1, 99100, 100)};
    const LayoutPlan p = PlanGridLayout(ctx, 1, 2);
    EXPECT_EQ(p.curScreen, 99);
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0}));
    EXPECT_EQ(p.logLine, L"[M130 at 100(1000x800) K1]: Unknown + 1 + 2 (1) ...OK");
}

// ---- spreading -----------------------------------------------------------------------------

TEST(SpreadToFreeZones, Cases) {
    const struct {
        const char* what;
        int zoneCount;
        std::vector<int> zones;
        std::vector<int> pinned;
        std::vector<int> expected;
    } cases[] = {
        {"three in zone 0 of a 2x2 grid", 4, {0, 0, 0}, {}, {0, 1, 2}},
        {"five in zone 0 of a 1x2 grid", 2, {0, 0, 0, 0, 0}, {}, {0, 1, 0, 0, 0}},
        {"pinned stays, later unpinned moves", 3, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"only truly empty zones are offered", 4, {0, 0, 2}, {}, {0, 1, 2}},
        {"zone 2 held by a later window", 3, {0, 0, 0, 2}, {}, {0, 1, 0, 2}},
        {"first cells empty", 4, {3, 3, 3}, {}, {3, 0, 1}},
        {"no free zone", 1, {0, 0}, {}, {0, 0}},
        {"all zones held", 2, {1, 0, 1}, {}, {1, 0, 1}},
        {"pinned window counts as taking its zone", 2, {1, 1}, {1, 0}, {1, 0}},
        {"nothing to spread", 4, {}, {}, {}},
    };
    for (const auto& c : cases) {
        PlacementArray a = Records(c.zones, c.pinned);
        const std::vector<ZoneRect> zones = ZoneList(c.zoneCount);
        SpreadToFreeZones(c.zoneCount, a, zones);
        EXPECT_EQ(Zones(a), c.expected) << c.what;
        for (const PlacementRecord& r : a.records) {
            if (r.zone != c.zones[&r - a.records.data()]) {
                EXPECT_EQ(r.x, zones[r.zone].x) << c.what;
            }
        }
    }
}

TEST(SpreadToFreeZones, ZonesBeyondTheHundredth) {
    // 150 zones, 130 windows all starting in zone 0: every zone up to 129 gets one window.
    PlacementArray a = Records(std::vector<int>(100, 0));
    a.capacity = 130;
    for (int i = 100; i < 130; ++i) {
        PlacementRecord r;
        r.hwnd = 900 + i;
        a.Append(r);
    }
    const std::vector<ZoneRect> zones = ZoneList(150);
    SpreadToFreeZones(150, a, zones);
    for (int i = 0; i < 130; ++i) EXPECT_EQ(a.records[i].zone, i);
    EXPECT_EQ(a.records[129].x, 1290);

    // Records in zones at or past the layout's zones stay put and take no counter.
    PlacementArray b = Records({600, 0, 0});
    SpreadToFreeZones(3, b, ZoneList(3));
    EXPECT_EQ(Zones(b), (std::vector<int>{600, 0, 1}));
}

// ---- the move list -------------------------------------------------------------------------

TEST(ApplyPlacements, CascadeOrderAndForegroundLast) {
    // Five windows in zone 0 of a 1x2 grid, the third one in the foreground.
    Desk d({{0, 0, 1920, 1040}});
    for (int i = 0; i < 5; ++i) d.ctx.windows.push_back(Win(1 + i, 10 * i, 10 * i));
    d.ctx.foreground = 3;
    d.ctx.overlapWindows = 1;
    const LayoutPlan p = PlanGridLayout(d.ctx, 1, 2);
    ASSERT_EQ(Zones(p.placements), (std::vector<int>{0, 1, 0, 0, 0}));
    struct Step {
        WindowId hwnd;
        int offset;
        int zoneX;
    } order[] = {{1, 0, 0}, {4, 25, 0}, {5, 50, 0}, {3, 75, 0}, {2, 0, 960}};
    ASSERT_EQ(p.moves.size(), 10u);
    for (size_t i = 0; i < 5; ++i) {
        const WindowMove& a = p.moves[2 * i];
        const WindowMove& b = p.moves[2 * i + 1];
        EXPECT_EQ(a.hwnd, order[i].hwnd);
        EXPECT_EQ(a.insertAfter, InsertAfter::kTopmost);
        EXPECT_EQ(b.insertAfter, InsertAfter::kNoTopmost);
        EXPECT_EQ(b.hwnd, a.hwnd);
        EXPECT_EQ(a.x, order[i].zoneX + order[i].offset);
        EXPECT_EQ(a.y, order[i].offset);
        EXPECT_EQ(a.width, 960 - order[i].offset);
        EXPECT_EQ(a.height, 1040 - order[i].offset);
        EXPECT_EQ(a.flags, 0x0060u);
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.height, a.height);
    }

    // Overlapping off: the shared zone's windows all get its rectangle.
    d.ctx.overlapWindows = 0;
    for (const WindowMove& m : PlanGridLayout(d.ctx, 1, 2).moves) {
        EXPECT_EQ(m.y, 0);
        EXPECT_EQ(m.width, 960);
    }
}

TEST(ApplyPlacements, TopmostWindowsStayTopmost) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 0, 0), Win(2, 1000, 0)};
    d.ctx.windows[0].topmost = true;
    const LayoutPlan p = PlanGridLayout(d.ctx, 1, 2);
    ASSERT_EQ(p.moves.size(), 3u);
    EXPECT_EQ(p.moves[0].hwnd, 1u);
    EXPECT_EQ(p.moves[0].insertAfter, InsertAfter::kTopmost);
    EXPECT_EQ(p.moves[1].hwnd, 2u);
    EXPECT_EQ(p.moves[2].insertAfter, InsertAfter::kNoTopmost);
}

TEST(ApplyPlacements, CascadeNeverLeavesTheZone) {
    const ZoneRect zones[] = {{0, 0, 1920, 1040}, {-1920, -300, 640, 360}, {5, 5, 30, 30}, {0, 0, 3, 2}};
    for (const ZoneRect& z : zones) {
        PlacementArray a = AllocPlacementRecords();
        for (int i = 0; i < kMaxPlacements; ++i) {
            PlacementRecord r;
            r.hwnd = i + 1;
            r.x = z.x;
            r.y = z.y;
            r.width = z.width;
            r.height = z.height;
            r.foreground = i == 7;
            a.Append(r);
        }
        const std::vector<WindowMove> moves = ApplyPlacements(1, a, 1);
        ASSERT_EQ(moves.size(), 200u);
        int lastOffset = 0;
        for (const WindowMove& m : moves) {
            EXPECT_GE(m.x, z.x);
            EXPECT_GE(m.y, z.y);
            EXPECT_EQ(m.x + m.width, z.x + z.width);   // right and bottom edges stay put
            EXPECT_EQ(m.y + m.height, z.y + z.height);
            EXPECT_GE(m.width, z.width / 4);
            EXPECT_GE(m.height, z.height / 4);
            EXPECT_GE(m.x - z.x, lastOffset);          // the offset never shrinks
            lastOffset = m.x - z.x;
        }
        EXPECT_EQ(moves.back().hwnd, 8u);  // the foreground window last, deepest offset
        EXPECT_EQ(moves.back().x - z.x, lastOffset);
    }
    // With the floor still far away the cascade is the plain one.
    PlacementArray a = Records({0, 0, 0});
    for (PlacementRecord& r : a.records) r.width = 960, r.height = 1040;
    const std::vector<WindowMove> m = ApplyPlacements(1, a, 1);
    EXPECT_EQ(m[2].x, 25);
    EXPECT_EQ(m[4].x, 50);
}

TEST(ApplyPlacements, RecordsOutsideTheZonesAreNotMoved) {
    PlacementArray a = Records({0, 5, 1, -1});
    const std::vector<WindowMove> m = ApplyPlacements(2, a, 0);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].hwnd, 100u);
    EXPECT_EQ(m[2].hwnd, 102u);
    EXPECT_TRUE(ApplyPlacements(0, a, 1).empty());
}

TEST(ApplyMoves, AVanishedWindowDoesNotStopTheRest) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 0, 0), Win(2, 1000, 0), Win(3, 0, 600)};
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 2);
    std::vector<WindowId> moved;
    const int failures = ApplyMoves(p.moves, [&](const WindowMove& m) {
        if (m.hwnd == 2) return false;  // closed between the walk and the move
        moved.push_back(m.hwnd);
        return true;
    });
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(moved, (std::vector<WindowId>{1, 1, 3, 3}));
    EXPECT_EQ(ApplyMoves(p.moves, nullptr), 6);
}

// ---- undo --------------------------------------------------------------------------------

TEST(UndoMemory, FirstLayoutSinceTheLastUndo) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 300, 200, 500, 400), Win(2, 1200, 700, 300, 200)};
    d.ctx.foreground = 1;
    UndoMemory undo;
    auto usable = [](WindowId) { return true; };

    EXPECT_TRUE(UndoLayout(undo, usable).empty());  // before any layout
    EXPECT_EQ(undo.armed, 0);

    const LayoutPlan a = PlanGridLayout(d.ctx, 2, 2);
    RememberLayout(undo, a.placements);
    EXPECT_EQ(undo.armed, 1);
    // Layout B moves the windows elsewhere and adds a third; it is not remembered.
    d.ctx.windows = {Win(1, 0, 0, 960, 520), Win(2, 960, 520, 960, 520), Win(3, 10, 600)};
    const LayoutPlan b = PlanGridLayout(d.ctx, 1, 1);
    RememberLayout(undo, b.placements);
    EXPECT_EQ(undo.count, 2);

    const std::vector<WindowMove> first = UndoLayout(undo, usable);
    EXPECT_EQ(undo.armed, 0);
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0].hwnd, 2u);  // the foreground window last
    EXPECT_EQ(first[0].x, 1200);
    EXPECT_EQ(first[0].y, 700);
    EXPECT_EQ(first[0].width, 300);
    EXPECT_EQ(first[0].height, 200);
    EXPECT_EQ(first[2].hwnd, 1u);
    EXPECT_EQ(first[2].x, 300);
    EXPECT_EQ(first[3].insertAfter, InsertAfter::kNoTopmost);
    for (const WindowMove& m : first) EXPECT_NE(m.hwnd, 3u);

    // A second undo in a row repeats the first.
    const std::vector<WindowMove> second = UndoLayout(undo, usable);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].hwnd, first[i].hwnd);
        EXPECT_EQ(second[i].x, first[i].x);
    }
    // The next layout after an undo is remembered.
    RememberLayout(undo, b.placements);
    EXPECT_EQ(undo.count, 3);
    EXPECT_EQ(undo.armed, 1);
}

TEST(UndoMemory, SkipsWindowsNoLongerUsableAndKeepsTopmost) {
    UndoMemory undo;
    PlacementArray a = Records({0, 0, 1});
    a.records[0].oldLeft = 11;
    a.records[1].oldLeft = 22;
    a.records[1].foreground = 1;
    a.records[2].oldLeft = 33;
    a.records[2].topmost = 1;
    RememberLayout(undo, a);
    const std::vector<WindowMove> m = UndoLayout(undo, [](WindowId id) { return id != 100; });
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].x, 33);  // topmost: one call only
    EXPECT_EQ(m[0].insertAfter, InsertAfter::kTopmost);
    EXPECT_EQ(m[1].x, 22);
    EXPECT_EQ(m[2].x, 22);

    // A layout that arranged nothing still arms the memory, with no records.
    UndoMemory empty;
    RememberLayout(empty, AllocPlacementRecords());
    EXPECT_EQ(empty.armed, 1);
    RememberLayout(empty, a);
    EXPECT_EQ(empty.count, 0);
    EXPECT_TRUE(UndoLayout(empty, nullptr).empty());
}

// ---- user-defined layout -----------------------------------------------------------------------

namespace {

std::map<int, std::vector<RegionFraction>> PresetTypes() {
    return {
        {1, {{0, 0, 1, 1}}},
        {2, {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 1}}},
        {3, {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}},
        {5, {{0, 0, 0.5, 0.5}, {0.5, 0, 0.5, 0.5}, {0, 0.5, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}},
        {6, {{0, 0, 1.0 / 3, 1}, {1.0 / 3, 0, 1.0 / 3, 1}, {2.0 / 3, 0, 1.0 / 3, 1}}},
        {10, {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 1.0 / 3}, {0.5, 1.0 / 3, 0.5, 1.0 / 3}, {0.5, 2.0 / 3, 0.5, 1.0 / 3}}},
    };
}

std::function<std::vector<RegionFraction>(int)> Loader(const std::map<int, std::vector<RegionFraction>>& types) {
    return [types](int id) {
        auto it = types.find(id);
        return it == types.end() ? std::vector<RegionFraction>{} : it->second;
    };
}

DetailRow Row(int screen, int type, int region = 0, const wchar_t* path = L"") {
    DetailRow r;
    r.screenId = screen;
    r.typeId = type;
    r.regionId = region;
    r.filePath = path;
    return r;
}

}  // namespace

TEST(UserZones, PresetTypesOverManyMonitors) {
    const auto types = PresetTypes();
    const int origins[][2] = {{0, 0}, {-1920, 0}, {-1280, -1024}, {1920, -7}, {-700, -700}, {2560, 1440}};
    const int sizes[][2] = {{1920, 1040}, {1921, 1081}, {1366, 728}, {1023, 767}, {3440, 1400}, {1, 1}};
    for (const auto& o : origins) {
        for (const auto& s : sizes) {
            const ScreenRect m{o[0], o[1], s[0], s[1]};
            for (const auto& t : types) {
                const std::vector<ZoneRect> z = ComputeUserZones(m, {t.first}, Loader(types));
                SCOPED_TRACE(testing::Message() << m.x << "," << m.y << " " << m.width << "x" << m.height
                                                << " type " << t.first);
                ASSERT_EQ(z.size(), t.second.size());
                // The origin is added before truncating, so where a zone edge falls on the negative
                // side of the virtual screen's axis and the next one on the positive side, the two
                // may share one pixel; elsewhere zones never overlap.
                const int allowed = (m.x < 0 && m.x + m.width > 0) || (m.y < 0 && m.y + m.height > 0) ? 1 : 0;
                for (size_t i = 0; i < z.size(); ++i) {
                    EXPECT_GE(z[i].x, m.x);
                    EXPECT_GE(z[i].y, m.y);
                    EXPECT_LE(z[i].x + z[i].width, m.x + m.width);
                    EXPECT_LE(z[i].y + z[i].height, m.y + m.height);
                    for (size_t j = 0; j < i; ++j) EXPECT_LE(OverlapDepth(z[i], z[j]), allowed) << i << " " << j;
                }
            }
        }
    }
}

TEST(UserZones, TruncationTowardZeroAfterAddingTheOrigin) {
    const std::map<int, std::vector<RegionFraction>> types = {{7, {{1.0 / 3, 0.5, 1.0 / 3, 0.25}}}};
    const struct {
        ScreenRect m;
        ZoneRect expected;
    } cases[] = {
        {{0, 0, 1000, 1001}, {333, 500, 333, 250}},
        {{-1000, -1001, 1000, 1001}, {-666, -500, 333, 250}},  // -666.67 -> -666, -500.5 -> -500
        {{-100, 0, 1000, 1000}, {233, 500, 333, 250}},
    };
    for (const auto& c : cases) {
        const std::vector<ZoneRect> z = ComputeUserZones(c.m, {7}, Loader(types));
        ASSERT_EQ(z.size(), 1u);
        EXPECT_EQ(z[0], c.expected) << c.m.x;
    }
    // Damaged fractions give clamped or zero values, never an undefined conversion.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::map<int, std::vector<RegionFraction>> bad = {{1, {{nan, 1e300, -1e300, nan}}}};
    const std::vector<ZoneRect> z = ComputeUserZones({0, 0, 1920, 1040}, {1}, Loader(bad));
    EXPECT_EQ(z[0], (ZoneRect{0, INT32_MAX, INT32_MIN, 0}));
}

TEST(UserZones, TypeListAndTheFiveHundredZoneLimit) {
    EXPECT_EQ(BuildTypeList({Row(1, 3), Row(1, 3, 1, L"a"), Row(2, 5), Row(3, 3), Row(4, 3)}),
              (std::vector<int>{3, 5, 3}));
    EXPECT_TRUE(BuildTypeList({}).empty());

    std::map<int, std::vector<RegionFraction>> types;
    types[100] = std::vector<RegionFraction>(300, RegionFraction{0, 0, 0.1, 0.1});
    types[101] = std::vector<RegionFraction>(201, RegionFraction{0.5, 0.5, 0.1, 0.1});
    int dropped = 0;
    const std::vector<ZoneRect> z = ComputeUserZones({0, 0, 1000, 1000}, {100, 101}, Loader(types), &dropped);
    EXPECT_EQ(z.size(), static_cast<size_t>(kMaxLayoutZones));
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(z[499], (ZoneRect{500, 500, 100, 100}));
}

TEST(FindRegionByTitle, BindingRows) {
    const std::vector<DetailRow> rows = {
        Row(1, 3, 2, L"C:\\Tools\\putty.exe"), Row(1, 3, 1, L"C:\\Temp\\"), Row(1, 3, 3, L".NET Reflector"),
        Row(1, 3, 1, L"notes - Notepad"),      Row(1, 3, 3, L"/home/me/putty"), Row(2, 5, 4, L"Mail"),
    };
    const struct {
        const char* what;
        int type;
        int rowCount;
        const wchar_t* title;
        int expected;
    } cases[] = {
        {"file name without extension", 3, 6, L"server - putty", 2},
        {"first matching row wins", 3, 6, L"putty notes - Notepad", 2},
        {"empty derived names pin nothing", 3, 6, L"Untitled", -1},
        {"title of a full stop binding", 3, 6, L".NET Reflector", -1},
        {"text before the last full stop", 3, 6, L"my notes - Notepad", 1},
        {"only the given type", 3, 6, L"Mail - Inbox", -1},
        {"other type", 5, 6, L"Mail - Inbox", 4},
        {"row count limits the rows", 5, 5, L"Mail - Inbox", -1},
        {"case-sensitive", 3, 6, L"PUTTY", -1},
        {"negative row count", 3, -2, L"putty", -1},
        {"row count beyond the rows", 5, 60, L"Mail", 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindRegionByTitle(rows, c.type, c.rowCount, c.title), c.expected) << c.what;
    }
    // A screen without bindings (empty path, region 0) decides for every title.
    const std::vector<DetailRow> unbound = {Row(1, 3), Row(2, 3, 2, L"putty")};
    EXPECT_EQ(FindRegionByTitle(unbound, 3, 2, L"putty"), 0);

    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } names[] = {{L"C:\\dir\\file.txt", L"file"}, {L"dir/sub/file", L"file"}, {L"file", L"file"},
                 {L"a.tar.gz", L"a.tar"},         {L"C:\\a/b.c", L"a/b"},   {L"C:\\Temp\\", L""},
                 {L".gitignore", L""},            {L"", L""}};
    for (const auto& n : names) EXPECT_EQ(FileNameFromPath(n.path, 0), n.name) << n.path;
}

TEST(UserLayout, ExampleWithAPinnedThirdWindow) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.actKey = L"2";
    d.ctx.executeHotkeyType = 1;
    d.ctx.overlapWindows = 1;
    d.ctx.windows = {Win(1, 10, 10, 400, 300, L"one"), Win(2, 20, 20, 400, 300, L"two"),
                     Win(3, 30, 30, 400, 300, L"build.log - putty"), Win(4, 40, 40, 400, 300, L"four"),
                     Win(5, 50, 50, 400, 300, L"five")};
    const std::vector<DetailRow> details = {Row(1, 3, 2, L"D:\\bin\\putty.exe")};
    const LayoutPlan p = PlanUserDefinedLayout(d.ctx, details, Loader(PresetTypes()), L"Q", L"1");
    EXPECT_EQ(p.zones, (std::vector<ZoneRect>{{0, 0, 960, 1040}, {960, 0, 960, 520}, {960, 520, 960, 520}}));
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 2, 1, 0, 0}));
    EXPECT_EQ(p.placements.records[2].pinned, 1);
    EXPECT_EQ(p.logLine, L"[M1 at 1(1920x1040) K2]: Ctrl + Q + 1 (5) ...OK");
    // Zone 0: windows 1, 4, 5 cascaded by 0, 25, 50.
    EXPECT_EQ(p.moves[0].hwnd, 1u);
    EXPECT_EQ(p.moves[4].hwnd, 5u);
    EXPECT_EQ(p.moves[4].x, 50);
}

TEST(UserLayout, PinningAndMonitorRules) {
    auto types = PresetTypes();
    types[8] = {{0, 0.5, 1, 0.6}};  // reaches below the monitor entry
    const struct {
        const char* what;
        std::vector<ScreenRect> monitors;
        std::vector<DetailRow> details;
        WindowFacts window;
        std::vector<int> zones;  // empty: not arranged
        int pinned;
    } cases[] = {
        {"taskbar strip, title bound", {{0, 0, 1920, 1040}}, {Row(1, 2, 2, L"putty")},
         Win(1, 100, 1050, 400, 300, L"putty"), {1}, 1},
        {"taskbar strip, unbound", {{0, 0, 1920, 1040}}, {Row(1, 2, 2, L"putty")},
         Win(1, 100, 1050, 400, 300, L"other"), {}, 0},
        {"taskbar strip, zone of the full entry", {{0, 0, 1920, 1040}}, {Row(1, 1)}, Win(1, 100, 1050), {}, 0},
        {"taskbar strip, a zone reaching past the entry", {{0, 0, 1920, 1040}}, {Row(1, 8)},
         Win(1, 100, 1050), {0}, 0},
        {"two monitors, off the monitor, bound", {{0, 0, 1920, 1040}, {1920, 0, 1920, 1080}},
         {Row(1, 2, 2, L"putty")}, Win(1, 2000, 10, 400, 300, L"putty"), {}, 0},
        {"binding beyond the zones pins nothing", {{0, 0, 1920, 1040}}, {Row(1, 2, 7, L"putty")},
         Win(1, 1000, 10, 400, 300, L"putty"), {0}, 0},
        {"first screen unbound, later screen bound", {{0, 0, 1920, 1040}}, {Row(1, 2), Row(2, 2, 2, L"putty")},
         Win(1, 10, 10, 400, 300, L"putty"), {0}, 0},
        {"two matching bindings: the first row", {{0, 0, 1920, 1040}},
         {Row(1, 5, 3, L"putty"), Row(1, 5, 4, L"pu")}, Win(1, 10, 10, 400, 300, L"putty"), {2}, 1},
        {"maximised on a single monitor", {{0, 0, 1920, 1040}}, {Row(1, 2)}, Win(1, -8, -8, 1936, 1056), {0}, 0},
    };
    for (const auto& c : cases) {
        Desk d(c.monitors);
        d.ctx.windows = {c.window};
        const LayoutPlan p = PlanUserDefinedLayout(d.ctx, c.details, Loader(types), L"Q", L"2");
        EXPECT_EQ(Zones(p.placements), c.zones) << c.what;
        if (!c.zones.empty()) {
            EXPECT_EQ(p.placements.records[0].pinned, c.pinned) << c.what;
        }
    }
}

TEST(UserLayout, SeveralTypesAndZonesPastTheHundredth) {
    // Type 2 then 5 then 2 again: 2 + 4 + 2 zones, all on the monitor under the cursor.
    Desk d({{0, 0, 1920, 1040}, {-1600, 0, 1600, 900}}, -5, 5);
    for (int i = 0; i < 9; ++i) d.ctx.windows.push_back(Win(1 + i, -1600 + 10 * i, 10));
    const LayoutPlan p = PlanUserDefinedLayout(d.ctx, {Row(1, 2), Row(2, 5), Row(3, 2)}, Loader(PresetTypes()),
                                               L"Q", L"3");
    ASSERT_EQ(p.zones.size(), 8u);
    EXPECT_EQ(p.zones[2], (ZoneRect{-1600, 0, 800, 450}));
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0}));

    // 200 zones and 100 windows: the spreading reaches zone 99 and the zones stay valid.
    std::map<int, std::vector<RegionFraction>> many = {{150, std::vector<RegionFraction>(200, {0, 0, 0.5, 0.5})}};
    Desk e({{0, 0, 1920, 1040}});
    for (int i = 0; i < 120; ++i) e.ctx.windows.push_back(Win(1 + i, 10, 10));
    const LayoutPlan q = PlanUserDefinedLayout(e.ctx, {Row(1, 150)}, Loader(many), L"Q", L"4");
    EXPECT_EQ(q.placements.Count(), 100);
    EXPECT_EQ(q.placements.skipped, 20);
    EXPECT_EQ(q.placements.records[99].zone, 99);
}

TEST(UserLayout, RuleWithoutActiveScreenDoesNothing) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 0, 0)};
    const LayoutPlan p = PlanUserDefinedLayout(d.ctx, {}, Loader(PresetTypes()), L"Q", L"1");
    EXPECT_FALSE(p.performed);
    EXPECT_TRUE(p.moves.empty());
    EXPECT_TRUE(p.logLine.IsEmpty());

    // A type without regions: no zones, no window arranged, still logged.
    const LayoutPlan q = PlanUserDefinedLayout(d.ctx, {Row(1, 77)}, Loader(PresetTypes()), L"Q", L"1");
    EXPECT_TRUE(q.performed);
    EXPECT_EQ(q.placements.Count(), 0);
    EXPECT_EQ(q.logLine, L"[M1 at 1(1920x1040) K1]: Alt + Q + 1 (0) ...OK");
}

// Zones, assignment, spreading, the move list and undo, driven through plain facts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/core/Layouts.h"

using namespace engine;

namespace {

WindowFacts Win(WindowId id, int left, int top, int width = 400, int height = 300, const wchar_t* title = L"window") {
    WindowFacts w;
    w.id = id, w.visible = true, w.className = L"AppWindow", w.title = title;
    w.rect = {left, top, left + width, top + height};
    return w;
}

struct Desk {
    std::vector<ScreenRect> screens = std::vector<ScreenRect>(kMaxScreens);
    LayoutContext ctx;

    explicit Desk(std::vector<ScreenRect> monitors, int cursorX = 10, int cursorY = 10) {
        std::copy(monitors.begin(), monitors.end(), screens.begin());
        ctx.screens = screens.data();
        ctx.screenCount = static_cast<int>(monitors.size());
        ctx.cursorX = cursorX, ctx.cursorY = cursorY, ctx.actKey = L"1";
    }
};

DetailRow Row(int screen, int type, int region = 0, const wchar_t* path = L"") { return {screen, type, region, path}; }

std::vector<int> Zones(const PlacementArray& a) {
    std::vector<int> z;
    for (const PlacementRecord& r : a.records) z.push_back(r.zone);
    return z;
}

// Window 100 + i in zone zones[i]; built directly, so not bound by the array's capacity.
PlacementArray Records(const std::vector<int>& zones, const std::vector<int>& pinned = {}) {
    PlacementArray a = AllocPlacementRecords();
    for (size_t i = 0; i < zones.size(); ++i) {
        PlacementRecord r;
        r.hwnd = 100 + i, r.zone = zones[i], r.pinned = i < pinned.size() ? pinned[i] : 0;
        a.records.push_back(r);
    }
    return a;
}

std::vector<ZoneRect> ZoneList(int n) {
    std::vector<ZoneRect> z;
    for (int i = 0; i < n; ++i) z.push_back({i * 10, 0, 10, 10});
    return z;
}

// The moves as "id@x,y WxH|...", one entry per raised window: a topmost call followed by a
// not-topmost call with the same rectangle, or "^" for a window left topmost, "?" for anything else.
std::string Moves(const std::vector<WindowMove>& moves) {
    std::string s;
    for (size_t i = 0; i < moves.size(); ++i) {
        const WindowMove& m = moves[i];
        const WindowMove* n = i + 1 < moves.size() ? &moves[i + 1] : nullptr;
        const bool top = m.insertAfter == InsertAfter::kTopmost;
        const bool pair = top && n && n->insertAfter == InsertAfter::kNoTopmost && n->hwnd == m.hwnd &&
                          std::tie(n->x, n->y, n->width, n->height, n->flags) ==
                              std::tie(m.x, m.y, m.width, m.height, m.flags);
        EXPECT_EQ(m.flags, 0x0060u);
        char buf[80];
        std::snprintf(buf, sizeof buf, "|%u%s@%d,%d %dx%d", static_cast<unsigned>(m.hwnd), pair ? "" : top ? "^" : "?",
                      m.x, m.y, m.width, m.height);
        s += buf;
        i += pair;
    }
    return s.empty() ? s : s.substr(1);
}

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

}  // namespace

// ---- zones and the grid layout -------------------------------------------------------------

// User regions on monitors of every kind (the grid's cells are pinned by the layout examples).
TEST(Zones, UserRegionsStayInsideAndApartOnManyMonitors) {
    const auto types = PresetTypes();
    const int origins[][2] = {{0, 0}, {-1920, 0}, {-1280, -1024}, {3840, -300}, {1920, -7}, {-700, -700}};
    const int sizes[][2] = {{1920, 1040}, {1921, 1081}, {1366, 728}, {800, 600}, {3440, 1400},
                            {1080, 1880}, {7, 5}, {1, 1}, {2560, 1399}, {1023, 767}};
    for (const auto& o : origins) {
        for (const auto& s : sizes) {
            const ScreenRect m{o[0], o[1], s[0], s[1]};
            SCOPED_TRACE(testing::Message() << m.x << "," << m.y << " " << m.width << "x" << m.height);
            // User regions: inside the monitor and apart. The origin is added before truncating, so
            // where a zone edge falls on the negative side of an axis and the next one on the positive
            // side, the two may share one pixel.
            const int allowed = (m.x < 0 && m.x + m.width > 0) || (m.y < 0 && m.y + m.height > 0) ? 1 : 0;
            for (const auto& t : types) {
                const std::vector<ZoneRect> z = ComputeUserZones(m, {t.first}, Loader(types));
                ASSERT_EQ(z.size(), t.second.size());
                for (size_t i = 0; i < z.size(); ++i) {
                    EXPECT_TRUE(z[i].x >= m.x && z[i].y >= m.y && z[i].x + z[i].width <= m.x + m.width &&
                                z[i].y + z[i].height <= m.y + m.height) << t.first << ": " << i;
                    for (size_t j = 0; j < i; ++j) {
                        const int dx = std::min(z[i].x + z[i].width, z[j].x + z[j].width) - std::max(z[i].x, z[j].x);
                        const int dy = std::min(z[i].y + z[i].height, z[j].y + z[j].height) - std::max(z[i].y, z[j].y);
                        EXPECT_LE(std::min(dx, dy), allowed) << t.first << ": " << i << " " << j;
                    }
                }
            }
        }
    }
}

TEST(GridZones, DegenerateArguments) {
    const ScreenRect m{0, 0, 1920, 1040};
    EXPECT_TRUE(ComputeGridZones(m, 0, 3).empty());
    EXPECT_TRUE(ComputeGridZones(m, 3, -1).empty());
    EXPECT_EQ(ComputeGridZones(m, 30, 30).size(), 500u);
    // An unfilled monitor entry: zero-sized cells that hold no point.
    const std::vector<ZoneRect> z = ComputeGridZones(ScreenRect{}, 2, 2);
    ASSERT_EQ(z.size(), 4u);
    EXPECT_EQ(FindZoneHolding(z, 0, 0), -1);
}

TEST(GridLayout, ExampleTwoByThreeWithFourWindows) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 10, 10), Win(2, 700, 20), Win(3, 1300, 600), Win(4, 5, 530)};
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 3);
    EXPECT_EQ(Moves(p.moves), "1@0,0 640x520|2@640,0 640x520|4@0,520 640x520|3@1280,520 640x520");
    EXPECT_EQ(p.logLine, L"[M1 at 1(1920x1040) K1]: Alt + 2 + 3 (4) ...OK");
}

TEST(GridLayout, WhichWindowsAreArranged) {
    // Primary and a secondary to its left with negative coordinates; the cursor on the secondary.
    Desk d({{0, 0, 1920, 1040}, {-1921, -200, 1921, 1080}}, -100, 0);
    d.ctx.executeHotkeyType = 1;
    d.ctx.actKey = L"2";
    d.ctx.windows = {
        Win(1, -1921, -200),              // top-left corner of the monitor
        Win(2, 100, 100),                 // on the other monitor: never moved
        Win(3, -1, 879),                  // last pixel of the remainder column: no cell (1921 / 2 = 960)
        Win(4, -961, 300),                // right column
        Win(5, -1929, -208),              // maximised frame: off the monitor with two monitors
        Win(6, -1500, -100),              // hidden
        Win(7, -1500, 0, 300, 300, L""),  // no title
    };
    d.ctx.windows[5].visible = false;
    const LayoutPlan p = PlanGridLayout(d.ctx, 2, 2);
    EXPECT_EQ(p.curScreen, 1);
    EXPECT_EQ(Moves(p.moves), "1@-1921,-200 960x540|4@-961,-200 960x540");
    EXPECT_EQ(p.logLine, L"[M2 at 2(1921x1080) K2]: Ctrl + 2 + 2 (2) ...OK");
}

TEST(LogLines, MonitorCountKeysAndOutcome) {
    Desk d({{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}, 100, 100);
    EXPECT_EQ(PlanGridLayout(d.ctx, 2, 2).logLine, L"[M2 at 1(1920x1080) K1]: Alt + 2 + 2 (0) ...OK");
    EXPECT_EQ(BuildNotDefinedLogLine(d.ctx, L"B", L"3"), L"[M2 at 1(1920x1080) K1]: Alt + B + 3 (--) ...Not Defined");
    d.ctx.cursorX = 2000;
    d.ctx.executeHotkeyType = 2;
    d.ctx.actKey = L"2";
    EXPECT_EQ(BuildNotDefinedLogLine(d.ctx, L"", L"7"), L"[M2 at 2(1920x1080) K3]: Ctrl +  + 7 (--) ...Not Defined");

    // More monitors reported than the table holds: only the table is searched, the count is logged.
    std::vector<ScreenRect> table(kMaxScreens);
    for (int i = 0; i < kMaxScreens; ++i) table[i] = {i * 1000, 0, 1000, 800};
    d.ctx.screens = table.data();
    d.ctx.screenCount = 130;
    d.ctx.cursorX = 99500;
    d.ctx.actKey = L"9";
    d.ctx.windows = {Win(1, 99100, 100)};
    const LayoutPlan p = PlanGridLayout(d.ctx, 1, 2);
    EXPECT_EQ(Moves(p.moves), "1@99000,0 500x800");
    EXPECT_EQ(p.logLine, L"[M130 at 100(1000x800) K3]: Unknown + 1 + 2 (1) ...OK");
}

// ---- spreading and the move list -------------------------------------------------------------

TEST(SpreadToFreeZones, Cases) {
    const struct { const char* what; int zoneCount; std::vector<int> zones, pinned, expected; } cases[] = {
        {"three in zone 0 of a 2x2 grid", 4, {0, 0, 0}, {}, {0, 1, 2}},
        {"five in zone 0 of a 1x2 grid", 2, {0, 0, 0, 0, 0}, {}, {0, 1, 0, 0, 0}},
        {"pinned stays, later unpinned moves", 3, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"only truly empty zones are offered", 4, {0, 0, 2}, {}, {0, 1, 2}},
        {"zone 2 held by a later window", 3, {0, 0, 0, 2}, {}, {0, 1, 0, 2}},
        {"first cells empty", 4, {3, 3, 3}, {}, {3, 0, 1}},
        {"no free zone", 1, {0, 0}, {}, {0, 0}},
        {"pinned window counts as taking its zone", 2, {1, 1}, {1, 0}, {1, 0}},
        {"zones outside the layout stay and take no counter", 3, {600, -1, 0, 0}, {}, {600, -1, 0, 1}},
        {"nothing to spread", 4, {}, {}, {}},
    };
    for (const auto& c : cases) {
        PlacementArray a = Records(c.zones, c.pinned);
        const std::vector<ZoneRect> zones = ZoneList(c.zoneCount);
        SpreadToFreeZones(c.zoneCount, a, zones);
        EXPECT_EQ(Zones(a), c.expected) << c.what;
        for (size_t i = 0; i < a.records.size(); ++i) {
            if (a.records[i].zone != c.zones[i]) {
                EXPECT_EQ(a.records[i].x, zones[a.records[i].zone].x) << c.what;
            }
        }
    }
}

TEST(SpreadToFreeZones, ZonesBeyondTheHundredth) {
    // 130 windows in zone 0 of 150 zones: every zone up to 129 gets one window.
    PlacementArray a = Records(std::vector<int>(130, 0));
    const std::vector<ZoneRect> zones = ZoneList(150);
    SpreadToFreeZones(150, a, zones);
    for (int i = 0; i < 130; ++i) EXPECT_EQ(a.records[i].zone, i);
    EXPECT_EQ(a.records[129].x, 1290);
}

TEST(ApplyPlacements, CascadeForegroundLastAndTopmostKept) {
    // Five windows in zone 0 of a 1x2 grid: the second spreads to zone 1, the rest cascade with the
    // foreground window (3) last; window 5 was "always on top".
    Desk d({{0, 0, 1920, 1040}});
    for (int i = 0; i < 5; ++i) d.ctx.windows.push_back(Win(1 + i, 10 * i, 10 * i));
    d.ctx.windows[4].topmost = true;
    d.ctx.foreground = 3;
    d.ctx.overlapWindows = 1;
    EXPECT_EQ(Moves(PlanGridLayout(d.ctx, 1, 2).moves),
              "1@0,0 960x1040|4@25,25 935x1015|5^@50,50 910x990|3@75,75 885x965|2@960,0 960x1040");
    d.ctx.overlapWindows = 0;
    EXPECT_EQ(Moves(PlanGridLayout(d.ctx, 1, 2).moves),
              "1@0,0 960x1040|4@0,0 960x1040|5^@0,0 960x1040|3@0,0 960x1040|2@960,0 960x1040");
}

TEST(ApplyPlacements, CascadeGoesExactlyAsDeepAsAQuarterOfTheZoneAllows) {
    // Zone and deepest offset: the height stops it, the width stops it, each also exactly on its
    // limit, and zones too small for one step.
    const std::pair<ZoneRect, int> cases[] = {{{0, 0, 1920, 1040}, 775},     {{0, 0, 1920, 1000}, 750},
                                              {{-1920, -300, 600, 1800}, 450}, {{0, 0, 640, 1400}, 475},
                                              {{5, 5, 30, 30}, 0},             {{0, 0, 3, 2}, 0}};
    for (const auto& [z, deepest] : cases) {
        PlacementArray a = Records(std::vector<int>(kMaxPlacements, 0));
        for (PlacementRecord& r : a.records) r.x = z.x, r.y = z.y, r.width = z.width, r.height = z.height;
        a.records[7].foreground = 1;
        const std::vector<WindowMove> moves = ApplyPlacements(1, a, 1);
        ASSERT_EQ(moves.size(), 200u);
        std::vector<int> offsets, want;
        for (size_t i = 0; i < moves.size(); i += 2) {
            const WindowMove& m = moves[i];
            EXPECT_EQ(m.x + m.width, z.x + z.width);  // right and bottom edges stay put
            EXPECT_EQ(m.y + m.height, z.y + z.height);
            EXPECT_EQ(m.y - z.y, m.x - z.x);
            offsets.push_back(m.x - z.x);
        }
        for (int k = 0; k < kMaxPlacements - 1; ++k) want.push_back(std::min(kOverlapStep * k, deepest));
        want.push_back(deepest);  // the foreground window last, at the deepest offset
        EXPECT_EQ(offsets, want) << z.width << "x" << z.height;
        EXPECT_EQ(moves.back().hwnd, 107u);
    }
}

TEST(ApplyPlacements, RecordsOutsideTheZonesAreNotMoved) {
    const PlacementArray a = Records({0, 5, 1, -1});
    EXPECT_EQ(Moves(ApplyPlacements(2, a, 0)), "100@0,0 0x0|102@0,0 0x0");
    EXPECT_TRUE(ApplyPlacements(0, a, 1).empty());
}

TEST(ApplyMoves, AVanishedWindowDoesNotStopTheRest) {
    std::vector<WindowMove> moves(6);
    for (size_t i = 0; i < moves.size(); ++i) moves[i].hwnd = 1 + i / 2;
    std::vector<WindowId> tried;
    const int failures = ApplyMoves(moves, [&](const WindowMove& m) {
        tried.push_back(m.hwnd);
        return m.hwnd != 2;  // closed between the walk and the move
    });
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(tried, (std::vector<WindowId>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(ApplyMoves(moves, nullptr), 6);
}

// ---- undo ------------------------------------------------------------------------------------

TEST(UndoMemory, FirstLayoutSinceTheLastUndo) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.windows = {Win(1, 300, 200, 500, 400), Win(2, -8, -8, 1936, 1056)};  // 2: maximised frame
    d.ctx.foreground = 1;
    UndoMemory undo;
    auto usable = [](WindowId) { return true; };
    EXPECT_TRUE(UndoLayout(undo, usable).empty());  // before any layout

    RememberLayout(undo, PlanGridLayout(d.ctx, 2, 2).placements);
    // A second layout moves the windows and adds a third; it is not remembered.
    d.ctx.windows = {Win(1, 0, 0, 960, 520), Win(2, 960, 520, 960, 520), Win(3, 10, 600)};
    const LayoutPlan b = PlanGridLayout(d.ctx, 1, 1);
    RememberLayout(undo, b.placements);

    // Back to the lifted corner of the maximised frame, the foreground window last.
    const std::string back = "2@0,0 1928x1048|1@300,200 500x400";
    EXPECT_EQ(Moves(UndoLayout(undo, usable)), back);
    EXPECT_EQ(Moves(UndoLayout(undo, usable)), back);  // a second undo in a row repeats the first
    RememberLayout(undo, b.placements);                 // the next layout after an undo is remembered
    EXPECT_EQ(Moves(UndoLayout(undo, usable)), "2@960,520 960x520|3@10,600 400x300|1@0,0 960x520");
}

TEST(UndoMemory, SkipsUnusableWindowsAndKeepsTopmost) {
    PlacementArray a = Records({0, 0, 1});
    for (int i = 0; i < 3; ++i) a.records[i].oldLeft = 11 * (i + 1);
    a.records[1].foreground = 1;
    a.records[2].topmost = 1;
    UndoMemory undo;
    RememberLayout(undo, a);
    EXPECT_EQ(Moves(UndoLayout(undo, [](WindowId id) { return id != 100; })), "102^@33,0 0x0|101@22,0 0x0");

    // A layout that arranged nothing still arms the memory, with no records.
    UndoMemory empty;
    RememberLayout(empty, AllocPlacementRecords());
    RememberLayout(empty, a);
    EXPECT_TRUE(UndoLayout(empty, nullptr).empty());
}

// ---- user-defined layout ---------------------------------------------------------------------

TEST(UserZones, TruncationTowardZeroAfterAddingTheOrigin) {
    const std::map<int, std::vector<RegionFraction>> types = {{7, {{1.0 / 3, 0.5, 1.0 / 3, 0.25}}}};
    const struct { ScreenRect m; ZoneRect expected; } cases[] = {
        {{0, 0, 1000, 1001}, {333, 500, 333, 250}},
        {{-1000, -1001, 1000, 1001}, {-666, -500, 333, 250}},  // -666.67 -> -666, -500.5 -> -500
        {{-100, 0, 1000, 1000}, {233, 500, 333, 250}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComputeUserZones(c.m, {7}, Loader(types)), std::vector<ZoneRect>{c.expected}) << c.m.x;
    }
    // Damaged fractions give clamped or zero values, never an undefined conversion.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::map<int, std::vector<RegionFraction>> bad = {{1, {{nan, 1e300, -1e300, nan}}}};
    EXPECT_EQ(ComputeUserZones({0, 0, 1920, 1040}, {1}, Loader(bad)),
              (std::vector<ZoneRect>{{0, INT32_MAX, INT32_MIN, 0}}));
}

// A captured window's fractions are its pixels over the monitor's size; applied on that monitor,
// every edge and size comes back to the pixel (truncation alone loses one on 1920 x 1080 at 123,
// 245, ... and on a monitor left of the primary).
TEST(UserZones, ACapturedPixelComesBackExactly) {
    const ScreenRect monitors[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}, {-1366, -200, 1366, 768},
                                   {2560, 0, 1440, 900}, {0, 0, 3840, 2160}, {-1600, 0, 1600, 1200}};
    for (const ScreenRect& m : monitors) {
        for (int d = 0; d <= std::max(m.width, m.height); ++d) {
            const int dx = std::min(d, m.width), dy = std::min(d, m.height);
            const RegionFraction f{static_cast<double>(dx) / m.width, static_cast<double>(dy) / m.height,
                                   static_cast<double>(m.width - dx) / m.width,
                                   static_cast<double>(m.height - dy) / m.height};
            std::vector<ZoneRect> z;
            AppendRegionZones(m, {f}, z);
            ASSERT_EQ(z.at(0), (ZoneRect{m.x + dx, m.y + dy, m.width - dx, m.height - dy})) << m.x << " " << d;
        }
    }
    // Fractions that are not a pixel over the size still truncate: six-decimal thirds as files
    // written before store them, and exact thirds of a size that three does not divide.
    std::vector<ZoneRect> z;
    AppendRegionZones({0, 0, 1920, 1080}, {{0.333333, 0.333333, 0.666667, 0.666667}}, z);
    AppendRegionZones({0, 0, 1366, 768}, {{1.0 / 3, 2.0 / 3, 1.0 / 3, 1.0 / 3}}, z);
    EXPECT_EQ(z, (std::vector<ZoneRect>{{639, 359, 1280, 720}, {455, 512, 455, 256}}));
}

TEST(UserZones, TypeListAndTheFiveHundredZoneLimit) {
    EXPECT_EQ(BuildTypeList({Row(1, 3), Row(1, 3, 1, L"a"), Row(2, 5), Row(3, 3), Row(4, 3)}),
              (std::vector<int>{3, 5, 3}));
    std::map<int, std::vector<RegionFraction>> types;
    types[100] = std::vector<RegionFraction>(300, RegionFraction{0, 0, 0.1, 0.1});
    types[101] = std::vector<RegionFraction>(201, RegionFraction{0.5, 0.5, 0.1, 0.1});
    int dropped = 0;
    const std::vector<ZoneRect> z = ComputeUserZones({0, 0, 1000, 1000}, {100, 101}, Loader(types), &dropped);
    ASSERT_EQ(z.size(), 500u);
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(z[499], (ZoneRect{500, 500, 100, 100}));
}

TEST(FindRegionByTitle, BindingRows) {
    const std::vector<DetailRow> rows = {
        {1, 3, 2, L"C:\\Tools\\putty.exe"}, {1, 3, 1, L"C:\\Temp\\"},      {1, 3, 3, L".NET Reflector"},
        {1, 3, 1, L"notes - Notepad"},      {1, 3, 3, L"/home/me/putty"}, {2, 5, 4, L"Mail"},
    };
    const struct { const char* what; int type, rowCount; const wchar_t* title; int expected; } cases[] = {
        {"file name without extension", 3, 6, L"server - putty", 2},
        {"first matching row wins", 3, 6, L"putty notes - Notepad", 2},
        {"empty derived names pin nothing", 3, 6, L"Untitled", -1},
        {"text before the last full stop", 3, 6, L"my notes - Notepad", 1},
        {"only the given type", 3, 6, L"Mail - Inbox", -1},
        {"other type", 5, 6, L"Mail - Inbox", 4},
        {"row count limits the rows", 5, 5, L"Mail - Inbox", -1},
        {"case-sensitive", 3, 6, L"PUTTY", -1},
        {"negative row count", 3, -2, L"putty", -1},
        {"row count beyond the rows", 5, 60, L"Inbox", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindRegionByTitle(rows, c.type, c.rowCount, c.title), c.expected) << c.what;
    }
    // A screen without bindings (empty path, region 0) decides for every title.
    EXPECT_EQ(FindRegionByTitle({Row(1, 3), Row(2, 3, 2, L"putty")}, 3, 2, L"putty"), 0);
}

TEST(UserLayout, ExampleWithAPinnedThirdWindow) {
    Desk d({{0, 0, 1920, 1040}});
    d.ctx.actKey = L"2";
    d.ctx.executeHotkeyType = 1;
    d.ctx.overlapWindows = 1;
    d.ctx.windows = {Win(1, 10, 10, 400, 300, L"one"), Win(2, 20, 20, 400, 300, L"two"),
                     Win(3, 30, 30, 400, 300, L"build.log - putty"), Win(4, 40, 40, 400, 300, L"four"),
                     Win(5, 50, 50, 400, 300, L"five")};
    const LayoutPlan p = PlanUserDefinedLayout(d.ctx, {Row(1, 3, 2, L"D:\\bin\\putty.exe")}, Loader(PresetTypes()),
                                               L"Q", L"1");
    EXPECT_EQ(p.zones, (std::vector<ZoneRect>{{0, 0, 960, 1040}, {960, 0, 960, 520}, {960, 520, 960, 520}}));
    // Window 3 pinned to region 2, window 2 spread to the free zone, the rest cascaded in zone 0.
    EXPECT_EQ(Moves(p.moves),
              "1@0,0 960x1040|4@25,25 935x1015|5@50,50 910x990|3@960,0 960x520|2@960,520 960x520");
    EXPECT_EQ(p.logLine, L"[M1 at 1(1920x1040) K2]: Ctrl + Q + 1 (5) ...OK");
}

TEST(UserLayout, PinningAndMonitorRules) {
    auto types = PresetTypes();
    types[8] = {{0, 0.5, 1, 0.6}};  // reaches below the monitor entry
    const std::vector<ScreenRect> one = {{0, 0, 1920, 1040}}, two = {{0, 0, 1920, 1040}, {1920, 0, 1920, 1080}};
    const struct {
        const char* what; std::vector<ScreenRect> monitors; std::vector<DetailRow> details; WindowFacts window;
        std::vector<int> zones;  // empty: not arranged
        int pinned;
    } cases[] = {
        {"taskbar strip, title bound", one, {{1, 2, 2, L"putty"}}, Win(1, 100, 1050, 400, 300, L"putty"), {1}, 1},
        {"taskbar strip, unbound", one, {{1, 2, 2, L"putty"}}, Win(1, 100, 1050, 400, 300, L"other"), {}, 0},
        {"taskbar strip, a zone reaching past the entry", one, {Row(1, 8)}, Win(1, 100, 1050), {0}, 0},
        {"two monitors, off the monitor, bound", two, {{1, 2, 2, L"putty"}}, Win(1, 2000, 10, 400, 300, L"putty"),
         {}, 0},
        {"binding beyond the zones pins nothing", one, {{1, 2, 7, L"putty"}}, Win(1, 1000, 10, 400, 300, L"putty"),
         {0}, 0},
        {"first screen unbound, later screen bound", one, {Row(1, 2), Row(2, 2, 2, L"putty")},
         Win(1, 10, 10, 400, 300, L"putty"), {0}, 0},
        {"only the first type's bindings pin", one, {Row(1, 2), Row(2, 5, 3, L"putty")},
         Win(1, 10, 10, 400, 300, L"putty"), {0}, 0},
        {"two matching bindings: the first row", one, {{1, 5, 3, L"putty"}, {1, 5, 4, L"pu"}},
         Win(1, 10, 10, 400, 300, L"putty"), {2}, 1},
        {"maximised on a single monitor", one, {Row(1, 2)}, Win(1, -8, -8, 1936, 1056), {0}, 0},
        {"a type without regions arranges nothing", one, {Row(1, 77)}, Win(1, 10, 10), {}, 0},
        {"a rule without an active screen does nothing, not even log", one, {}, Win(1, 10, 10), {}, 0},
    };
    for (const auto& c : cases) {
        Desk d(c.monitors);
        d.ctx.windows = {c.window};
        const LayoutPlan p = PlanUserDefinedLayout(d.ctx, c.details, Loader(types), L"Q", L"2");
        EXPECT_EQ(Zones(p.placements), c.zones) << c.what;
        EXPECT_EQ(p.performed, !c.details.empty()) << c.what;
        EXPECT_EQ(p.logLine.IsEmpty(), c.details.empty()) << c.what;
        if (!c.zones.empty()) {
            EXPECT_EQ(p.placements.records[0].pinned, c.pinned) << c.what;
        }
    }
}

TEST(UserLayout, SeveralTypesAndZonesPastTheHundredth) {
    // Type 2 then 5 then 2 again: 2 + 4 + 2 zones, all on the monitor under the cursor.
    Desk d({{0, 0, 1920, 1040}, {-1600, 0, 1600, 900}}, -5, 5);
    for (int i = 0; i < 9; ++i) d.ctx.windows.push_back(Win(1 + i, -1600 + 10 * i, 10));
    const LayoutPlan p =
        PlanUserDefinedLayout(d.ctx, {Row(1, 2), Row(2, 5), Row(3, 2)}, Loader(PresetTypes()), L"Q", L"3");
    ASSERT_EQ(p.zones.size(), 8u);
    EXPECT_EQ(p.zones[2], (ZoneRect{-1600, 0, 800, 450}));
    EXPECT_EQ(Zones(p.placements), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0}));

    // 200 zones and 120 windows: the first 100 are arranged and spread up to zone 99, the rest left alone.
    Desk e({{0, 0, 1920, 1040}});
    for (int i = 0; i < 120; ++i) e.ctx.windows.push_back(Win(1 + i, 10, 10));
    const LayoutPlan q = PlanUserDefinedLayout(e.ctx, {Row(1, 150)},
                                               Loader({{150, std::vector<RegionFraction>(200, {0, 0, 0.5, 0.5})}}),
                                               L"Q", L"4");
    EXPECT_EQ(q.placements.skipped, 20);
    EXPECT_EQ(q.placements.records[99].hwnd, 100u);
    EXPECT_EQ(q.placements.records[99].zone, 99);
    EXPECT_EQ(q.logLine, L"[M1 at 1(1920x1040) K1]: Alt + Q + 4 (100) ...OK");
}

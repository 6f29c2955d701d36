#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/core/RuleLayout.h"

using namespace ruleui;
using engine::ScreenRect;
using engine::WinRect;

namespace {

WinRect Win(int x, int y, int w, int h) { return WinRect{x, y, x + w, y + h}; }

// The capture order as the numbers of the windows in z-order, e.g. "2 1 3".
std::string Order(const std::vector<WinRect>& wins, const ScreenRect& m) {
    std::vector<RegionNode> regions = CaptureRegions(wins, m);
    std::string out;
    for (const RegionNode& r : regions)
        for (size_t i = 0; i < wins.size(); ++i)
            if (std::lround(r.x * m.width) + m.x == wins[i].left && std::lround(r.y * m.height) + m.y == wins[i].top &&
                std::lround(r.width * m.width) == wins[i].right - wins[i].left)
                out += (out.empty() ? "" : " ") + std::to_string(i + 1);
    return out;
}

}  // namespace

TEST(Capture, ColumnsThenTopsWithTheExactMergeAndOnlyCornersOnTheMonitor) {
    const ScreenRect m{0, 0, 1920, 1040};
    const struct {
        const char* what;
        std::vector<WinRect> wins;
        const char* order;
    } cases[] = {
        {"30 px apart: one column, top first", {Win(130, 500, 100, 100), Win(100, 100, 100, 100)}, "2 1"},
        {"80 px apart: left first whatever the tops", {Win(180, 100, 100, 100), Win(100, 500, 100, 100)}, "2 1"},
        {"exactly 50 apart is two columns", {Win(150, 100, 10, 10), Win(100, 900, 10, 10)}, "2 1"},
        {"equal windows keep z-order", {Win(10, 10, 5, 5), Win(10, 10, 6, 6)}, "1 2"},
        // Not transitive: B is above A (one column), A left of C, C with B one column again.
        // Merging [A] into the sorted run [B C] gives B A C.
        {"non-transitive trio follows the merge", {Win(0, 300, 5, 5), Win(40, 0, 5, 5), Win(80, 200, 5, 5)}, "2 1 3"},
        {"corner one pixel left or above is not captured",
         {Win(-1, 10, 50, 50), Win(10, -1, 50, 50), Win(1919, 1039, 50, 50), Win(1920, 10, 5, 5)}, "3"},
    };
    for (const auto& c : cases) EXPECT_EQ(Order(c.wins, m), c.order) << c.what;
}

// Maximised and snapped windows of Windows 10 and 11 start their rectangle a few pixels beyond
// the monitor, by their own invisible border: the corner test takes the visible frame's corner,
// while the zone keeps the window rectangle that a layout later sets.
TEST(Capture, TheCornerTestAllowsTheWindowsOwnInvisibleBorder) {
    const ScreenRect m{1920, 0, 1920, 1040};
    const WinRect maximised{1912, -8, 3848, 1048}, snappedLeft{1913, 0, 2887, 1047}, noBorder{1910, 10, 2500, 500};
    const WinRect maximisedFrame{1920, 0, 3840, 1040}, snappedFrame{1920, 0, 2880, 1040};
    EXPECT_EQ(BorderOf(maximised, maximisedFrame).left, 8);
    EXPECT_EQ(BorderOf(maximised, maximisedFrame).top, 8);
    EXPECT_EQ(BorderOf(snappedLeft, snappedFrame).left, 7);
    EXPECT_EQ(BorderOf(snappedLeft, snappedFrame).top, 0);
    // No compositor: the frame is the rectangle, or nothing sensible came back.
    EXPECT_EQ(BorderOf(noBorder, noBorder).left, 0);
    EXPECT_EQ(BorderOf(noBorder, WinRect{}).left, 0);
    EXPECT_EQ(BorderOf(noBorder, WinRect{5000, -70, 6000, 0}).top, 0);

    const struct {
        const char* what;
        WinRect window;
        FrameBorder border;
        bool captured;
    } cases[] = {
        {"maximised, with its border", maximised, {8, 8}, true},
        {"maximised, no border known (Wine)", maximised, {}, false},
        {"snapped left", snappedLeft, {7, 0}, true},
        {"a border does not reach past the one pixel outside", noBorder, {9, 0}, false},
        {"a border takes the corner off the monitor's far edge", WinRect{3835, 10, 3900, 50}, {5, 0}, false},
        {"the primary's window next door stays out", WinRect{1000, 0, 1919, 1040}, {8, 0}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(CapturedOnMonitor(c.window, c.border, m), c.captured) << c.what;

    std::vector<RegionNode> r = CaptureRegions({maximised, noBorder, snappedLeft}, m, {{8, 8}, {}, {7, 0}});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r[0].x, -8.0 / 1920) << "the stored rectangle stays the window rectangle";
    EXPECT_DOUBLE_EQ(r[0].y, -8.0 / 1040);
    EXPECT_DOUBLE_EQ(r[0].width, 1936.0 / 1920);
    EXPECT_DOUBLE_EQ(r[1].x, -7.0 / 1920);
    EXPECT_DOUBLE_EQ(r[1].height, 1047.0 / 1040);
}

TEST(Capture, FractionsLimitsAndEmptyMonitors) {
    // A second monitor at (1920, 0): a window in its middle is a quarter-sized centred zone.
    std::vector<RegionNode> r = CaptureRegions({Win(2400, 260, 960, 520)}, ScreenRect{1920, 0, 1920, 1040});
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].number, 1);
    EXPECT_EQ(r[0].type_flg, TYPE_FLG_USER);
    EXPECT_EQ(r[0].type_id, -1);
    EXPECT_DOUBLE_EQ(r[0].x, 0.25);
    EXPECT_DOUBLE_EQ(r[0].y, 0.25);
    EXPECT_DOUBLE_EQ(r[0].width, 0.5);
    EXPECT_DOUBLE_EQ(r[0].height, 0.5);

    // A monitor of no size (no current mode) or no window: nothing, and no division by zero.
    EXPECT_TRUE(CaptureRegions({Win(0, 0, 10, 10)}, ScreenRect{0, 0, 0, 1040}).empty());
    EXPECT_TRUE(CaptureRegions({Win(0, 0, 10, 10)}, ScreenRect{0, 0, 1920, 0}).empty());
    EXPECT_TRUE(CaptureRegions({}, ScreenRect{0, 0, 1920, 1040}).empty());

    // 150 windows: the first 100 in z-order, numbered 1..100.
    std::vector<WinRect> many;
    for (int i = 0; i < 150; ++i) many.push_back(Win(i * 10, 0, 10, 10));
    r = CaptureRegions(many, ScreenRect{0, 0, 1920, 1040});
    ASSERT_EQ(r.size(), 100u);
    EXPECT_EQ(r.back().number, 100);
    EXPECT_DOUBLE_EQ(r.back().x, 990.0 / 1920);
}

TEST(Capture, ANewCaptureReplacesEveryCapturedRegionAndDeleteWindowRenumbers) {
    RegionList regions;
    RegionNode preset;
    preset.type_flg = 1;
    preset.type_id = 5;
    RegionNode stored;
    stored.type_flg = TYPE_FLG_USER;
    stored.type_id = 100;
    regions = {preset, stored};
    ReplaceCapturedRegions(regions, CaptureRegions({Win(0, 0, 10, 10), Win(500, 0, 10, 10), Win(1000, 0, 10, 10),
                                                    Win(1500, 0, 10, 10)},
                                                   ScreenRect{0, 0, 1920, 1040}));
    EXPECT_EQ(regions.front().deleted, 0);                         // presets stay
    EXPECT_EQ(std::next(regions.begin())->deleted, 1);            // the stored capture goes
    EXPECT_EQ(RegionsOfType(regions, -1).size(), 4u);
    EXPECT_TRUE(RegionsOfType(regions, 100).empty());

    for (const wchar_t* ignored : {L"", L"0", L"01", L" 1", L"5"}) EXPECT_FALSE(DeleteCapturedRegion(regions, -1, ignored));
    EXPECT_FALSE(DeleteCapturedRegion(regions, 5, L"1"));  // presets are never deleted
    ASSERT_TRUE(DeleteCapturedRegion(regions, -1, L"2"));
    std::vector<RegionNode*> live = RegionsOfType(regions, -1);
    ASSERT_EQ(live.size(), 3u);
    EXPECT_DOUBLE_EQ(live[1]->x, 1000.0 / 1920);  // region 3 moved up
}

TEST(RegionButtons, PlacesCaptionsAndTheSlotLimit) {
    RegionNode r;
    r.x = 0.5, r.y = 0.5, r.width = 0.5, r.height = 0.5;
    const ButtonRect b = RegionButtonRect(20.9, 40.9, kCanvasWidth, kCanvasHeight, r);  // truncated sums
    EXPECT_EQ(std::vector<int>({b.left, b.top, b.width, b.height}), std::vector<int>({390, 240, 370, 200}));
    // Damaged fractions never reach an undefined conversion.
    r.x = std::numeric_limits<double>::quiet_NaN();
    r.width = 1e300;
    const ButtonRect bad = RegionButtonRect(0, 0, kPreviewWidth, kPreviewHeight, r);
    EXPECT_EQ(bad.left + bad.width, 0);

    // Captions count the shown screen's bindings of that zone; other screens' records are zero.
    std::vector<TitleRecord> titles(4);
    titles[0].id = 1, titles[0].region_id = 2;
    titles[1].id = 2, titles[1].region_id = 2;
    titles[3].id = 4, titles[3].region_id = 1;
    EXPECT_EQ(PreviewCaption(2, titles), L"2(2)");
    EXPECT_EQ(PreviewCaption(3, titles), L"3(0)");

    // A stored type of 150 regions gives 100 buttons.
    RegionList many(150);
    for (RegionNode& n : many) n.type_id = 101;
    EXPECT_EQ(RegionsOfType(many, 101).size(), static_cast<size_t>(kMaxRegionButtons));
}

TEST(HotkeyDigits, FreeDigitsWithoutZeroAndTheRulesOwn) {
    auto arr = [](std::initializer_list<const wchar_t*> d) {
        CStringArray a;
        for (const wchar_t* s : d) a.Add(s);
        return a;
    };
    auto text = [](const std::vector<CString>& v) {
        CString s;
        for (const CString& d : v) s += d;
        return s;
    };
    EXPECT_EQ(text(OfferedHotkeyDigits(arr({L"0", L"2", L"4", L"5", L"6", L"7", L"8", L"9"}), L"")), L"2456789");
    EXPECT_EQ(text(OfferedHotkeyDigits(arr({L"0"}), L"")), L"");     // a tenth rule: nothing to offer
    EXPECT_EQ(text(OfferedHotkeyDigits(arr({L"0", L"7"}), L"3")), L"37");
    EXPECT_EQ(text(OfferedHotkeyDigits(arr({L"1", L"2"}), L"")), L"12");  // "1" is not dropped with Q0 taken
    EXPECT_EQ(CRuleStore::FormatHotkeyText(L"Q"), L"None");
}

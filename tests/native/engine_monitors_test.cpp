#include <gtest/gtest.h>

#include <vector>

#include "engine/core/Monitors.h"

using namespace engine;

namespace {

DisplayDeviceFacts Monitor(int x, int y, int w, int h) {
    DisplayDeviceFacts d;
    d.exists = d.attachedToDesktop = d.hasMode = true;
    d.x = x, d.y = y, d.width = w, d.height = h;
    return d;
}

}  // namespace

TEST(MonitorIndexFromPoint, HalfOpenEdgesNegativeCoordinatesAndCounts) {
    // Primary with taskbar, a secondary to the left and above, a third to the right.
    const std::vector<ScreenRect> table = {{0, 0, 1920, 1040}, {-1280, -200, 1280, 1024}, {1920, 0, 1600, 900}};
    const struct { int x, y, expected; } cases[] = {
        {0, 0, 0},       {1919, 1039, 0}, {1920, 0, 2},     {3519, 899, 2}, {3520, 0, 0},
        {1919, 1040, 0}, {-1, 0, 1},      {-1280, -200, 1}, {-1281, 0, 0},  {-1, 823, 1},
        {-1, 824, 0},    {0, -1, 0},      {2000, 900, 0},   {-5000, -5000, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonitorIndexFromPoint(table.data(), 3, c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    // Only the counted entries are looked at.
    EXPECT_EQ(MonitorIndexFromPoint(table.data(), 2, 2000, 10), 0);
    EXPECT_EQ(MonitorIndexFromPoint(table.data(), -3, -10, 10), 0);
    EXPECT_EQ(MonitorIndexFromPoint(nullptr, 3, 0, 0), 0);

    // More monitors reported than the table holds; on the heap, so a read past its end trips the sanitizer.
    std::vector<ScreenRect> full(kMaxScreens);
    for (int i = 0; i < kMaxScreens; ++i) full[i] = {i * 100, 0, 100, 100};
    EXPECT_EQ(MonitorIndexFromPoint(full.data(), 150, 9950, 50), 99);
    EXPECT_EQ(MonitorIndexFromPoint(full.data(), 150, 10000, 50), 0);
}

TEST(FillMonitorTable, TaskbarCorrectionOfThePrimary) {
    const DisplayDeviceFacts primary = Monitor(0, 0, 1920, 1080);
    const struct { const char* what; DisplayDeviceFacts device; WorkArea work; ScreenRect expected; } cases[] = {
        {"bottom taskbar", primary, {0, 0, 1920, 1040}, {0, 0, 1920, 1040}},
        {"top taskbar", primary, {0, 40, 1920, 1080}, {0, 40, 1920, 1040}},
        {"left taskbar", primary, {60, 0, 1920, 1080}, {0, 0, 1920, 1080}},
        {"no monitor at the origin: the first entry", Monitor(100, 50, 1920, 1080), {0, 0, 1920, 1040},
         {100, 50, 1920, 1040}},
    };
    for (const auto& c : cases) {
        std::vector<ScreenRect> table(kMaxScreens);
        EXPECT_EQ(FillMonitorTable(1, &c.device, 1, 1080, c.work, table.data()), 1) << c.what;
        EXPECT_EQ(table[0], c.expected) << c.what;
    }
}

TEST(FillMonitorTable, SkipsDevicesThatAreNotDesktopMonitors) {
    std::vector<DisplayDeviceFacts> devices = {
        Monitor(-1920, 0, 1920, 1080),  // secondary enumerated first
        Monitor(0, 0, 0, 0),            // adapter without a current mode
        Monitor(0, 0, 1920, 1080),      // mirror driver copying the primary
        Monitor(5000, 0, 800, 600),     // not part of the desktop
        Monitor(0, 0, 1920, 1080),      // the primary
        Monitor(1920, -300, 1280, 1024),
    };
    devices[1].hasMode = false;
    devices[2].mirroring = true;
    devices[3].attachedToDesktop = false;
    std::vector<ScreenRect> table(kMaxScreens);
    table[3] = {7, 7, 7, 7};  // left over from an earlier refresh
    EXPECT_EQ(FillMonitorTable(4, devices.data(), 6, 1080, WorkArea{0, 0, 1920, 1040}, table.data()), 3);
    EXPECT_EQ(std::vector<ScreenRect>(table.begin(), table.begin() + 4),
              (std::vector<ScreenRect>{{-1920, 0, 1920, 1080},   // no taskbar taken off the secondary
                                       {0, 0, 1920, 1040},
                                       {1920, -300, 1280, 1024},
                                       {7, 7, 7, 7}}));  // no device left: former contents kept
}

TEST(FillMonitorTable, CountsOutsideTheTable) {
    std::vector<DisplayDeviceFacts> devices;
    for (int i = 0; i < 60; ++i) devices.push_back(Monitor(i * 1000, 0, 1000, 800));
    std::vector<ScreenRect> table(kMaxScreens);
    // Only 50 device indexes are tried and only 100 entries exist, whatever the system reports.
    EXPECT_EQ(FillMonitorTable(150, devices.data(), 60, 800, WorkArea{0, 0, 1000, 770}, table.data()), 50);
    EXPECT_EQ(table[0], (ScreenRect{0, 0, 1000, 770}));
    EXPECT_EQ(table[49], (ScreenRect{49000, 0, 1000, 800}));
    EXPECT_EQ(table[50], ScreenRect{});

    table[0] = {1, 2, 3, 4};
    EXPECT_EQ(FillMonitorTable(0, devices.data(), 60, 800, WorkArea{}, table.data()), 0);
    EXPECT_EQ(FillMonitorTable(2, nullptr, 0, 800, WorkArea{}, table.data()), 0);
    EXPECT_EQ(table[0], (ScreenRect{1, 2, 3, 4}));
}

// Time to plan a whole layout (zones, candidate tests, assignment, spreading, move list) for
// 20, 50 and 100 arranged windows, each among three times as many windows that the walk drops.
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/core/Layouts.h"

using namespace engine;

namespace {

// Of every four windows one is arranged, one is a dialog and two are hidden.
std::vector<WindowFacts> Desktop(int arranged) {
    std::vector<WindowFacts> windows(static_cast<size_t>(arranged) * 4);
    for (int i = 0; i < arranged * 4; ++i) {
        WindowFacts& w = windows[static_cast<size_t>(i)];
        w.id = static_cast<WindowId>(0x10000 + i);
        w.visible = i % 4 < 2;
        w.className = i % 4 == 1 ? L"#32770" : L"Chrome_WidgetWin_1";
        w.title.Format(L"Document %d - Some Application Name", i);
        w.rect = {(i * 37) % 1800, (i * 53) % 1000, (i * 37) % 1800 + 640, (i * 53) % 1000 + 480};
    }
    return windows;
}

template <typename Plan>
double MicrosecondsPerLayout(Plan plan, size_t& moves) {
    const int rounds = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) moves = plan().moves.size();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / rounds;
}

}  // namespace

int main() {
    std::vector<ScreenRect> screens(kMaxScreens);
    screens[0] = {0, 0, 1920, 1040};
    screens[1] = {-1920, -200, 1920, 1080};
    auto load = [](int type) {
        return type == 3 ? std::vector<RegionFraction>{{0, 0, 0.5, 1}, {0.5, 0, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}
                         : std::vector<RegionFraction>{{0, 0, 0.5, 0.5}, {0.5, 0, 0.5, 0.5}, {0, 0.5, 0.5, 0.5},
                                                       {0.5, 0.5, 0.5, 0.5}};
    };
    // Three title bindings on the first screen (type 3), a second screen of type 5.
    std::vector<DetailRow> details = {{1, 3, 1, L""}, {1, 3, 2, L""}, {1, 3, 3, L""}, {2, 5, 0, L""}};
    for (int r = 0; r < 3; ++r) details[r].filePath.Format(L"C:\\Apps\\tool%d.exe", (r + 1) * 7);

    std::printf("layout plan (zones + filters + assignment + spreading + move list), mean per layout\n");
    std::printf("%-9s %-14s %-12s %-10s\n", "windows", "layout", "us/layout", "moves");
    for (int n : {20, 50, 100}) {
        LayoutContext ctx;
        ctx.screens = screens.data();
        ctx.screenCount = 2;
        ctx.cursorX = ctx.cursorY = 100;
        ctx.actKey = L"1";
        ctx.overlapWindows = 1;
        ctx.excludeNames = {L"Private Browsing", L"KeePass", L"Spotify Premium Edition"};
        ctx.windows = Desktop(n);
        ctx.foreground = ctx.windows[4].id;
        size_t moves = 0;
        const double grid = MicrosecondsPerLayout([&] { return PlanGridLayout(ctx, 3, 3); }, moves);
        std::printf("%-9d %-14s %-12.2f %-10zu\n", n, "grid 3x3", grid, moves);
        const double user =
            MicrosecondsPerLayout([&] { return PlanUserDefinedLayout(ctx, details, load, L"Q", L"1"); }, moves);
        std::printf("%-9d %-14s %-12.2f %-10zu\n", n, "user-defined", user, moves);
        if (n == 100) std::printf("\nRESULT plan_grid_us_100 %.1f -\n", grid);
    }
    return 0;
}

// Time to plan a whole layout (zones, candidate tests, assignment, spreading, move list) for
// 20, 50 and 100 arranged windows, each among three times as many windows that the walk drops.
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "engine/core/Layouts.h"

using namespace engine;

namespace {

std::vector<WindowFacts> Desktop(int arranged) {
    std::vector<WindowFacts> windows;
    for (int i = 0; i < arranged * 4; ++i) {
        WindowFacts w;
        w.id = static_cast<WindowId>(0x10000 + i);
        w.visible = i % 4 == 0 || i % 4 == 1;
        w.className = i % 4 == 1 ? L"#32770" : L"Chrome_WidgetWin_1";
        w.title.Format(L"Document %d - Some Application Name", i);
        const int left = (i * 37) % 1800;
        const int top = (i * 53) % 1000;
        w.rect = {left, top, left + 640, top + 480};
        windows.push_back(w);
    }
    return windows;
}

template <typename Plan>
double MicrosecondsPerLayout(Plan plan, int rounds) {
    size_t sink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) sink += plan().moves.size();
    const auto end = std::chrono::steady_clock::now();
    if (sink == 0) std::printf("(no moves)\n");
    return std::chrono::duration<double, std::micro>(end - start).count() / rounds;
}

}  // namespace

int main() {
    std::vector<ScreenRect> screens(kMaxScreens);
    screens[0] = {0, 0, 1920, 1040};
    screens[1] = {-1920, -200, 1920, 1080};

    const std::map<int, std::vector<RegionFraction>> types = {
        {3, {{0, 0, 0.5, 1}, {0.5, 0, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}},
        {5, {{0, 0, 0.5, 0.5}, {0.5, 0, 0.5, 0.5}, {0, 0.5, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}}},
    };
    auto load = [&types](int id) {
        auto it = types.find(id);
        return it == types.end() ? std::vector<RegionFraction>{} : it->second;
    };
    std::vector<DetailRow> details;
    for (int r = 1; r <= 3; ++r) {
        DetailRow row;
        row.screenId = 1;
        row.typeId = 3;
        row.regionId = r;
        row.filePath.Format(L"C:\\Apps\\tool%d.exe", r * 7);
        details.push_back(row);
    }
    DetailRow second;
    second.screenId = 2;
    second.typeId = 5;
    details.push_back(second);

    std::printf("layout plan (zones + filters + assignment + spreading + move list), mean per layout\n");
    std::printf("%-9s %-14s %-12s %-10s\n", "windows", "layout", "us/layout", "moves");
    for (int n : {20, 50, 100}) {
        LayoutContext ctx;
        ctx.screens = screens.data();
        ctx.screenCount = 2;
        ctx.cursorX = 100;
        ctx.cursorY = 100;
        ctx.actKey = L"1";
        ctx.overlapWindows = 1;
        ctx.excludeNames = {L"Private Browsing", L"KeePass", L"Spotify Premium Edition"};
        ctx.windows = Desktop(n);
        ctx.foreground = ctx.windows[4].id;
        const int rounds = 2000;
        const double grid = MicrosecondsPerLayout([&] { return PlanGridLayout(ctx, 3, 3); }, rounds);
        const double user = MicrosecondsPerLayout(
            [&] { return PlanUserDefinedLayout(ctx, details, load, L"Q", L"1"); }, rounds);
        std::printf("%-9d %-14s %-12.2f %-10zu\n", n, "grid 3x3", grid, PlanGridLayout(ctx, 3, 3).moves.size());
        std::printf("%-9d %-14s %-12.2f %-10zu\n", n, "user-defined", user,
                    PlanUserDefinedLayout(ctx, details, load, L"Q", L"1").moves.size());
    }
    return 0;
}

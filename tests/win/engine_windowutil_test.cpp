// The window filters and the mover on real windows under Wine. Integration tests: they create
// windows of their own and of a sample process on the test display. The monitor table: the
// two-monitor scenario.
#include <gtest/gtest.h>

#include "engine/WindowUtil.h"
#include "tests/e2e/LayoutSupport.h"

namespace {

using layout::Rect;

struct OwnWindow {
    HWND h;
    explicit OwnWindow(const wchar_t* title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD ex = 0)
        : h(CreateWindowExW(ex, L"STATIC", title, style, 100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnWindow() { DestroyWindow(h); }
};

// Which facts make a window a candidate: the filter's own tests and the grid scenario, whose
// filtered windows stay put. Here: that the facts are read as the platform has them.
TEST(EngineWindowUtil, ReadsTheFactsOfAWindowAndWalksTopDown) {
    CWindowUtil util;
    OwnWindow plain(L"Plain window"), hidden(L"Hidden window", WS_OVERLAPPEDWINDOW), listed(L"Build log - editor"),
        topmost(L"Always on top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_TOPMOST);
    const engine::WindowFacts f = util.ReadWindowFacts(plain.h);
    EXPECT_EQ(f.className, CString(L"Static"));
    EXPECT_EQ(f.title, CString(L"Plain window"));
    EXPECT_EQ(layout::RectText({f.rect.left, f.rect.top, f.rect.right, f.rect.bottom}), "(100,100 300x200)");
    EXPECT_TRUE(f.visible && f.enabled && f.exists && !f.minimised && !f.topmost);
    EXPECT_TRUE(util.ReadWindowFacts(topmost.h).topmost);
    EXPECT_FALSE(util.ReadWindowFacts(hidden.h).visible);

    // The walk meets visible windows only, from the top of the z-order down.
    SetWindowPos(listed.h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int listedAt = -1, plainAt = -1, i = 0;
    for (const engine::WindowFacts& w : util.ReadTopLevelWindows()) {
        EXPECT_NE(w.id, reinterpret_cast<engine::WindowId>(hidden.h));
        if (w.id == reinterpret_cast<engine::WindowId>(listed.h)) listedAt = i;
        if (w.id == reinterpret_cast<engine::WindowId>(plain.h)) plainAt = i;
        ++i;
    }
    ASSERT_GE(listedAt, 0);
    EXPECT_LT(listedAt, plainAt);

    // A closed window is simply no longer usable.
    const HWND gone = OwnWindow(L"Closed").h;  // created and destroyed at once
    EXPECT_FALSE(CWindowUtil::IsWindowUsable(gone));
    EXPECT_FALSE(util.ReadWindowFacts(gone).visible);
}

// Plans the pair of calls that raises a window into `r`: topmost, then not topmost.
void Raise(std::vector<engine::WindowMove>& moves, HWND h, const RECT& r) {
    engine::WindowMove m;
    m.hwnd = reinterpret_cast<engine::WindowId>(h);
    m.x = r.left;
    m.y = r.top;
    m.width = r.right - r.left;
    m.height = r.bottom - r.top;
    moves.push_back(m);
    m.insertAfter = engine::InsertAfter::kNoTopmost;
    moves.push_back(m);
}

TEST(EngineWindowUtil, MovesInThePlannedStackingOrderPastWindowsClosedMinimisedOrSilentSinceTheWalk) {
    layout::SampleWindows a, b, quiet;
    ASSERT_TRUE(a.Start({{L"A one", Rect(50, 50, 300, 200), L""}, {L"A two", Rect(60, 60, 300, 200), L""}}));
    ASSERT_TRUE(b.Start({{L"B one", Rect(70, 70, 300, 200), L"min"}, {L"B two", Rect(80, 80, 300, 200), L""}}));
    ASSERT_TRUE(quiet.Start({{L"Sleepy", Rect(90, 90, 300, 200), L""}}));
    OwnWindow mine(L"Mine");
    const HWND gone = OwnWindow(L"Closed").h;  // created and destroyed at once
    // Windows of other processes, then of our own thread, each to its own quarter of 1200 x 800.
    const HWND planned[] = {a.Get(L"A one"), b.Get(L"B two"), mine.h, a.Get(L"A two")};
    const RECT target = Rect(700, 100, 500, 300);
    std::vector<engine::WindowMove> moves;
    Raise(moves, gone, target);
    Raise(moves, quiet.Get(L"Sleepy"), target);
    Raise(moves, b.Get(L"B one"), target);
    for (int i = 0; i < 4; ++i) Raise(moves, planned[i], Rect(600 * (i % 2), 400 * (i / 2), 600, 400));
    quiet.Hang(3000);
    Sleep(100);
    CWindowUtil util;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(util.ApplyMoves(moves), 4);  // the closed and the minimised window, two calls each
    EXPECT_LT(GetTickCount64() - start, 1500u);
    // Every other move is done when the call returns, and later windows lie above earlier ones.
    for (int i = 0; i < 4; ++i) {
        EXPECT_RECT(Rect(600 * (i % 2), 400 * (i / 2), 600, 400), planned[i]);
        EXPECT_TRUE(i == 0 || layout::ZOrder({planned[i - 1], planned[i]}).front() == planned[i]) << i;
    }
    EXPECT_FALSE(GetWindowLongW(planned[3], GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsIconic(b.Get(L"B one")));
    // The silent window takes its place once it answers again.
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(quiet.RectOf(L"Sleepy"), target); }, 10000));
}

}  // namespace

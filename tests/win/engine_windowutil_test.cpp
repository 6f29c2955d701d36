// The window filters, the monitor table and the mover on real windows under Wine. Integration
// tests: they create windows of their own and of a sample process on the test display.
#include <gtest/gtest.h>

#include "engine/WindowUtil.h"
#include "tests/e2e/LayoutSupport.h"

namespace {

using engine::CandidateVerdict;

struct OwnWindow {
    HWND h = nullptr;
    OwnWindow(const wchar_t* title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD ex = 0) {
        h = CreateWindowExW(ex, L"STATIC", title, style, 100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
    }
    ~OwnWindow() {
        if (h) DestroyWindow(h);
    }
};

CandidateVerdict Verdict(CWindowUtil& util, HWND h, const std::vector<CString>& excludes = {}) {
    return engine::CheckLayoutCandidate(util.ReadWindowFacts(h), excludes, util.HostFlags());
}

TEST(EngineWindowUtil, ReadsTheFactsThatDecideWhetherAWindowIsArranged) {
    CWindowUtil util;
    OwnWindow plain(L"Plain window");
    OwnWindow hidden(L"Hidden window", WS_OVERLAPPEDWINDOW);
    OwnWindow minimised(L"Minimised window");
    ShowWindow(minimised.h, SW_MINIMIZE);
    OwnWindow disabled(L"Disabled window");
    EnableWindow(disabled.h, FALSE);
    OwnWindow untitled(L"");
    OwnWindow own(L"Option (Tessora)");
    OwnWindow listed(L"Build log - editor");
    OwnWindow topmost(L"Always on top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_TOPMOST);
    const std::vector<CString> excludes = {CString(L"Build log")};

    const struct {
        HWND h;
        CandidateVerdict verdict;
    } cases[] = {
        {plain.h, CandidateVerdict::kCandidate},       {hidden.h, CandidateVerdict::kNotVisible},
        {minimised.h, CandidateVerdict::kNotUsable},   {disabled.h, CandidateVerdict::kNotUsable},
        {untitled.h, CandidateVerdict::kFixedFilter},  {own.h, CandidateVerdict::kFixedFilter},
        {listed.h, CandidateVerdict::kExcludeList},    {topmost.h, CandidateVerdict::kCandidate},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Verdict(util, c.h, excludes), c.verdict) << wts::Wide2Narrow(wts::WindowText(c.h));
    }
    EXPECT_TRUE(util.ReadWindowFacts(topmost.h).topmost);
    EXPECT_FALSE(util.ReadWindowFacts(plain.h).topmost);
    const engine::WindowFacts f = util.ReadWindowFacts(plain.h);
    EXPECT_EQ(f.className, CString(L"Static"));
    EXPECT_EQ(f.rect.left, 100);
    EXPECT_EQ(f.rect.bottom, 300);
    EXPECT_FALSE(CWindowUtil::IsWindowUsable(disabled.h));
    EXPECT_TRUE(CWindowUtil::IsWindowUsable(plain.h));

    // A closed window is simply no longer usable.
    HWND gone = plain.h;
    DestroyWindow(plain.h);
    plain.h = nullptr;
    EXPECT_FALSE(CWindowUtil::IsWindowUsable(gone));
    EXPECT_FALSE(util.ReadWindowFacts(gone).visible);
}

TEST(EngineWindowUtil, TheWalkMeetsWindowsFromTheTopOfTheZOrderDown) {
    CWindowUtil util;
    OwnWindow lower(L"Lower one");
    OwnWindow upper(L"Upper one");
    SetWindowPos(upper.h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int upperAt = -1, lowerAt = -1, i = 0;
    for (const engine::WindowFacts& f : util.ReadTopLevelWindows()) {
        EXPECT_TRUE(f.visible);
        if (f.id == reinterpret_cast<engine::WindowId>(upper.h)) upperAt = i;
        if (f.id == reinterpret_cast<engine::WindowId>(lower.h)) lowerAt = i;
        ++i;
    }
    ASSERT_GE(upperAt, 0);
    ASSERT_GE(lowerAt, 0);
    EXPECT_LT(upperAt, lowerAt);
}

TEST(EngineWindowUtil, TheMonitorTableFollowsTheSystemAndTheWorkArea) {
    CWindowUtil util;
    engine::ScreenRect table[engine::kMaxScreens];
    table[1] = {7, 7, 7, 7};
    int count = -1;
    util.GetMonitorRects(&count, table);
    EXPECT_EQ(count, GetSystemMetrics(SM_CMONITORS));
    const RECT entry = layout::PrimaryMonitorEntry();
    EXPECT_EQ(table[0].x, entry.left);
    EXPECT_EQ(table[0].y, entry.top);
    EXPECT_EQ(table[0].width, entry.right - entry.left);
    EXPECT_EQ(table[0].height, entry.bottom - entry.top);
    if (count == 1) {
        EXPECT_EQ(table[1].x, 7);  // entries without a monitor keep their contents
    }
    EXPECT_EQ(CWindowUtil::MonitorIndexFromPoint(table, count, entry.right, 0), 0);
    // No Store, Settings or Edge host runs here: every flag stays live after a probe.
    util.ProbeUwpHosts();
    EXPECT_EQ(util.m_bStoreLive + util.m_bSettingsLive + util.m_bEdgeLive, 3);
}

engine::WindowMove Move(HWND h, engine::InsertAfter after, const RECT& r) {
    engine::WindowMove m;
    m.hwnd = reinterpret_cast<engine::WindowId>(h);
    m.insertAfter = after;
    m.x = r.left;
    m.y = r.top;
    m.width = r.right - r.left;
    m.height = r.bottom - r.top;
    return m;
}

std::vector<engine::WindowMove> Raise(HWND h, const RECT& r) {
    return {Move(h, engine::InsertAfter::kTopmost, r), Move(h, engine::InsertAfter::kNoTopmost, r)};
}

void Append(std::vector<engine::WindowMove>& to, const std::vector<engine::WindowMove>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Above-ness in the z-order.
bool IsAbove(HWND a, HWND b) {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == a) return true;
        if (h == b) return false;
    }
    return false;
}

TEST(EngineWindowUtil, MovesWindowsOfOtherProcessesAndOfOurOwnInThePlannedStackingOrder) {
    layout::SampleWindows a, b;
    ASSERT_TRUE(a.Start({{L"A one", layout::Rect(50, 50, 300, 200), L""}, {L"A two", layout::Rect(60, 60, 300, 200), L""}}));
    ASSERT_TRUE(b.Start({{L"B one", layout::Rect(70, 70, 300, 200), L""}}));
    OwnWindow mine(L"Mine");
    const RECT r1 = layout::Rect(0, 0, 600, 400), r2 = layout::Rect(600, 0, 600, 400), r3 = layout::Rect(0, 400, 600, 400),
               r4 = layout::Rect(600, 400, 600, 400);
    std::vector<engine::WindowMove> moves;
    Append(moves, Raise(a.Get(L"A one"), r1));
    Append(moves, Raise(b.Get(L"B one"), r2));
    Append(moves, Raise(mine.h, r3));
    Append(moves, Raise(a.Get(L"A two"), r4));
    CWindowUtil util;
    EXPECT_EQ(util.ApplyMoves(moves), 0);
    // Every move is done when the call returns, and later windows lie above earlier ones.
    EXPECT_TRUE(layout::SameRect(layout::WindowRect(a.Get(L"A one")), r1));
    EXPECT_TRUE(layout::SameRect(layout::WindowRect(b.Get(L"B one")), r2));
    EXPECT_TRUE(layout::SameRect(layout::WindowRect(mine.h), r3));
    EXPECT_TRUE(layout::SameRect(layout::WindowRect(a.Get(L"A two")), r4));
    EXPECT_TRUE(IsAbove(b.Get(L"B one"), a.Get(L"A one")));
    EXPECT_TRUE(IsAbove(mine.h, b.Get(L"B one")));
    EXPECT_TRUE(IsAbove(a.Get(L"A two"), mine.h));
    EXPECT_FALSE(GetWindowLongW(a.Get(L"A two"), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(EngineWindowUtil, WindowsClosedMinimisedOrSilentSinceTheWalkNeitherCrashNorStallTheMoves) {
    layout::SampleWindows quiet, calm;
    ASSERT_TRUE(quiet.Start({{L"Sleepy", layout::Rect(50, 50, 300, 200), L""}}));
    ASSERT_TRUE(calm.Start({{L"Calm", layout::Rect(80, 80, 300, 200), L""},
                            {L"Folded", layout::Rect(90, 90, 300, 200), L""}}));
    OwnWindow closed(L"Closed");
    HWND gone = closed.h;
    DestroyWindow(closed.h);
    closed.h = nullptr;
    ShowWindow(calm.Get(L"Folded"), SW_MINIMIZE);
    wts::WaitUntil([&] { return IsIconic(calm.Get(L"Folded")) != FALSE; }, 3000);

    const RECT target = layout::Rect(700, 100, 500, 300), calmTarget = layout::Rect(100, 500, 500, 300);
    std::vector<engine::WindowMove> moves;
    Append(moves, Raise(gone, target));
    Append(moves, Raise(quiet.Get(L"Sleepy"), target));
    Append(moves, Raise(calm.Get(L"Folded"), target));
    Append(moves, Raise(calm.Get(L"Calm"), calmTarget));
    quiet.Hang(3000);
    Sleep(100);
    CWindowUtil util;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(util.ApplyMoves(moves), 4);  // the closed and the minimised window, two calls each
    EXPECT_LT(GetTickCount64() - start, 1500u);
    EXPECT_TRUE(layout::SameRect(layout::WindowRect(calm.Get(L"Calm")), calmTarget));
    EXPECT_TRUE(IsIconic(calm.Get(L"Folded")));
    // The silent window takes its place once it answers again.
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(quiet.RectOf(L"Sleepy"), target); }, 10000));
}

}  // namespace

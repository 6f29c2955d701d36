// Grid layouts and undo on the real program: keys typed through the real hook library, sample
// windows of a process of our own, rectangles read back from the desktop.
#include <gtest/gtest.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

RECT Shifted(const RECT& r, int offset) { return RECT{r.left + offset, r.top + offset, r.right, r.bottom}; }

TEST(LayoutGrid, FilteredWindowsStayPutSharedCellsStackAndUndoGoesBackBeforeTheFirstLayout) {
    TessoraRun run(L"grid22");
    ASSERT_TRUE(layout::StartProgram(run, 0, {L"Excluded"}));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({
        {L"Alpha", Rect(100, 100, 500, 300), L""},
        {L"Bravo", Rect(200, 150, 500, 300), L""},
        {L"Charlie", Rect(1100, 120, 500, 300), L""},
        {L"Delta", Rect(300, 700, 500, 300), L""},
        {L"Minimised", Rect(150, 160, 400, 300), L"min"},
        {L"Disabled", Rect(250, 260, 400, 300), L"disabled"},
        {L"", Rect(350, 360, 400, 300), L""},
        {L"Excluded Notes", Rect(450, 200, 400, 300), L""},
        {L"Hidden", Rect(50, 50, 400, 300), L"hidden"},
    }));
    ASSERT_TRUE(s.StackTopDown({L"Bravo", L"Alpha", L"Charlie", L"Delta"}));
    const std::vector<std::wstring> filtered = {L"Minimised", L"Disabled", L"", L"Excluded Notes", L"Hidden"};
    const std::string before = s.Where(), filteredBefore = s.Where(filtered);

    ASSERT_TRUE(layout::RunHotkey(run, '2', '2', L"(4) ...OK")) << wts::Wide2Narrow(run.LogText());
    // The first window met in the shared cell keeps it; the other takes the one free cell.
    EXPECT_RECT(Cell(2, 2, 0), s.Get(L"Bravo"));
    EXPECT_RECT(Cell(2, 2, 1), s.Get(L"Charlie"));
    EXPECT_RECT(Cell(2, 2, 2), s.Get(L"Delta"));
    EXPECT_RECT(Cell(2, 2, 3), s.Get(L"Alpha"));
    EXPECT_EQ(s.Where(filtered), filteredBefore);
    EXPECT_TRUE(IsIconic(s.Get(L"Minimised")));
    EXPECT_TRUE(ui::Screenshot(L"layout_grid_2x2", layout::PrimaryMonitorEntry()));

    // Without overlap the windows of a shared cell all get its rectangle.
    ASSERT_TRUE(layout::RunHotkey(run, '1', '1', L"(4) ...OK"));
    for (const wchar_t* t : {L"Alpha", L"Bravo", L"Charlie", L"Delta"}) EXPECT_RECT(Cell(1, 1, 0), s.Get(t));

    // The second layout is not remembered: undo puts everything back as it was before the first,
    // and writes no line.
    const std::wstring log = run.LogText();
    layout::TypeSequence(layout::ActionKey::kAlt, '0', '0');
    EXPECT_TRUE(wts::WaitUntil([&] { return s.Where() == before; }, 10000));
    EXPECT_EQ(s.Where(), before);
    Sleep(300);
    EXPECT_EQ(run.LogText(), log);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutGrid, OverlappingWindowsCascadeInSharedCellsWithTheForegroundWindowLast) {
    TessoraRun run(L"cascade");
    ASSERT_TRUE(layout::StartProgram(run, 1));
    const std::vector<std::wstring> order = {L"W1", L"W2", L"W3", L"W4", L"W5"};
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < 5; ++i) specs.push_back({order[i], Rect(40 + 10 * i, 30 + 5 * i, 600, 200), L""});
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start(specs));
    auto prepare = [&] {
        SetForegroundWindow(s.Get(L"W1"));
        wts::WaitUntil([&] { return GetForegroundWindow() == s.Get(L"W1"); }, 3000);
        return s.StackTopDown(order);
    };

    // 3 rows x 1 column: W2 and W3 take the free rows; W4, W5 and the foreground W1 cascade in row 0.
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(layout::RunHotkey(run, '3', '1', L"(5) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(3, 1, 0), s.Get(L"W4"));
    EXPECT_RECT(Shifted(Cell(3, 1, 0), 25), s.Get(L"W5"));
    EXPECT_RECT(Shifted(Cell(3, 1, 0), 50), s.Get(L"W1"));
    EXPECT_RECT(Cell(3, 1, 1), s.Get(L"W2"));
    EXPECT_RECT(Cell(3, 1, 2), s.Get(L"W3"));
    // The window the user was working in keeps the keyboard.
    EXPECT_EQ(GetForegroundWindow(), s.Get(L"W1"));
    EXPECT_TRUE(ui::Screenshot(L"layout_cascade_3x1", layout::PrimaryMonitorEntry()));


    // 1 x 1 (where they were before does not matter): everything shares the one cell, 25 pixels
    // apart, the foreground window deepest.
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(layout::RunHotkey(run, '1', '1', L"(5) ...OK"));
    const int offset[] = {100, 0, 25, 50, 75};
    for (size_t i = 0; i < order.size(); ++i) EXPECT_RECT(Shifted(Cell(1, 1, 0), offset[i]), s.Get(order[i])) << i;
    EXPECT_EQ(run.ExitByTray(), 0u);
}

// Windows of two programs, one of which answers every move late: they still end stacked as
// planned. A request to end, sent while that layout waits for the late program, lets it finish.
TEST(LayoutGrid, ALateProgramStillStacksAsPlannedAndACloseWaitsForTheLayout) {
    TessoraRun run(L"late");
    ASSERT_TRUE(layout::StartProgram(run, 1));
    layout::SampleWindows late, quick;
    ASSERT_TRUE(late.Start({{L"L1", Rect(100, 100, 500, 300), L"slow=60"}, {L"L2", Rect(150, 150, 500, 300), L"slow=60"}}));
    ASSERT_TRUE(quick.Start({{L"Q1", Rect(700, 100, 500, 300), L""}, {L"Q2", Rect(750, 150, 500, 300), L""}}));
    HWND l1 = late.Get(L"L1"), l2 = late.Get(L"L2"), q1 = quick.Get(L"Q1"), q2 = quick.Get(L"Q2");
    SetForegroundWindow(q2);
    ASSERT_TRUE(wts::WaitUntil([&] { return GetForegroundWindow() == q2; }, 3000));
    // the plan alternates between the programs: L1, Q1, L2, then the foreground Q2
    ASSERT_TRUE(layout::StackTopDown({l1, q1, l2, q2}));

    layout::TypeSequence(layout::ActionKey::kAlt, '1', '1');
    ASSERT_TRUE(wts::WaitUntil([&] { return layout::SameRect(layout::WindowRect(l1), Cell(1, 1, 0)); }, 10000, 5));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(run.main, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(run.proc.WaitExit(), 0u);
    const std::vector<HWND> windows = {l1, q1, l2, q2};
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_RECT(Shifted(Cell(1, 1, 0), 25 * static_cast<int>(i)), windows[i]) << i;
    EXPECT_EQ(layout::ZOrder(windows), (std::vector<HWND>{q2, l2, q1, l1}));
    const std::wstring log = run.LogText();
    const size_t closed = log.find(L"The TESSORA is closed.");
    EXPECT_NE(closed, std::wstring::npos);
    EXPECT_LT(log.find(L"Alt + 1 + 1 (4) ...OK"), closed) << wts::Wide2Narrow(log);
}

TEST(LayoutGrid, MoreThanAHundredWindowsArrangeTheFirstHundredOnly) {
    TessoraRun run(L"many");
    ASSERT_TRUE(layout::StartProgram(run, 1));
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < 105; ++i) {
        specs.push_back({L"Many " + std::to_wstring(i), Rect(20 + (i % 30) * 20, 20 + (i % 20) * 15, 300, 200), L""});
    }
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start(specs));
    std::vector<RECT> before;
    for (const auto& w : s.windows) before.push_back(layout::WindowRect(w.second));
    ASSERT_TRUE(layout::RunHotkey(run, '1', '1', L"(100) ...OK")) << wts::Wide2Narrow(run.LogText());
    // Every arranged window stays inside the cell however deep the cascade goes. A loaded machine
    // may leave the sample program's last moves queued when the layout stops waiting for it.
    auto moved = [&] {
        int n = 0;
        for (size_t i = 0; i < s.windows.size(); ++i)
            n += !layout::SameRect(layout::WindowRect(s.windows[i].second), before[i]);
        return n;
    };
    EXPECT_TRUE(wts::WaitUntil([&] { return moved() == 100; }, 10000)) << moved();
    const RECT cell = Cell(1, 1, 0);
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const RECT r = layout::WindowRect(s.windows[i].second);
        if (layout::SameRect(r, before[i])) continue;
        EXPECT_TRUE(r.left >= cell.left && r.top >= cell.top && r.right == cell.right && r.bottom == cell.bottom &&
                    r.right - r.left >= (cell.right - cell.left) / 4)
            << layout::RectText(r);
    }
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

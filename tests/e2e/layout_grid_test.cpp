// Grid layouts and undo on the real program: keys typed through the real hook library, sample
// windows of a process of our own, rectangles read back from the desktop.
#include <gtest/gtest.h>

#include "rules/SqliteLibrary.h"
#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/TessoraRun.h"

namespace {

using layout::ActionKey;
using layout::Rect;
using layout::RectText;

std::string Config(int overlap, int showHotkey) {
    char buf[256];
    snprintf(buf, sizeof buf,
             "[General]\r\nLanguage=English\r\nOverlapWindows=%d\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
             "ExecuteHotkeyType=0\r\nShowHotkey=%d\r\n",
             overlap, showHotkey);
    return buf;
}

// Starts the program in a fresh folder with the given settings and exclude entries.
bool StartProgram(TessoraRun& run, int overlap, std::vector<std::wstring> excludes = {}) {
    run.WriteConfig(Config(overlap, 1));
    excludes.push_back(layout::kHarnessWindowTitle);
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        for (const std::wstring& e : excludes) {
            int id = 0;
            if (store.AddExclude(CString(e.c_str()), &id, 0) != 0) return false;
        }
    }
    if (!run.Start() || !run.WaitMainWindow()) return false;
    const RECT m = layout::PrimaryMonitorEntry();
    SetCursorPos((m.left + m.right) / 2, (m.top + m.bottom) / 2);
    return true;
}

// Types a sequence and waits for the layout's log line.
bool Arrange(TessoraRun& run, wchar_t k1, wchar_t k2, const std::wstring& line) {
    const int before = layout::CountLines(run.LogText(), line);
    layout::TypeSequence(ActionKey::kAlt, k1, k2);
    return wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) > before; }, 15000);
}

std::wstring Head(int rows, int columns) {
    const RECT m = layout::PrimaryMonitorEntry();
    wchar_t buf[128];
    swprintf(buf, 128, L"[M1 at 1(%dx%d) K1]: Alt + %d + %d", static_cast<int>(m.right - m.left),
             static_cast<int>(m.bottom - m.top), rows, columns);
    return buf;
}

std::wstring OkLine(int rows, int columns, int n) {
    wchar_t buf[32];
    swprintf(buf, 32, L" (%d) ...OK\r\n", n);
    return Head(rows, columns) + buf;
}

// Cell k of a rows x columns grid on the primary monitor entry.
RECT Cell(int rows, int columns, int k) {
    const RECT m = layout::PrimaryMonitorEntry();
    const int w = (m.right - m.left) / columns, h = (m.bottom - m.top) / rows;
    return Rect(m.left + (k % columns) * w, m.top + (k / columns) * h, w, h);
}

RECT Shifted(const RECT& r, int offset) { return RECT{r.left + offset, r.top + offset, r.right, r.bottom}; }

#define EXPECT_RECT(expected, hwnd) \
    EXPECT_TRUE(layout::SameRect(expected, layout::WindowRect(hwnd))) \
        << "expected " << wts::Wide2Narrow(RectText(expected)) << " got " \
        << wts::Wide2Narrow(RectText(layout::WindowRect(hwnd)))

TEST(LayoutGrid, TwoByTwoFillsTheCellsLeavesFilteredWindowsAloneAndUndoPutsAllBack) {
    TessoraRun run(L"grid22");
    ASSERT_TRUE(StartProgram(run, 0, {L"Excluded"}));
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
    std::vector<RECT> before;
    for (const auto& w : s.windows) before.push_back(layout::WindowRect(w.second));

    ASSERT_TRUE(Arrange(run, '2', '2', OkLine(2, 2, 4))) << wts::Wide2Narrow(run.LogText());
    // The first window met in the shared cell keeps it; the other takes the one free cell.
    EXPECT_RECT(Cell(2, 2, 0), s.Get(L"Bravo"));
    EXPECT_RECT(Cell(2, 2, 1), s.Get(L"Charlie"));
    EXPECT_RECT(Cell(2, 2, 2), s.Get(L"Delta"));
    EXPECT_RECT(Cell(2, 2, 3), s.Get(L"Alpha"));
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const std::wstring& t = s.windows[i].first;
        if (t == L"Minimised" || t == L"Disabled" || t.empty() || t == L"Excluded Notes" || t == L"Hidden") {
            EXPECT_RECT(before[i], s.windows[i].second) << wts::Wide2Narrow(t);
        }
    }
    EXPECT_TRUE(IsIconic(s.Get(L"Minimised")));
    layout::Screenshot(TESSORA_DIST_DIR_W, L"layout_grid_2x2");

    // Undo: every moved window goes back, the others stay put; undo writes no line.
    const std::wstring logBefore = run.LogText();
    layout::TypeSequence(ActionKey::kAlt, '0', '0');
    EXPECT_TRUE(wts::WaitUntil([&] {
        for (size_t i = 0; i < s.windows.size(); ++i) {
            if (!layout::SameRect(before[i], layout::WindowRect(s.windows[i].second))) return false;
        }
        return true;
    }, 10000));
    for (size_t i = 0; i < s.windows.size(); ++i) EXPECT_RECT(before[i], s.windows[i].second);
    Sleep(300);
    EXPECT_EQ(run.LogText(), logBefore);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutGrid, OverlappingWindowsCascadeInSharedCellsWithTheForegroundWindowLast) {
    TessoraRun run(L"cascade");
    ASSERT_TRUE(StartProgram(run, 1));
    layout::SampleWindows s;
    std::vector<std::wstring> order = {L"W1", L"W2", L"W3", L"W4", L"W5"};
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < 5; ++i) specs.push_back({order[static_cast<size_t>(i)], Rect(40 + 10 * i, 30 + 5 * i, 600, 200), L""});
    ASSERT_TRUE(s.Start(specs));
    std::vector<RECT> before;
    for (const std::wstring& t : order) before.push_back(s.RectOf(t));
    auto prepare = [&] {
        SetForegroundWindow(s.Get(L"W1"));
        wts::WaitUntil([&] { return GetForegroundWindow() == s.Get(L"W1"); }, 3000);
        return s.StackTopDown(order);
    };

    // 3 rows x 1 column: W2 and W3 take the free rows; W4, W5 and the foreground W1 cascade in row 0.
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(Arrange(run, '3', '1', OkLine(3, 1, 5))) << wts::Wide2Narrow(run.LogText());
    EXPECT_RECT(Cell(3, 1, 0), s.Get(L"W4"));
    EXPECT_RECT(Shifted(Cell(3, 1, 0), 25), s.Get(L"W5"));
    EXPECT_RECT(Shifted(Cell(3, 1, 0), 50), s.Get(L"W1"));
    EXPECT_RECT(Cell(3, 1, 1), s.Get(L"W2"));
    EXPECT_RECT(Cell(3, 1, 2), s.Get(L"W3"));
    // The window the user was working in keeps the keyboard.
    EXPECT_EQ(GetForegroundWindow(), s.Get(L"W1"));
    layout::Screenshot(TESSORA_DIST_DIR_W, L"layout_cascade_3x1");

    layout::TypeSequence(ActionKey::kAlt, '0', '0');
    ASSERT_TRUE(wts::WaitUntil([&] { return layout::SameRect(before[4], s.RectOf(L"W5")); }, 10000));

    // 1 x 1: everything shares the one cell, 25 pixels apart, the foreground window deepest.
    ASSERT_TRUE(prepare());
    ASSERT_TRUE(Arrange(run, '1', '1', OkLine(1, 1, 5)));
    const int expectedOffset[] = {100, 0, 25, 50, 75};
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_RECT(Shifted(Cell(1, 1, 0), expectedOffset[i]), s.Get(order[i])) << wts::Wide2Narrow(order[i]);
    }
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutGrid, WithoutOverlapSharedCellsGetTheSameRectangle) {
    TessoraRun run(L"stack");
    ASSERT_TRUE(StartProgram(run, 0));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"S1", Rect(40, 40, 600, 200), L""},
                         {L"S2", Rect(60, 50, 600, 200), L""},
                         {L"S3", Rect(80, 60, 600, 200), L""}}));
    ASSERT_TRUE(s.StackTopDown({L"S3", L"S2", L"S1"}));
    ASSERT_TRUE(Arrange(run, '1', '1', OkLine(1, 1, 3)));
    for (const wchar_t* t : {L"S1", L"S2", L"S3"}) EXPECT_RECT(Cell(1, 1, 0), s.Get(t));

    // A second layout is not remembered: undo goes back to before the first one.
    ASSERT_TRUE(Arrange(run, '3', '1', OkLine(3, 1, 3)));
    layout::TypeSequence(ActionKey::kAlt, '0', '0');
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(Rect(80, 60, 600, 200), s.RectOf(L"S3")); }, 10000));
    EXPECT_RECT(Rect(40, 40, 600, 200), s.Get(L"S1"));
    EXPECT_RECT(Rect(60, 50, 600, 200), s.Get(L"S2"));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutGrid, MoreThanAHundredWindowsArrangeTheFirstHundredOnly) {
    TessoraRun run(L"many");
    ASSERT_TRUE(StartProgram(run, 1));
    layout::SampleWindows s;
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < 105; ++i) {
        wchar_t title[32];
        swprintf(title, 32, L"Many %03d", i);
        specs.push_back({title, Rect(20 + (i % 30) * 20, 20 + (i % 20) * 15, 300, 200), L""});
    }
    ASSERT_TRUE(s.Start(specs));
    std::vector<RECT> before;
    for (const auto& w : s.windows) before.push_back(layout::WindowRect(w.second));
    ASSERT_TRUE(Arrange(run, '1', '1', OkLine(1, 1, 100))) << wts::Wide2Narrow(run.LogText());
    // Every arranged window stays inside the cell however deep the cascade goes.
    const RECT cell = Cell(1, 1, 0);
    int moved = 0;
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const RECT r = layout::WindowRect(s.windows[i].second);
        if (layout::SameRect(r, before[i])) continue;
        ++moved;
        EXPECT_GE(r.left, cell.left);
        EXPECT_GE(r.top, cell.top);
        EXPECT_EQ(r.right, cell.right);
        EXPECT_EQ(r.bottom, cell.bottom);
        EXPECT_GE(r.right - r.left, (cell.right - cell.left) / 4);
    }
    EXPECT_EQ(moved, 100);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

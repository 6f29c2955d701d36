// User-defined layouts, undefined letter pairs, the hotkey panel and windows that stop answering,
// on the real program with keys typed through the real hook library.
#include <gtest/gtest.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

TEST(LayoutRule, QOneAppliesTheStoredRuleWithItsPinnedTitleAndBThreeIsNotDefined) {
    TessoraRun run(L"ruleq1");
    {
        // Rule "Q1": preset type 3 (left half, right quarters) on screen 1, zone 2 bound to a title.
        ASSERT_EQ(layout::AddPresetRule(run.Path(L""), L"Three zones", L"Q1", 3), 0);
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        int titleId = 0;
        ASSERT_TRUE(store.Reload(0));
        ASSERT_EQ(store.AddTitle(1, 2, CString(L"Pinned Editor"), &titleId), 0);
    }
    ASSERT_TRUE(layout::StartProgram(run, 0));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Top Window", Rect(100, 100, 500, 300), L""},
                         {L"Second Window", Rect(1200, 600, 500, 300), L""},
                         {L"Pinned Editor - notes.txt", Rect(300, 200, 500, 300), L""},
                         {L"Fourth Window", Rect(400, 250, 500, 300), L""}}));
    ASSERT_TRUE(s.StackTopDown({L"Top Window", L"Second Window", L"Pinned Editor - notes.txt", L"Fourth Window"}));
    const std::string before = s.Where();

    // An undefined letter pair only writes its line.
    ASSERT_TRUE(layout::RunHotkey(run, 'B', '3', L"(--) ...Not Defined")) << wts::Wide2Narrow(run.LogText());
    EXPECT_EQ(s.Where(), before);

    ASSERT_TRUE(layout::RunHotkey(run, 'Q', '1', L"(4) ...OK")) << wts::Wide2Narrow(run.LogText());
    // The pinned window takes its zone; every other window starts in the first zone, where the
    // topmost keeps it, the next takes the free zone and the last shares the first.
    EXPECT_RECT(Cell(2, 2, 1), s.Get(L"Pinned Editor - notes.txt"));
    EXPECT_RECT(Cell(1, 2, 0), s.Get(L"Top Window"));
    EXPECT_RECT(Cell(2, 2, 3), s.Get(L"Second Window"));
    EXPECT_RECT(Cell(1, 2, 0), s.Get(L"Fourth Window"));
    EXPECT_TRUE(ui::Screenshot(L"layout_rule_q1", layout::PrimaryMonitorEntry()));

    layout::TypeSequence(layout::ActionKey::kAlt, '0', '0');
    EXPECT_TRUE(wts::WaitUntil([&] { return s.Where() == before; }, 10000));
    EXPECT_EQ(s.Where(), before);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutPanel, ThePanelPreviewsTheKeysAndHidesAfterTwoSecondsOrSevenTenths) {
    TessoraRun run(L"panel");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    // The panel is the one of the program's dialogs that never takes the focus.
    HWND panel = nullptr;
    for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770")) {
        if (h != run.main && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) panel = h;
    }
    ASSERT_TRUE(panel);
    EXPECT_FALSE(IsWindowVisible(panel));
    // the window the user types in keeps the keyboard throughout
    layout::SampleWindows typing;
    ASSERT_TRUE(typing.Start({{L"Typing Here", Rect(300, 200, 600, 400), L"fg"}}));
    const HWND fg = typing.Get(L"Typing Here");
    ASSERT_TRUE(wts::WaitUntil([&] { return GetForegroundWindow() == fg; }, 3000));
    // The first showing of a layered window costs Wine a second or two of X work between showing
    // it and setting its timer; get it out of the way before anything is timed.
    char bytes[3] = {'Q', 0, '2'};
    COPYDATASTRUCT cds = {1, 3, bytes};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(run.main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000, &result);
    EXPECT_TRUE(IsWindowVisible(panel));
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 8000));

    // A first key alone: shown at once, gone about two seconds later.
    layout::TypeFirstKey(layout::ActionKey::kAlt, '5');
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));
    const ULONGLONG shown = GetTickCount64();
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_RECT(Rect((work.right - 456) / 2, static_cast<int>((work.bottom - 79) / 1.05), 456, 79), panel);
    EXPECT_EQ(GetForegroundWindow(), fg);
    EXPECT_TRUE(ui::Screenshot(L"layout_panel_first_key", layout::PrimaryMonitorEntry()));
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 6000));
    const ULONGLONG previewMs = GetTickCount64() - shown;
    layout::TypeKey(VK_ESCAPE);
    layout::ReleaseAction(layout::ActionKey::kAlt);
    EXPECT_GT(previewMs, 1500u);
    EXPECT_LT(previewMs, 3500u);

    // A complete sequence: hidden about 0.7 s after it, well before the two seconds.
    layout::TypeSequence(layout::ActionKey::kAlt, '0', '5');
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));
    const ULONGLONG complete = GetTickCount64();
    EXPECT_EQ(GetForegroundWindow(), fg);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 5000));
    EXPECT_LT(GetTickCount64() - complete, 1500u);
    ASSERT_TRUE(layout::RunHotkey(run, '1', '1', L"(1) ...OK"));
    EXPECT_EQ(GetForegroundWindow(), fg);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutHung, AWindowThatStopsAnsweringDoesNotStallTheLayoutOrTheNextHotkey) {
    TessoraRun run(L"hung");
    ASSERT_TRUE(layout::StartProgram(run, 0));
    layout::SampleWindows busy, calm;
    ASSERT_TRUE(busy.Start({{L"Busy Window", Rect(100, 100, 500, 300), L""}}));
    ASSERT_TRUE(calm.Start({{L"Calm One", Rect(1100, 100, 500, 300), L""}, {L"Calm Two", Rect(200, 650, 500, 300), L""}}));

    // Not yet flagged as hung when the layout walks the windows: it is arranged without waiting.
    busy.Hang(6000);
    Sleep(200);
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(layout::RunHotkey(run, '2', '2', L"(3) ...OK")) << wts::Wide2Narrow(run.LogText());
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_RECT(Cell(2, 2, 1), calm.Get(L"Calm One"));
    EXPECT_RECT(Cell(2, 2, 2), calm.Get(L"Calm Two"));
    // The next sequence is handled while that window still sleeps.
    EXPECT_TRUE(layout::RunHotkey(run, 'B', '4', L"(--) ...Not Defined", 3000));
    // Once it answers again it takes its place.
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(Cell(2, 2, 0), busy.RectOf(L"Busy Window")); }, 15000));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

// User-defined layouts, undefined letter pairs, the hotkey panel and windows that stop answering,
// on the real program with keys typed through the real hook library.
#include <gtest/gtest.h>

#include "rules/SqliteLibrary.h"
#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/TessoraRun.h"

namespace {

using layout::ActionKey;
using layout::Rect;
using layout::RectText;

const char kConfig[] =
    "[General]\r\nLanguage=English\r\nOverlapWindows=0\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
    "ExecuteHotkeyType=0\r\nShowHotkey=1\r\n";

#define EXPECT_RECT(expected, hwnd) \
    EXPECT_TRUE(layout::SameRect(expected, layout::WindowRect(hwnd))) \
        << "expected " << wts::Wide2Narrow(RectText(expected)) << " got " \
        << wts::Wide2Narrow(RectText(layout::WindowRect(hwnd)))

std::wstring MonitorText() {
    const RECT m = layout::PrimaryMonitorEntry();
    wchar_t buf[64];
    swprintf(buf, 64, L"[M1 at 1(%dx%d) K1]: ", static_cast<int>(m.right - m.left), static_cast<int>(m.bottom - m.top));
    return buf;
}

bool StartProgram(TessoraRun& run) {
    run.WriteConfig(kConfig);
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        int id = 0;
        if (store.AddExclude(CString(layout::kHarnessWindowTitle), &id, 0) != 0) return false;
    }
    if (!run.Start() || !run.WaitMainWindow()) return false;
    const RECT m = layout::PrimaryMonitorEntry();
    SetCursorPos((m.left + m.right) / 2, (m.top + m.bottom) / 2);
    return true;
}

TEST(LayoutRule, QOneAppliesTheStoredRuleWithItsPinnedTitleAndBThreeIsNotDefined) {
    TessoraRun run(L"ruleq1");
    {
        // Rule "Q1": preset type 3 (left half, right quarters) on screen 1, zone 2 bound to a title.
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        std::vector<ScreenTypeEntry> entries(1);
        entries[0].type_id = 3;
        entries[0].active = 1;
        int ruleId = 0, titleId = 0;
        ASSERT_EQ(store.AddRule(CString(L"Three zones"), CString(L"Q1"), entries, RegionList(), &ruleId), 0);
        ASSERT_TRUE(store.Reload(0));
        ASSERT_EQ(store.m_nCurRuleId, ruleId);
        ASSERT_EQ(store.AddTitle(1, 2, CString(L"Pinned Editor"), &titleId), 0);
    }
    ASSERT_TRUE(StartProgram(run));
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Top Window", Rect(100, 100, 500, 300), L""},
                         {L"Second Window", Rect(1200, 600, 500, 300), L""},
                         {L"Pinned Editor - notes.txt", Rect(300, 200, 500, 300), L""},
                         {L"Fourth Window", Rect(400, 250, 500, 300), L""}}));
    ASSERT_TRUE(s.StackTopDown({L"Top Window", L"Second Window", L"Pinned Editor - notes.txt", L"Fourth Window"}));
    std::vector<RECT> before;
    for (const auto& w : s.windows) before.push_back(layout::WindowRect(w.second));

    // An undefined letter pair only writes its line.
    layout::TypeSequence(ActionKey::kAlt, 'B', '3');
    const std::wstring notDefined = MonitorText() + L"Alt + B + 3 (--) ...Not Defined\r\n";
    ASSERT_TRUE(wts::WaitUntil([&] { return run.LogText().find(notDefined) != std::wstring::npos; }, 15000))
        << wts::Wide2Narrow(run.LogText());
    for (size_t i = 0; i < s.windows.size(); ++i) EXPECT_RECT(before[i], s.windows[i].second);

    layout::TypeSequence(ActionKey::kAlt, 'Q', '1');
    const std::wstring ok = MonitorText() + L"Alt + Q + 1 (4) ...OK\r\n";
    ASSERT_TRUE(wts::WaitUntil([&] { return run.LogText().find(ok) != std::wstring::npos; }, 15000))
        << wts::Wide2Narrow(run.LogText());
    const RECT m = layout::PrimaryMonitorEntry();
    const int w = m.right - m.left, h = m.bottom - m.top;
    const RECT left = Rect(m.left, m.top, static_cast<int>(w * 0.5), h);
    const RECT upperRight = Rect(m.left + static_cast<int>(w * 0.5), m.top, static_cast<int>(w * 0.5),
                                 static_cast<int>(h * 0.5));
    const RECT lowerRight = Rect(m.left + static_cast<int>(w * 0.5), m.top + static_cast<int>(h * 0.5),
                                 static_cast<int>(w * 0.5), static_cast<int>(h * 0.5));
    // The pinned window takes its zone; every other window starts in the first zone, where the
    // topmost keeps it, the next takes the free zone and the last shares the first.
    EXPECT_RECT(upperRight, s.Get(L"Pinned Editor - notes.txt"));
    EXPECT_RECT(left, s.Get(L"Top Window"));
    EXPECT_RECT(lowerRight, s.Get(L"Second Window"));
    EXPECT_RECT(left, s.Get(L"Fourth Window"));
    layout::Screenshot(TESSORA_DIST_DIR_W, L"layout_rule_q1");

    layout::TypeSequence(ActionKey::kAlt, '0', '0');
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(before[3], layout::WindowRect(s.windows[3].second)); },
                               10000));
    for (size_t i = 0; i < s.windows.size(); ++i) EXPECT_RECT(before[i], s.windows[i].second);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

// The program's hotkey panel: the one of its dialogs that never takes the focus.
HWND FindPanel(const TessoraRun& run) {
    for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770")) {
        if (h != run.main && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_NOACTIVATE)) return h;
    }
    return nullptr;
}

TEST(LayoutPanel, ThePanelPreviewsTheKeysTopmostAndHidesAfterTwoSecondsOrSevenTenths) {
    TessoraRun run(L"panel");
    ASSERT_TRUE(StartProgram(run));
    HWND panel = FindPanel(run);
    ASSERT_TRUE(panel);
    EXPECT_FALSE(IsWindowVisible(panel));
    {
        // The first showing of a layered window costs Wine a second or two of X work between
        // showing it and setting its timer; get it out of the way before anything is timed.
        char bytes[3] = {'Q', 0, '2'};
        COPYDATASTRUCT cds = {1, 3, bytes};
        DWORD_PTR r = 0;
        SendMessageTimeoutW(run.main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000, &r);
        EXPECT_TRUE(IsWindowVisible(panel));
        ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 8000));
    }

    // A first key alone: shown at once, gone about two seconds later.
    layout::TypeFirstKey(ActionKey::kAlt, '5');
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));
    const ULONGLONG shown = GetTickCount64();
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_RECT(Rect((work.right - 456) / 2, static_cast<int>((work.bottom - 79) / 1.05), 456, 79), panel);
    EXPECT_TRUE(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_NE(GetForegroundWindow(), panel);
    layout::Screenshot(TESSORA_DIST_DIR_W, L"layout_panel_first_key");
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 6000));
    const ULONGLONG previewMs = GetTickCount64() - shown;
    layout::TypeKey(VK_ESCAPE);
    layout::ReleaseAction(ActionKey::kAlt);
    EXPECT_GT(previewMs, 1500u);
    EXPECT_LT(previewMs, 3500u);

    // A complete sequence: hidden about 0.7 s after it, well before the two seconds.
    layout::TypeSequence(ActionKey::kAlt, '0', '5');
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));
    const ULONGLONG complete = GetTickCount64();
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(panel); }, 5000));
    EXPECT_LT(GetTickCount64() - complete, 1500u);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(LayoutHung, AWindowThatStopsAnsweringDoesNotStallTheLayoutOrTheNextHotkey) {
    TessoraRun run(L"hung");
    ASSERT_TRUE(StartProgram(run));
    layout::SampleWindows busy, calm;
    ASSERT_TRUE(busy.Start({{L"Busy Window", Rect(100, 100, 500, 300), L""}}));
    ASSERT_TRUE(calm.Start({{L"Calm One", Rect(1100, 100, 500, 300), L""},
                            {L"Calm Two", Rect(200, 650, 500, 300), L""}}));
    const RECT m = layout::PrimaryMonitorEntry();
    const int w = (m.right - m.left) / 2, h = (m.bottom - m.top) / 2;

    // Not yet flagged as hung when the layout walks the windows: it is arranged without waiting.
    busy.Hang(6000);
    Sleep(200);
    const ULONGLONG start = GetTickCount64();
    layout::TypeSequence(ActionKey::kAlt, '2', '2');
    const std::wstring line = MonitorText() + L"Alt + 2 + 2 (3) ...OK\r\n";
    ASSERT_TRUE(wts::WaitUntil([&] { return run.LogText().find(line) != std::wstring::npos; }, 15000))
        << wts::Wide2Narrow(run.LogText());
    EXPECT_LT(GetTickCount64() - start, 4000u);
    EXPECT_RECT(Rect(m.left + w, m.top, w, h), calm.Get(L"Calm One"));
    EXPECT_RECT(Rect(m.left, m.top + h, w, h), calm.Get(L"Calm Two"));
    // The next sequence is handled while that window still sleeps.
    layout::TypeSequence(ActionKey::kAlt, 'B', '4');
    EXPECT_TRUE(wts::WaitUntil([&] { return run.LogText().find(L"Alt + B + 4 (--) ...Not Defined") != std::wstring::npos; },
                               3000));
    // Once it answers again it takes its place.
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::SameRect(Rect(m.left, m.top, w, h), busy.RectOf(L"Busy Window")); },
                               15000));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

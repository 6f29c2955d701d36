// Two monitors of different sizes side by side, each arranged on its own with the mouse on it.
// Run by tools/two-monitors-run.sh on a headless X server of its own (tools/xdisplay.sh), whose
// second monitor the scenario switches off and on.
#include <gtest/gtest.h>

#include <map>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

using layout::Cell;
using layout::Rect;

// The monitor entries as the program sees them: the left one less its 40-pixel taskbar.
const RECT kLeft = Rect(0, 0, 1920, 1040), kRight = Rect(1920, 0, 1280, 1024);
const POINT kOnLeft = {960, 500}, kOnRight = {2560, 500};
const std::vector<std::wstring> kAll = {L"L1", L"L2", L"R1", L"R2"};

// Runs one function of tools/xdisplay.sh and waits until Windows reports `monitors`.
bool SwitchMonitors(const std::wstring& function, int monitors) {
    std::wstring source = std::wstring(TESSORA_SOURCE_DIR_W).substr(2);  // drive Z: is the Unix root
    for (wchar_t& c : source) c = c == L'\\' ? L'/' : c;
    if (!ui::RunUnix(L". '" + source + L"/tools/xdisplay.sh' && " + function)) return false;
    const int width = monitors == 2 ? 3200 : 1920;
    return wts::WaitUntil([&] {
        return GetSystemMetrics(SM_CMONITORS) == monitors && GetSystemMetrics(SM_CXVIRTUALSCREEN) == width;
    }, 15000);
}

// The mouse moved as a user moves it, at the X level.
bool PutMouse(POINT at) {
    if (!ui::RunUnix(L"xdotool mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y))) return false;
    return wts::WaitUntil([&] {
        POINT now = {};
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
    }, 5000);
}

// The monitor part of a log line: "[M2 at 2(1280x1024) K1]".
std::wstring Head(int count, int index, const RECT& m) {
    return L"[M" + std::to_wstring(count) + L" at " + std::to_wstring(index) + L"(" +
           std::to_wstring(m.right - m.left) + L"x" + std::to_wstring(m.bottom - m.top) + L") K1]";
}

// With the mouse at `mouse`, types Alt + k1 + k2 and waits for its log line to be written once more.
bool Hotkey(TessoraRun& run, POINT mouse, wchar_t k1, wchar_t k2, const std::wstring& head,
            const std::wstring& result) {
    if (!PutMouse(mouse)) return false;
    const std::wstring line = head + L": Alt + " + k1 + L" + " + k2 + L" " + result + L"\r\n";
    const int before = layout::CountLines(run.LogText(), line);
    layout::TypeSequence(layout::ActionKey::kAlt, k1, k2);
    return wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) > before; }, 15000);
}

class TwoMonitors : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "the harness's X server shows two monitors";
        // Rule "Q1": left half, right quarters, on whichever monitor the mouse is on.
        ASSERT_EQ(layout::AddPresetRule(run.Path(L""), L"Three zones", L"Q1", 3), 0);
        ASSERT_TRUE(layout::StartProgram(run, 0));
        ASSERT_TRUE(s.Start({{L"L1", Rect(100, 100, 500, 300), L""}, {L"L2", Rect(1100, 600, 500, 300), L""},
                             {L"R1", Rect(2000, 100, 500, 300), L""}, {L"R2", Rect(2700, 600, 400, 300), L""}}));
        ASSERT_TRUE(s.StackTopDown(kAll));
        before = s.Where();
    }
    void TearDown() override { SwitchMonitors(L"two_monitors_on", 2); }

    void ExpectPlaces(const std::vector<RECT>& places) {
        for (size_t i = 0; i < kAll.size(); ++i) EXPECT_RECT(places[i], s.Get(kAll[i])) << wts::Wide2Narrow(kAll[i]);
    }
    RECT Was(const wchar_t* title) const { return original.at(title); }

    TessoraRun run{L"two-monitors"};
    layout::SampleWindows s;
    std::string before;
    const std::map<std::wstring, RECT> original = {{L"L1", Rect(100, 100, 500, 300)}, {L"L2", Rect(1100, 600, 500, 300)},
                                                   {L"R1", Rect(2000, 100, 500, 300)}, {L"R2", Rect(2700, 600, 400, 300)}};
};

// A grid and a rule on each monitor move only that monitor's windows, into its own zones; undo
// puts them back each time. The rules page binds a drop to the screen it shows.
TEST_F(TwoMonitors, EachMonitorArrangesOnlyItsOwnWindows) {
    const std::wstring left = Head(2, 1, kLeft), right = Head(2, 2, kRight);
    const struct {
        POINT mouse;
        wchar_t k1, k2;
        std::wstring head;
        std::vector<RECT> places;  // L1, L2, R1, R2
    } steps[] = {
        {kOnLeft, '2', '2', left, {Cell(2, 2, 0, kLeft), Cell(2, 2, 3, kLeft), Was(L"R1"), Was(L"R2")}},
        {kOnRight, '2', '2', right, {Was(L"L1"), Was(L"L2"), Cell(2, 2, 0, kRight), Cell(2, 2, 3, kRight)}},
        // the rule's first zone takes both; the lower one moves on to the free right quarter
        {kOnRight, 'Q', '1', right, {Was(L"L1"), Was(L"L2"), Cell(1, 2, 0, kRight), Cell(2, 2, 1, kRight)}},
        {kOnLeft, 'Q', '1', left, {Cell(1, 2, 0, kLeft), Cell(2, 2, 1, kLeft), Was(L"R1"), Was(L"R2")}},
    };
    int shot = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(wts::Wide2Narrow(step.head + L" " + step.k1 + step.k2));
        ASSERT_TRUE(Hotkey(run, step.mouse, step.k1, step.k2, step.head, L"(2) ...OK")) << wts::Wide2Narrow(run.LogText());
        ExpectPlaces(step.places);
        EXPECT_TRUE(ui::Screenshot(L"two_monitors_" + std::to_wstring(++shot), Rect(0, 0, 3200, 1080)));
        layout::TypeSequence(layout::ActionKey::kAlt, '0', '0');
        EXPECT_TRUE(wts::WaitUntil([&] { return s.Where() == before; }, 10000)) << s.Where();
        ASSERT_TRUE(s.StackTopDown(kAll));
    }

    // The rules page shows screen 1 of 2 first: a file dropped on its zone 1 is bound there, not
    // to the last screen.
    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);
    options::ClickPageButton(options, options::kRules);
    HWND page = options::PageWindow(options, options::kRules);
    ASSERT_TRUE(page);
    constexpr int kScreenCounter = 1169, kFirstZone = 36864;
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kScreenCounter)), L"1 / 2");
    ASSERT_TRUE(options::DropFiles(run.proc, GetDlgItem(page, kFirstZone), {L"C:\\Tools\\editor.exe"}));
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kFirstZone)), L"1(1)");
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        ASSERT_TRUE(store.Reload(0));
        int onFirst = 0, onSecond = 0;
        const std::vector<TitleRecord> bound = store.ReadTitles(1, 1, &onFirst);
        store.ReadTitles(2, 1, &onSecond);
        ASSERT_EQ(onFirst, 1);
        EXPECT_EQ(std::wstring(bound[0].file_path), L"C:\\Tools\\editor.exe");
        EXPECT_EQ(onSecond, 0);
    }
    ASSERT_TRUE(options::CloseWith(options, options::kOk));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

// The second monitor goes away and comes back between sequences; a window crosses to the other
// monitor between the first and the second key.
TEST_F(TwoMonitors, MonitorsAndWindowsThatChangeBetweenKeys) {
    ASSERT_TRUE(SwitchMonitors(L"one_monitor_on", 1));
    ASSERT_TRUE(Hotkey(run, kOnLeft, '2', '2', Head(1, 1, kLeft), L"(2) ...OK")) << wts::Wide2Narrow(run.LogText());
    ExpectPlaces({Cell(2, 2, 0, kLeft), Cell(2, 2, 3, kLeft), Was(L"R1"), Was(L"R2")});

    ASSERT_TRUE(SwitchMonitors(L"two_monitors_on", 2));
    ASSERT_TRUE(Hotkey(run, kOnRight, '2', '2', Head(2, 2, kRight), L"(2) ...OK")) << wts::Wide2Narrow(run.LogText());
    ExpectPlaces({Cell(2, 2, 0, kLeft), Cell(2, 2, 3, kLeft), Cell(2, 2, 0, kRight), Cell(2, 2, 3, kRight)});

    // the windows are read when the sequence is complete: L1 is then on the right monitor
    ASSERT_TRUE(PutMouse(kOnLeft));
    const std::wstring line = Head(2, 1, kLeft) + L": Alt + 1 + 1 (1) ...OK\r\n";
    layout::TypeFirstKey(layout::ActionKey::kAlt, '1');
    const RECT moved = Rect(2200, 300, 500, 300);
    SetWindowPos(s.Get(L"L1"), nullptr, moved.left, moved.top, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    layout::TypeKey('1');
    layout::ReleaseAction(layout::ActionKey::kAlt);
    ASSERT_TRUE(wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) == 1; }, 15000))
        << wts::Wide2Narrow(run.LogText());
    ExpectPlaces({moved, kLeft, Cell(2, 2, 0, kRight), Cell(2, 2, 3, kRight)});
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

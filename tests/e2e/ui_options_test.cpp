// The options window driven from outside as a user drives it: opened from the tray, its pages,
// the language combo, Escape, Cancel and OK, the settings page with the Run value.
#include <gtest/gtest.h>

#include "app/core/LanguageTexts.h"
#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"

using options::Page;

namespace {

const int kMenuOption = 32781;  // "Option(&O)" of the main window's own menu
const int kAutoRun = 213, kOverlap = 210, kShowHotkey = 251, kRadioAlt = 1209, kRadioCtrl = 1210;
const char* const kPageNames[6] = {"grid", "rules", "exclude", "settings", "update", "backup"};

RECT ClientRectIn(HWND parent, HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Which radio of the action-key group is checked: 0..2, -1 for none.
int CheckedRadio(HWND options) {
    for (int i = 0; i < 3; ++i)
        if (options::IsChecked(options::PageControl(options, options::kSettings, kRadioAlt + i))) return i;
    return -1;
}

TEST(UiOptions, OpensCentredOnTheWorkAreaAndEachButtonShowsItsPage) {
    TessoraRun run(L"ui-options-pages");
    ASSERT_TRUE(options::Start(run));
    HWND dlg = options::OpenFromTray(run);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(wts::WindowText(dlg), L"Option (Tessora)");
    EXPECT_TRUE(options::CentredOnWorkArea(dlg));

    // the side panel: six buttons of 37 pixels, one pixel apart, as wide as the combo reaches + 30
    const int width = ClientRectIn(dlg, GetDlgItem(dlg, options::kCombo)).right + 30;
    for (int i = 0; i < 6; ++i) {
        HWND button = GetDlgItem(dlg, options::kFirstPageButton + i);
        const RECT b = ClientRectIn(dlg, button);
        EXPECT_EQ(layout::RectText(b), layout::RectText(layout::Rect(0, 38 * i, width, 37))) << "button " << i;
        EXPECT_TRUE(IsWindowEnabled(button)) << "all six start enabled";
        EXPECT_EQ(wts::WindowText(button), LanguageText(UILANG_ENGLISH, options::kFirstPageButton + i));
        EXPECT_EQ(ClientRectIn(dlg, options::PageWindow(dlg, static_cast<Page>(i))).left, width) << "page " << i;
    }
    EXPECT_EQ(options::ShownPage(dlg), options::kGrid);
    // the grid pictures are scaled to 150 x 85
    HWND picture = options::PageControl(dlg, options::kGrid, 1244);
    RECT pic;
    GetClientRect(picture, &pic);
    EXPECT_EQ(pic.right, 150);
    EXPECT_EQ(pic.bottom, 85);
    EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(wts::WindowText(options::PageControl(dlg, options::kGrid, 1144)), L"Free Screen \n( Alt+N+N )");

    const Page order[] = {options::kRules, options::kExclude, options::kSettings, options::kUpdate,
                          options::kBackup, options::kGrid};
    for (Page p : order) {
        options::ClickPageButton(dlg, p);
        EXPECT_EQ(options::ShownPage(dlg), p);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(dlg, options::kFirstPageButton + i)) != FALSE, i != p)
                << "after page " << p << ", button " << i;
        if (p == options::kGrid || p == options::kSettings) {
            EXPECT_TRUE(options::Screenshot(dlg, std::wstring(L"options_") + wts::Narrow2Wide(kPageNames[p]) + L"_english"));
        }
    }
    // the disabled button of the page shown does nothing
    options::ClickPageButton(dlg, options::kGrid);
    EXPECT_EQ(options::ShownPage(dlg), options::kGrid);

    // Option again, from the main window's own menu: the same window, no second one
    SendMessageW(run.main, WM_COMMAND, kMenuOption, 0);
    int windows = 0;
    for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770")) windows += GetDlgItem(h, options::kCombo) != nullptr;
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(UiOptions, TheLanguageSwitchesAtOnceEscapeOnlyHidesAndCancelRestoresTheSettings) {
    TessoraRun run(L"ui-options-cancel");
    ASSERT_TRUE(options::Start(run, "English", 0, 1, 1));
    HWND dlg = options::OpenFromTray(run);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(options::SelectedLanguage(dlg), L"English");

    ASSERT_TRUE(options::PickLanguage(dlg, L"Germany"));
    EXPECT_EQ(wts::WindowText(dlg), LanguageText(UILANG_GERMAN, 137));
    const int retitled[][2] = {{-1, 1139}, {-1, 1140}, {-1, 228}, {-1, 1243}, {options::kGrid, 1128},
                               {options::kSettings, kAutoRun}, {options::kSettings, 1208}};
    for (const auto& c : retitled) {
        HWND control = c[0] < 0 ? GetDlgItem(dlg, c[1]) : options::PageControl(dlg, static_cast<Page>(c[0]), c[1]);
        EXPECT_EQ(wts::WindowText(control), LanguageText(UILANG_GERMAN, c[1])) << "control " << c[1];
    }
    EXPECT_TRUE(options::Screenshot(dlg, L"options_grid_german"));

    // edits on the settings page, then Escape: inside a page nothing happens, on the window it hides
    options::ClickPageButton(dlg, options::kSettings);
    options::Click(options::PageControl(dlg, options::kSettings, kOverlap));
    options::Click(options::PageControl(dlg, options::kSettings, kRadioCtrl));
    EXPECT_FALSE(options::IsChecked(options::PageControl(dlg, options::kSettings, kOverlap)));
    EXPECT_TRUE(options::Screenshot(dlg, L"options_settings_german"));
    PostMessageW(options::PageControl(dlg, options::kSettings, kOverlap), WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dlg)) << "Escape inside a page does nothing";
    PostMessageW(GetDlgItem(dlg, options::kOk), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(dlg); }, 3000));
    EXPECT_TRUE(IsWindow(dlg));

    // the next Option shows the same, unsaved state
    EXPECT_EQ(options::OpenFromTray(run), dlg);
    EXPECT_EQ(options::ShownPage(dlg), options::kSettings);
    EXPECT_FALSE(options::IsChecked(options::PageControl(dlg, options::kSettings, kOverlap)));
    EXPECT_EQ(CheckedRadio(dlg), 1);
    EXPECT_EQ(options::SelectedLanguage(dlg), L"Germany");
    EXPECT_EQ(options::ConfigValue(run, L"Language"), L"English");

    // Cancel shows the stored settings again and closes; the next window starts afresh in the
    // language the combo switched to, with the stored name selected
    ASSERT_TRUE(options::CloseWith(dlg, options::kCancel));
    EXPECT_EQ(options::ConfigValue(run, L"OverlapWindows"), L"1");
    dlg = options::OpenFromTray(run);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(options::ShownPage(dlg), options::kGrid);
    EXPECT_EQ(options::SelectedLanguage(dlg), L"English");
    EXPECT_EQ(wts::WindowText(dlg), LanguageText(UILANG_GERMAN, 137));
    EXPECT_TRUE(options::IsChecked(options::PageControl(dlg, options::kSettings, kOverlap)));
    EXPECT_EQ(CheckedRadio(dlg), 0);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(UiOptions, OkSavesAllSixKeysAndTheNewActionKeyWorksWithoutARestart) {
    options::DeleteRunValue();
    TessoraRun run(L"ui-options-ok");
    ASSERT_TRUE(layout::StartProgram(run, 1));  // Alt
    layout::SampleWindows s;
    ASSERT_TRUE(s.Start({{L"Alpha", layout::Rect(100, 100, 500, 300), L""},
                         {L"Bravo", layout::Rect(200, 150, 500, 300), L""}}));
    HWND dlg = options::OpenFromTray(run);
    ASSERT_TRUE(dlg);
    options::ClickPageButton(dlg, options::kSettings);
    EXPECT_FALSE(options::IsChecked(options::PageControl(dlg, options::kSettings, kAutoRun))) << "no Run value yet";
    for (int id : {kAutoRun, kOverlap, kShowHotkey, kRadioCtrl}) options::Click(options::PageControl(dlg, options::kSettings, id));
    ASSERT_TRUE(options::PickLanguage(dlg, L"Spain"));
    ASSERT_TRUE(options::CloseWith(dlg, options::kOk));

    const std::pair<const wchar_t*, const wchar_t*> saved[] = {
        {L"Language", L"Spain"}, {L"OverlapWindows", L"0"},    {L"Automatics", L"1"},
        {L"AutoUpdate", L"0"},   {L"ExecuteHotkeyType", L"1"}, {L"ShowHotkey", L"0"}};
    for (auto [key, value] : saved) EXPECT_EQ(options::ConfigValue(run, key), value) << wts::Wide2Narrow(key);
    EXPECT_EQ(CompareStringOrdinal(options::RunValue().c_str(), -1, run.Path(L"Tessora.exe").c_str(), -1, TRUE),
              CSTR_EQUAL)
        << wts::Wide2Narrow(options::RunValue());
    EXPECT_FALSE(options::RunValueInNativeView()) << "a 32-bit program writes the 32-bit view";

    // Ctrl is the action key at once, and Alt no longer is
    const std::string before = s.Where();
    layout::TypeSequence(layout::ActionKey::kAlt, '2', '1');
    Sleep(1500);
    EXPECT_EQ(s.Where(), before) << "Alt is not the action key any more";
    const std::wstring line = layout::PrimaryLogLine(layout::ActionKey::kCtrl, '2', '1', L"(2) ...OK");
    layout::TypeSequence(layout::ActionKey::kCtrl, '2', '1');
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) == 1; }, 15000))
        << wts::Wide2Narrow(run.LogText());

    // the box shows the registry; unticked, OK removes the value
    dlg = options::OpenFromTray(run);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(options::IsChecked(options::PageControl(dlg, options::kSettings, kAutoRun)));
    options::Click(options::PageControl(dlg, options::kSettings, kAutoRun));
    ASSERT_TRUE(options::CloseWith(dlg, options::kOk));
    EXPECT_EQ(options::RunValue(), L"");
    EXPECT_EQ(options::ConfigValue(run, L"Automatics"), L"0");
    EXPECT_EQ(run.ExitByTray(), 0u);
}

// Each box shows its own setting, and OK without a click writes back what was stored.
TEST(UiOptions, OkKeepsStoredValuesThatNoControlCanShow) {
    struct Case {
        const char* language;
        int executeType;
        int overlap, showHotkey;  // set apart, so that one box showing the other's setting shows
        const wchar_t* selected;  // in the combo on opening
        int radio;                // checked on opening
        const wchar_t* savedLanguage;
        const wchar_t* savedType;
    };
    const Case cases[] = {
        {"english", 2, 1, 0, L"English", 2, L"English", L"2"},  // the combo's prefix match, any case
        {"Klingon", 7, 0, 1, L"", -1, L"Klingon", L"7"},        // no item, no radio: both stay as stored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        TessoraRun run(L"ui-options-keep");
        ASSERT_TRUE(options::Start(run, c.language, c.executeType, c.overlap, c.showHotkey));
        HWND dlg = options::OpenFromTray(run);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(options::SelectedLanguage(dlg), c.selected);
        EXPECT_EQ(CheckedRadio(dlg), c.radio);
        EXPECT_EQ(options::IsChecked(options::PageControl(dlg, options::kSettings, kOverlap)), c.overlap != 0);
        EXPECT_EQ(options::IsChecked(options::PageControl(dlg, options::kSettings, kShowHotkey)), c.showHotkey != 0);
        ASSERT_TRUE(options::CloseWith(dlg, options::kOk));
        EXPECT_EQ(options::ConfigValue(run, L"Language"), c.savedLanguage);
        EXPECT_EQ(options::ConfigValue(run, L"ExecuteHotkeyType"), c.savedType);
        EXPECT_EQ(options::ConfigValue(run, L"OverlapWindows"), std::to_wstring(c.overlap));
        EXPECT_EQ(options::ConfigValue(run, L"ShowHotkey"), std::to_wstring(c.showHotkey));
        EXPECT_EQ(run.ExitByTray(), 0u);
    }
}

}  // namespace

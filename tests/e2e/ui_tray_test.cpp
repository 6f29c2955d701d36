// The tray icon and its menu, driven the way the shell drives them, and the About box.
#include <gtest/gtest.h>

#include "app/core/LanguageTexts.h"
#include "tests/e2e/TessoraRun.h"
#include "tests/e2e/UiSupport.h"

namespace {

const UINT kHide = 32779, kOption = 32778, kAbout = 57664, kExit = 32777;
const int kHidePos = 0, kAboutPos = 2, kExitPos = 3;

// Start-up is over once the modal loop has shown the (zero-sized) main window.
bool StartAndWait(TessoraRun& run) {
    return run.Start() && run.WaitMainWindow() && wts::WaitUntil([&] { return IsWindowVisible(run.main) != FALSE; });
}

std::string Config(const std::string& language) {
    return "[General]\r\nLanguage=" + language +
           "\r\nOverlapWindows=1\r\nAutomatics=0\r\nAutoUpdate=0\r\nExecuteHotkeyType=0\r\nShowHotkey=1\r\n";
}

// Right click on the icon; the menu that opens.
ui::PopupMenu OpenTrayMenu(TessoraRun& run) {
    ui::PopupMenu menu;
    EXPECT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
    ui::TrayMouse(run.main, WM_RBUTTONUP);
    EXPECT_TRUE(ui::ReadOpenMenu(run.proc, menu)) << "no tray menu appeared";
    return menu;
}

void Choose(TessoraRun& run, int position) {
    ui::PopupMenu menu = OpenTrayMenu(run);
    ASSERT_TRUE(menu.window);
    ui::ChooseMenuItem(menu, position);
    EXPECT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
}

HWND WaitAbout(TessoraRun& run, const std::wstring& title) {
    HWND about = nullptr;
    wts::WaitUntil([&] {
        auto all = ui::VisibleWindows(run.proc.Pid(), L"#32770", title);
        about = all.empty() ? nullptr : all.front();
        return about != nullptr;
    });
    return about;
}

void ExpectCentredOnWorkArea(HWND h) {
    RECT rc, work = ui::WorkArea();
    GetWindowRect(h, &rc);
    EXPECT_EQ(rc.left, (work.right - work.left - (rc.right - rc.left)) / 2);
    EXPECT_EQ(rc.top, (work.bottom - work.top - (rc.bottom - rc.top)) / 2);
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(UiTray, EveryMenuItemDoesWhatItSays) {
    TessoraRun run(L"ui-tray");
    run.WriteConfig(Config("English"));
    ASSERT_TRUE(StartAndWait(run));
    EXPECT_TRUE(ui::ShellHasIcon(run.main)) << "the icon is in the notification area";

    ui::PopupMenu menu = OpenTrayMenu(run);
    ASSERT_TRUE(menu.window);
    EXPECT_EQ(menu.ids, std::vector<UINT>({kHide, kOption, kAbout, kExit}));
    EXPECT_EQ(menu.texts, std::vector<std::wstring>({L"Hide(&H)", L"Option(&O)", L"About(&A)", L"Exit"}));
    EXPECT_EQ(menu.defaultItem, 0);
    ui::CloseMenu(menu);
    ASSERT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
    EXPECT_TRUE(IsWindowVisible(run.main)) << "closing the menu chooses nothing";

    // Hide counts the window shown at start as not shown, so the first one shows it (again);
    // it toggles the zero-sized window from then on, and so does a double click on the icon
    for (bool shown : {true, false}) {
        Choose(run, kHidePos);
        EXPECT_TRUE(wts::WaitUntil([&] { return (IsWindowVisible(run.main) != FALSE) == shown; }, 3000))
            << "Hide should " << (shown ? "show" : "hide") << " the main window";
        EXPECT_TRUE(ui::ShellHasIcon(run.main));
    }
    for (bool shown : {true, false}) {
        ui::TrayMouse(run.main, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(wts::WaitUntil([&] { return (IsWindowVisible(run.main) != FALSE) == shown; }, 3000));
        EXPECT_TRUE(ui::VisibleWindows(run.proc.Pid(), L"#32768", L"").empty()) << "a double click shows no menu";
    }

    // About: one box, centred on the work area and on top, with the program's version
    Choose(run, kAboutPos);
    HWND about = WaitAbout(run, L"About Tessora");
    ASSERT_TRUE(about);
    ExpectCentredOnWorkArea(about);
    const std::wstring version = ui::FileVersion(run.Path(L"Tessora.exe"));
    EXPECT_FALSE(version.empty());
    EXPECT_EQ(wts::WindowText(GetDlgItem(about, 1085)), L"Tessora Ver " + version);
    EXPECT_EQ(wts::WindowText(GetDlgItem(about, 1)), L"OK");
    RECT rc;
    GetWindowRect(about, &rc);
    Sleep(300);  // let it paint
    EXPECT_TRUE(ui::Screenshot(L"about_english", rc));

    // About while the box shows: nothing happens
    Choose(run, kAboutPos);
    Sleep(500);
    EXPECT_EQ(ui::VisibleWindows(run.proc.Pid(), L"#32770", L"About Tessora"), std::vector<HWND>({about}));
    EXPECT_EQ(ui::ShowingMessageBox(run.proc.Pid()), nullptr);

    // OK hides it; About shows the same box again, centred again
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(about); }, 3000));
    EXPECT_TRUE(IsWindow(about));
    SetWindowPos(about, nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Choose(run, kAboutPos);
    EXPECT_EQ(WaitAbout(run, L"About Tessora"), about);
    ExpectCentredOnWorkArea(about);

    // Exit: the process ends with 0, the icon goes and the log says so
    Choose(run, kExitPos);
    EXPECT_EQ(run.proc.WaitExit(), 0u);
    EXPECT_FALSE(ui::ShellHasIcon(run.main));
    const std::wstring log = run.LogText();
    EXPECT_NE(log.find(L"] -> The TESSORA is closed.\r\n"), std::wstring::npos);
}

TEST(UiTray, TheMenuAndTheAboutBoxSpeakTheConfiguredLanguage) {
    struct Case {
        const char* configured;
        ELanguage shown;
    };
    const Case cases[] = {{"English", UILANG_ENGLISH},  {"Japanese", UILANG_JAPANESE}, {"Chinese", UILANG_CHINESE},
                          {"Netherland", UILANG_DUTCH}, {"Germany", UILANG_GERMAN},    {"Spain", UILANG_SPANISH},
                          {"Klingon", UILANG_ENGLISH},  {"english", UILANG_ENGLISH}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.configured);
        TessoraRun run(L"ui-lang");
        run.WriteConfig(Config(c.configured));
        ASSERT_TRUE(StartAndWait(run));
        ui::PopupMenu menu = OpenTrayMenu(run);
        ASSERT_EQ(menu.texts.size(), 4u);
        const UINT ids[] = {kHide, kOption, kAbout, kExit};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(menu.ids[i], ids[i]);
            EXPECT_EQ(menu.texts[i], LanguageText(c.shown, static_cast<int>(ids[i]))) << "item " << i;
        }
        EXPECT_EQ(menu.defaultItem, 0);
        ui::ChooseMenuItem(menu, kAboutPos);
        const std::wstring title = LanguageText(c.shown, 133);
        HWND about = WaitAbout(run, title);
        EXPECT_TRUE(about) << "About box titled " << wts::Wide2Narrow(title);
        if (about && c.shown == UILANG_JAPANESE) {
            RECT rc;
            GetWindowRect(about, &rc);
            Sleep(300);
            EXPECT_TRUE(ui::Screenshot(L"about_japanese", rc));
        }
        EXPECT_EQ(run.ExitByTray(), 0u);
    }
    // the row the texts are checked against, as given for the menu's "Option"
    EXPECT_STREQ(LanguageText(UILANG_GERMAN, kOption), L"Option (&O)");
    EXPECT_STREQ(LanguageText(UILANG_JAPANESE, kOption), L"オプション(&O)");
    EXPECT_STREQ(LanguageText(UILANG_DUTCH, kOption), L"Optie (& O)");
}

TEST(UiTray, TheIconComesBackWhenTheShellStartsAgain) {
    TessoraRun run(L"ui-shell");
    run.WriteConfig(Config("English"));
    ASSERT_TRUE(StartAndWait(run));
    ASSERT_TRUE(ui::ShellHasIcon(run.main));
    ui::ShellForgetsIcon(run.main);
    ASSERT_FALSE(ui::ShellHasIcon(run.main));
    // the new shell announces itself to every top-level window
    SendNotifyMessageW(run.main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(wts::WaitUntil([&] { return ui::ShellHasIcon(run.main); }, 5000));
    // and the menu still works
    ui::PopupMenu menu = OpenTrayMenu(run);
    EXPECT_EQ(menu.texts.size(), 4u);
    ui::ChooseMenuItem(menu, kExitPos);
    EXPECT_EQ(run.proc.WaitExit(), 0u);
}

}  // namespace

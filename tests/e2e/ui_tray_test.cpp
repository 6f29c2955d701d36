// The tray icon and its menu, driven the way the shell drives them, and the About box.
#include <gtest/gtest.h>

#include <utility>

#include "app/core/LanguageTexts.h"
#include "update/core/UpdateText.h"
#include "tests/e2e/OptionsSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

const UINT kTrayNotify = WM_USER + 100, kTrayId = 134;  // the main window's tray callback and icon
const std::vector<UINT> kMenuIds = {32779, 32778, 57664, 32777};  // Hide, Option, About, Exit
const int kHidePos = 0, kAboutPos = 2, kExitPos = 3;

// As the shell delivers a mouse action on the icon: without waiting.
void TrayMouse(HWND main, UINT mouse) { SendNotifyMessageW(main, kTrayNotify, kTrayId, mouse); }

// Right click on the icon; the menu that opens, with the item at `choose` chosen unless it is -1.
ui::PopupMenu OpenTrayMenu(TessoraRun& run, int choose = -1) {
    ui::PopupMenu menu;
    EXPECT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
    TrayMouse(run.main, WM_RBUTTONUP);
    EXPECT_TRUE(ui::ReadOpenMenu(run.proc, menu)) << "no tray menu appeared";
    if (menu.window && choose >= 0) {
        ui::ChooseMenuItem(menu, choose);
        EXPECT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
    }
    return menu;
}

HWND WaitAbout(TessoraRun& run, const std::wstring& title) {
    HWND about = nullptr;
    wts::WaitUntil([&] { return (about = ui::VisibleWindow(run.proc.Pid(), L"#32770", title)) != nullptr; });
    return about;
}

TEST(UiTray, EveryMenuItemDoesWhatItSaysAndTheIconOutlivesTheShell) {
    TessoraRun run(L"ui-tray");
    ASSERT_TRUE(options::Start(run));
    EXPECT_TRUE(wts::ShellHasIcon(run.main, kTrayId)) << "the icon is in the notification area";

    ui::PopupMenu menu = OpenTrayMenu(run);
    ASSERT_TRUE(menu.window);
    EXPECT_EQ(menu.ids, kMenuIds);
    EXPECT_EQ(menu.texts, std::vector<std::wstring>({L"Hide(&H)", L"Option(&O)", L"About(&A)", L"Exit"}));
    EXPECT_EQ(menu.defaultItem, 0);
    PostMessageW(menu.window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(ui::WaitMenuGone(run.proc.Pid()));
    EXPECT_TRUE(IsWindowVisible(run.main)) << "closing the menu chooses nothing";

    // Hide counts the window shown at start as not shown, so the first one shows it (again);
    // it toggles the zero-sized window from then on, and so does a double click on the icon
    for (int step = 0; step < 4; ++step) {
        const bool shown = step % 2 == 0;
        if (step < 2)
            OpenTrayMenu(run, kHidePos);
        else
            TrayMouse(run.main, WM_LBUTTONDBLCLK);
        EXPECT_TRUE(wts::WaitUntil([&] { return (IsWindowVisible(run.main) != FALSE) == shown; }, 3000))
            << "step " << step << " should " << (shown ? "show" : "hide") << " the main window";
        EXPECT_TRUE(wts::ShellHasIcon(run.main, kTrayId));
        EXPECT_EQ(ui::VisibleWindow(run.proc.Pid(), L"#32768"), nullptr) << "a double click shows no menu";
    }

    // About: one box, centred on the work area and on top, with the program's version and a link
    // that shows the address it opens
    OpenTrayMenu(run, kAboutPos);
    HWND about = WaitAbout(run, L"About Tessora");
    ASSERT_TRUE(about);
    EXPECT_TRUE(options::CentredOnWorkArea(about));
    EXPECT_EQ(wts::WindowText(GetDlgItem(about, 1085)), L"Tessora Ver 1.0.0.1");
    EXPECT_NE(wts::WindowText(GetDlgItem(about, 1084)).find(TESSORA_HOME_PAGE), std::wstring::npos);
    EXPECT_EQ(wts::WindowText(GetDlgItem(about, 223)), L"Homepage");
    EXPECT_EQ(wts::WindowText(GetDlgItem(about, 1)), L"OK");
    EXPECT_TRUE(options::Screenshot(about, L"about_english"));

    // About while the box shows: nothing happens
    OpenTrayMenu(run, kAboutPos);
    Sleep(500);
    EXPECT_EQ(wts::FindWindows(run.proc.Pid(), L"#32770", L"About Tessora"), std::vector<HWND>({about}));
    wts::MessageBoxInfo box;
    EXPECT_FALSE(wts::AnswerMessageBox(run.proc.Pid(), box, IDOK, 0)) << wts::Wide2Narrow(box.text);

    // OK hides it; About shows the same box again, centred again
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(about); }, 3000));
    SetWindowPos(about, nullptr, 3, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    OpenTrayMenu(run, kAboutPos);
    EXPECT_EQ(WaitAbout(run, L"About Tessora"), about);
    EXPECT_TRUE(options::CentredOnWorkArea(about));

    // a new shell announces itself to every top-level window: the icon comes back
    wts::ShellForgetsIcon(run.main, kTrayId);
    ASSERT_FALSE(wts::ShellHasIcon(run.main, kTrayId));
    SendNotifyMessageW(run.main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::ShellHasIcon(run.main, kTrayId); }, 5000));

    // Exit: the process ends with 0, the icon goes and the log says so
    OpenTrayMenu(run, kExitPos);
    EXPECT_EQ(run.proc.WaitExit(), 0u);
    EXPECT_FALSE(wts::ShellHasIcon(run.main, kTrayId));
    EXPECT_NE(run.LogText().find(L"] -> The TESSORA is closed.\r\n"), std::wstring::npos);
}

TEST(UiTray, TheMenuAndTheAboutBoxSpeakTheConfiguredLanguage) {
    // which name selects which texts is the language table's own matter: here, that the setting
    // reaches both (the East Asian ones are pictured for a person to look at); an unknown name
    // means English
    const std::pair<const char*, ELanguage> cases[] = {
        {"Japanese", UILANG_JAPANESE}, {"Chinese", UILANG_CHINESE}, {"Germany", UILANG_GERMAN}, {"Klingon", UILANG_ENGLISH}};
    for (auto [configured, shown] : cases) {
        SCOPED_TRACE(configured);
        TessoraRun run(L"ui-lang");
        ASSERT_TRUE(options::Start(run, configured));
        const bool eastAsian = shown == UILANG_JAPANESE || shown == UILANG_CHINESE;
        const std::wstring lang = eastAsian ? wts::Narrow2Wide(configured) : L"";
        ui::PopupMenu menu = OpenTrayMenu(run);
        if (menu.window && eastAsian) {
            EXPECT_TRUE(options::Screenshot(menu.window, L"menu_" + lang));
        }
        if (menu.window) ui::ChooseMenuItem(menu, kAboutPos);
        ASSERT_EQ(menu.ids, kMenuIds);
        for (size_t i = 0; i < kMenuIds.size(); ++i)
            EXPECT_EQ(menu.texts[i], LanguageText(shown, static_cast<int>(kMenuIds[i]))) << "item " << i;
        EXPECT_EQ(menu.defaultItem, 0) << "translating keeps the default item";
        const std::wstring title = LanguageText(shown, 133);
        HWND about = WaitAbout(run, title);
        EXPECT_TRUE(about) << "About box titled " << wts::Wide2Narrow(title);
        if (about && eastAsian) {
            EXPECT_TRUE(options::Screenshot(about, L"about_" + lang));
        }
        EXPECT_EQ(run.ExitByTray(), 0u);
    }
}

}  // namespace

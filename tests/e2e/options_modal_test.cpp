// The options window under the dialogs and boxes its pages open: a user's clicks on its OK and
// Cancel do nothing while one is open, and each page takes the answer afterwards; a restore that
// fails half-way leaves the rule on screen the one that a drop binds to.
#include <gtest/gtest.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"
#include "tests/e2e/UiSupport.h"

namespace {

constexpr int kRuleCombo = 1176, kAdd = 1170, kPreviewFirst = 36864, kEditorName = 1180, kTitleList = 1215;
constexpr int kExcludeAdd = 1197;
constexpr int kBackup = 1205, kRestorePath = 1203, kBrowse = 1200, kStartRestore = 1206;

// A click that may open a modal dialog: posted, so that this process does not wait on it.
void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

POINT Centre(HWND h) {
    const RECT r = layout::WindowRect(h);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Clicks Cancel and then OK of the options window with the mouse, as a user would, while `modal`
// is open (moved off both first); the window must stay, and `modal` with it.
void TryToClose(HWND options, HWND modal, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(modal);
    EXPECT_EQ(GetWindow(modal, GW_OWNER), options);
    SetWindowPos(modal, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(wts::WaitUntil([&] { return layout::WindowRect(modal).left == 0; }));
    const POINT cancel = Centre(GetDlgItem(options, options::kCancel)), ok = Centre(GetDlgItem(options, options::kOk));
    const RECT covered = layout::WindowRect(modal);
    ASSERT_FALSE(PtInRect(&covered, cancel) || PtInRect(&covered, ok));
    auto at = [](POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); };
    ASSERT_TRUE(ui::Xdotool(L"mousemove " + at(cancel) + L" click 1 sleep 0.2 mousemove " + at(ok) + L" click 1"));
    // the program reads the clicks from the display between the messages of its modal loop
    for (int i = 0; i < 3; ++i) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(modal, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        Sleep(200);
    }
    EXPECT_TRUE(IsWindowVisible(options)) << "closed under it";
    EXPECT_TRUE(IsWindowVisible(modal));
}

// Waits for a box, tries to close the window under it, answers it; "caption: text".
std::wstring AnswerAfterTrying(TessoraRun& run, HWND options, int button, const char* what) {
    TryToClose(options, wts::WaitMessageBox(run.proc.Pid()), what);
    wts::MessageBoxInfo box;
    if (!wts::AnswerMessageBox(run.proc.Pid(), box, button)) return L"(no box)";
    return box.caption + L": " + box.text;
}

void CloseDialog(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(wts::WaitUntil([&] { return !IsWindow(dialog); }));
}

TEST(OptionsModal, NothingAPageOpensLetsTheWindowCloseUnderItAndAFailedRestoreKeepsTheRuleShown) {
    TessoraRun run(L"optionsmodal");
    ASSERT_EQ(layout::AddPresetRule(run.Path(L""), L"Older", L"Q1", 1), 0);
    ASSERT_EQ(layout::AddPresetRule(run.Path(L""), L"Newer", L"Q2", 2), 0);
    // with Wine's heap checks, a page read after it was freed ends the program
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all,warn+heap");
    const bool started = layout::StartProgram(run, 0);
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
    ASSERT_TRUE(started);
    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);

    // The rules page, on the older of the two rules: the rule editor and the zone title editor.
    options::ClickPageButton(options, options::kRules);
    HWND rules = options::PageWindow(options, options::kRules);
    HWND combo = GetDlgItem(rules, kRuleCombo);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(rules, WM_COMMAND, MAKEWPARAM(kRuleCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    ASSERT_EQ(options::SelectedText(rules, kRuleCombo), L"Older");
    PostClick(rules, kAdd);
    HWND editor = options::WaitDialog(run, kEditorName);
    TryToClose(options, editor, "rule editor");
    CloseDialog(editor);
    PostClick(rules, kPreviewFirst);
    HWND titles = options::WaitDialog(run, kTitleList);
    TryToClose(options, titles, "zone title editor");
    CloseDialog(titles);

    // The exclude page's box for an empty title.
    options::ClickPageButton(options, options::kExclude);
    PostClick(options::PageWindow(options, options::kExclude), kExcludeAdd);
    EXPECT_EQ(AnswerAfterTrying(run, options, IDOK, "empty title"), L"Tessora: Please enter the title name of the excluded window.");

    // The backup page: both file dialogs and every box on the way.
    options::ClickPageButton(options, options::kBackup);
    HWND page = options::PageWindow(options, options::kBackup);
    const std::wstring dir = wts::TempDir(L"modal");
    PostClick(page, kBackup);
    TryToClose(options, options::WaitFileDialog(run.proc.Pid()), "save dialog");
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\mine.data"));
    EXPECT_EQ(AnswerAfterTrying(run, options, IDOK, "saved"), L"Information: Files saved successfully.");

    ASSERT_TRUE(wts::WriteFileBytes(dir + L"\\notes.data", "not a rule database"));
    PostClick(page, kBrowse);
    TryToClose(options, options::WaitFileDialog(run.proc.Pid()), "open dialog");
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\notes.data"));
    EXPECT_EQ(AnswerAfterTrying(run, options, IDOK, "wrong file"), L"Tessora: Wrong file selected.");
    PostClick(page, kBrowse);
    ASSERT_TRUE(options::ChooseFile(run.proc.Pid(), dir + L"\\mine.data"));
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, kStartRestore)) != FALSE; }));
    EXPECT_EQ(wts::WindowText(GetDlgItem(page, kRestorePath)), dir + L"\\mine.data");

    // A restore that fails once the database is closed: the old file cannot be moved aside.
    const std::wstring blocker = run.Path(L"pomlet64.dll.previous");
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    ASSERT_TRUE(wts::WriteFileBytes(blocker + L"\\keep", "x"));
    PostClick(page, kStartRestore);
    EXPECT_EQ(AnswerAfterTrying(run, options, IDYES, "restore?"), L"Information: Are you sure you want to restore file?");
    EXPECT_EQ(AnswerAfterTrying(run, options, IDOK, "restore failed"), L"Tessora: Save file failed!");

    // The rules page still shows the older rule, and a file dropped on its zone is bound to it.
    EXPECT_EQ(options::SelectedText(rules, kRuleCombo), L"Older");
    ASSERT_TRUE(options::DropFiles(run.proc, GetDlgItem(rules, kPreviewFirst), {L"C:\\Tools\\calc.exe"}));
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::WindowText(GetDlgItem(rules, kPreviewFirst)) == L"1(1)"; }));
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        int older = 0, newer = 0;
        ASSERT_TRUE(store.Reload(1));
        store.ReadTitles(1, 1, &older);
        ASSERT_TRUE(store.Reload(0));
        store.ReadTitles(1, 1, &newer);
        EXPECT_EQ(older, 1);
        EXPECT_EQ(newer, 0);
    }
    ASSERT_TRUE(options::CloseWith(options, options::kCancel));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

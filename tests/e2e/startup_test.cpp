// Start-up and shut-down of the real program.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/TessoraRun.h"

namespace {

TEST(Startup, RunsHiddenLogsItsOptionsAndExitsFromTheTray) {
    TessoraRun run(L"start");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitMainWindow());
    RECT rc;
    GetWindowRect(run.main, &rc);
    EXPECT_EQ(rc.right - rc.left, 0);
    EXPECT_EQ(rc.bottom - rc.top, 0);
    EXPECT_TRUE(GetWindowLongW(run.main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongW(run.main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    const std::wstring log = run.LogText();
    EXPECT_NE(log.find(L"] -> The TESSORA is running...\r\n"), std::wstring::npos) << wts::Wide2Narrow(log);
    EXPECT_NE(log.find(L"] -> Option:[L:English A:0 AU:0 OW:1 EHT:1 SH:1]\r\n"), std::wstring::npos);

    // the closing line: the tray and polite-end scenarios; the file's form: the log's own tests
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(Startup, OnlyOneCopyRuns) {
    TessoraRun run(L"single");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitMainWindow());
    for (int attempt = 0; attempt < 2; ++attempt) {  // the count is never lowered: a third start fails too
        wts::Process second;
        ASSERT_TRUE(wts::StartProcess(second, run.Path(L"Tessora.exe")));
        wts::MessageBoxInfo box;
        ASSERT_TRUE(wts::AnswerMessageBox(second.Pid(), box));
        EXPECT_EQ(box.text, L"The program is already running!");
        EXPECT_EQ(box.caption, L"Tessora");
        EXPECT_EQ(second.WaitExit(), 0u);
    }
    EXPECT_TRUE(run.proc.Running());
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(Startup, AMissingConfigFileEndsWithAnErrorBox) {
    TessoraRun run(L"noconfig");
    run.RemoveFile(L"config.ini");
    ASSERT_TRUE(run.Start());
    wts::MessageBoxInfo box;
    ASSERT_TRUE(wts::AnswerMessageBox(run.proc.Pid(), box));
    EXPECT_EQ(box.text,
              L"Configuration file does not exist or the program has been deleted. Please reinstall the Tessora");
    EXPECT_EQ(run.proc.WaitExit(), 0u);
}

TEST(Startup, AnEmptyConfigFileAsksSixQuestionsAndUsesTheFallbacks) {
    TessoraRun run(L"emptyconfig");
    run.WriteConfig("");
    ASSERT_TRUE(run.Start());
    const char* keys[] = {"OverlapWindows", "Language", "Automatics", "AutoUpdate", "ExecuteHotkeyType",
                          "ShowHotkey"};
    for (const char* key : keys) {
        wts::MessageBoxInfo box;
        ASSERT_TRUE(wts::AnswerMessageBox(run.proc.Pid(), box)) << key;
        EXPECT_EQ(box.text, L"The KeyValue of config.ini '" + wts::Narrow2Wide(key) + L"' is error");
    }
    ASSERT_TRUE(run.WaitMainWindow());
    EXPECT_NE(run.LogText().find(L"Option:[L:English A:1 AU:0 OW:1 EHT:1 SH:1]"), std::wstring::npos);
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(Startup, ALogPathThatIsAFileIsReportedOnceAndTheProgramRuns) {
    TessoraRun run(L"logfile");
    run.WriteSettings();
    ASSERT_TRUE(wts::WriteFileBytes(run.Path(L"Log"), "in the way"));
    ASSERT_TRUE(run.Start());
    wts::MessageBoxInfo box;
    ASSERT_TRUE(wts::AnswerMessageBox(run.proc.Pid(), box));
    HWND main = wts::WaitForWindow(run.proc.Pid(), L"#32770", L"Tessora Debug");
    ASSERT_TRUE(main);
    run.main = main;
    // no second box for the option line or the closing line
    EXPECT_EQ(run.ExitByTray(), 0u);
}

TEST(Startup, HostileMessagesAndStrayKeysDoNotEndTheProgram) {
    TessoraRun run(L"hostile");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitMainWindow());
    char two[2] = {'2', '2'};
    COPYDATASTRUCT bad[] = {{2, 3, nullptr}, {2, 2, two}, {1, 0, two}};
    for (COPYDATASTRUCT& cds : bad) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(run.main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 5000, &result);
    }
    PostMessageW(run.main, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(run.main, WM_COMMAND, IDOK, 0);
    PostMessageW(run.main, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(run.main, WM_KEYDOWN, VK_RETURN, 0);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(run.main, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &result);  // log-off cancelled
    Sleep(500);
    EXPECT_TRUE(run.proc.Running());
    EXPECT_EQ(run.ExitByTray(), 0u);
}

// A task manager's gentle end and a log-off end the program as the tray's Exit does.
TEST(Startup, APoliteRequestToEndLeavesAsTheTrayExitDoes) {
    for (UINT message : {WM_CLOSE, WM_ENDSESSION}) {
        TessoraRun run(message == WM_CLOSE ? L"close" : L"endsession");
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.WaitMainWindow());
        ASSERT_TRUE(wts::ShellHasIcon(run.main, 134));
        if (message == WM_CLOSE) {
            PostMessageW(run.main, WM_CLOSE, 0, 0);
        } else {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(run.main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &result);
        }
        EXPECT_EQ(run.proc.WaitExit(), 0u) << message;
        EXPECT_FALSE(wts::ShellHasIcon(run.main, 134));
        const std::wstring log = run.LogText(), closed = L"] -> The TESSORA is closed.\r\n";
        EXPECT_EQ(log.substr(log.size() - std::min(log.size(), closed.size())), closed) << message;
    }
}

TEST(Startup, TheContextMenuExitEndsAtOnceWithoutTheClosingLine) {
    TessoraRun run(L"menuexit");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitMainWindow());
    PostMessageW(run.main, WM_COMMAND, 32772, 0);
    EXPECT_EQ(run.proc.WaitExit(), 0u);
    EXPECT_EQ(run.LogText().find(L"The TESSORA is closed."), std::wstring::npos);
}

}  // namespace

// The update check of the real program, its WinINet pointed at a loopback server as proxy:
// at start-up when AutoUpdate is on, and from "Check Now..." on the update page.
#include "tests/support/LoopbackHttp.h"

#include <gtest/gtest.h>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"

namespace {

const wchar_t kCaption[] = L"Check for Tessora Updates";

// The shipped program is 1.0.0.1.
std::string Published(const char* version) {
    return std::string("<?xml version=\"1.0\"?><Update><File><FileName>Tessora.exe</FileName><FileVersion>") +
           version + "</FileVersion></File></Update>";
}

std::vector<HWND> VisibleDialogs(DWORD pid, const wchar_t* caption = nullptr) {
    std::vector<HWND> shown;
    for (HWND h : wts::FindWindows(pid, L"#32770", caption ? caption : L""))
        if (IsWindowVisible(h)) shown.push_back(h);
    return shown;
}

std::wstring Text(HWND dlg, int id) { return wts::WindowText(GetDlgItem(dlg, id)); }

// Visible dialogs other than the hidden main window, the splash and the update dialogs.
std::vector<std::wstring> OtherDialogs(TessoraRun& run) {
    std::vector<std::wstring> boxes;
    for (HWND h : VisibleDialogs(run.proc.Pid())) {
        const std::wstring caption = wts::WindowText(h);
        if (h != run.main && !caption.empty() && caption != kCaption) boxes.push_back(caption);
    }
    return boxes;
}

// After a check: no temporary file left, no box, and the hotkeys still work.
void ExpectCleanAndAnswering(TessoraRun& run, int tempFilesBefore) {
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFilesBefore; }, 10000));
    EXPECT_TRUE(OtherDialogs(run).empty()) << wts::Wide2Narrow(OtherDialogs(run).front());
    const std::wstring line = L"]: Alt + 2 + 2 (";
    const int before = layout::CountLines(run.LogText(), line);
    layout::TypeSequence(layout::ActionKey::kAlt, '2', '2');
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) > before; }, 15000))
        << wts::Wide2Narrow(run.LogText());
}

TEST(UpdateCheck, AtStartUpOnlyANewerVersionIsOfferedAndEverythingElseStaysQuiet) {
    std::string body;
    int status = 200;
    wts::LoopbackHttp server([&](const std::string&) {
        wts::HttpReply r;
        r.status = status;
        r.body = body;
        return r;
    }, 300000);
    wts::ProxyToLoopback proxy(server.Port());
    const struct {
        const char* name;
        int autoUpdate;
        int status;
        std::string body;
        const wchar_t* offered;  // null: nothing shown
    } cases[] = {
        {"newer", 1, 200, Published("1.0.0.10"), L"1.0.0.10"},
        {"missing", 1, 404, "", nullptr},
        {"switched off", 0, 200, Published("2.0.0.0"), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        body = c.body;
        status = c.status;
        const int answered = server.Answered();
        const int tempFiles = wts::CountXmlTempFiles();
        TessoraRun run(L"update-start");
        ASSERT_TRUE(layout::StartProgram(run, 1, {}, 0, c.autoUpdate));
        if (c.offered) {
            ASSERT_TRUE(wts::WaitUntil([&] { return !VisibleDialogs(run.proc.Pid(), kCaption).empty(); }, 15000));
            HWND dlg = VisibleDialogs(run.proc.Pid(), kCaption).front();
            EXPECT_EQ(Text(dlg, 1156), L"1.0.0.1");
            EXPECT_EQ(Text(dlg, 1145), c.offered);
            EXPECT_EQ(Text(dlg, 1147), L"Download new version");
        } else if (c.autoUpdate) {
            ASSERT_TRUE(wts::WaitUntil([&] { return server.Answered() > answered; }, 15000));
        }
        ExpectCleanAndAnswering(run, tempFiles);
        EXPECT_EQ(server.Answered() - answered, c.autoUpdate);
        EXPECT_EQ(run.ExitByTray(), 0u);
    }
}

TEST(UpdateCheck, EachCheckNowIsACheckOfItsOwnAndOkSavesTheSwitch) {
    wts::LoopbackHttp server([](const std::string&) {
        wts::HttpReply r;
        r.body = Published("1.1.0.0");
        return r;
    });
    wts::ProxyToLoopback proxy(server.Port());
    const int tempFiles = wts::CountXmlTempFiles();
    TessoraRun run(L"update-check-now");
    ASSERT_TRUE(layout::StartProgram(run, 1));
    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);
    options::ClickPageButton(options, options::kUpdate);
    HWND checkNow = options::PageControl(options, options::kUpdate, 1135);
    EXPECT_EQ(wts::WindowText(checkNow), L"Check Now...");
    EXPECT_FALSE(options::IsChecked(options::PageControl(options, options::kUpdate, 1137)));
    options::Click(checkNow);
    options::Click(checkNow);
    ASSERT_TRUE(wts::WaitUntil([&] { return VisibleDialogs(run.proc.Pid(), kCaption).size() == 2; }, 15000));
    for (HWND dlg : VisibleDialogs(run.proc.Pid(), kCaption)) {
        EXPECT_EQ(Text(dlg, 1145), L"1.1.0.0");
        EXPECT_EQ(GetWindow(dlg, GW_OWNER), options);
    }
    EXPECT_EQ(server.Answered(), 2);
    options::Click(options::PageControl(options, options::kUpdate, 1137));
    // without a window manager, Wine takes about 2 s to take down each visible window
    ASSERT_TRUE(options::CloseWith(options, options::kOk) || wts::WaitUntil([&] { return !IsWindow(options); }, 15000));
    EXPECT_EQ(options::ConfigValue(run, L"AutoUpdate"), L"1");
    // the update dialogs went with the options window
    EXPECT_TRUE(VisibleDialogs(run.proc.Pid(), kCaption).empty());
    ExpectCleanAndAnswering(run, tempFiles);
    EXPECT_EQ(server.Answered(), 2) << "the switch takes effect at the next start";
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

// The update check of the real program, its WinINet pointed at a loopback server as proxy:
// at start-up when AutoUpdate is on, and from "Check Now..." on the update page.
#include "tests/support/LoopbackHttp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>

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
std::vector<std::wstring> OtherDialogs(TessoraRun& run, const wchar_t* updateCaption) {
    std::vector<std::wstring> boxes;
    for (HWND h : VisibleDialogs(run.proc.Pid())) {
        const std::wstring caption = wts::WindowText(h);
        if (h != run.main && !caption.empty() && caption != updateCaption) boxes.push_back(caption);
    }
    return boxes;
}

// After a check: no temporary file left, no box, and the hotkeys still work.
void ExpectCleanAndAnswering(TessoraRun& run, int tempFilesBefore, const wchar_t* updateCaption = kCaption) {
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFilesBefore; }, 10000));
    const std::vector<std::wstring> others = OtherDialogs(run, updateCaption);
    EXPECT_TRUE(others.empty()) << wts::Wide2Narrow(others.front());
    const std::wstring line = L"]: Alt + 2 + 2 (";
    const int before = layout::CountLines(run.LogText(), line);
    layout::TypeSequence(layout::ActionKey::kAlt, '2', '2');
    EXPECT_TRUE(wts::WaitUntil([&] { return layout::CountLines(run.LogText(), line) > before; }, 15000))
        << wts::Wide2Narrow(run.LogText());
}

// Some 8 MB naming an installed file 100,000 times: reading every entry's file would take the
// main window most of a minute.
const std::string& HugeDescription() {
    static std::string xml;
    if (xml.empty()) {
        xml = "<?xml version=\"1.0\"?><Update>";
        for (int i = 0; i < 100000; ++i) xml += "<File><FileName>qomb100.dll</FileName><FileVersion>1.0.0.1</FileVersion></File>";
        xml += "</Update>";
    }
    return xml;
}

// The longest round trip of a message to the window, asked again and again until `done` and
// for `afterMs` more.
DWORD LongestAnswer(HWND h, const std::function<bool()>& done, DWORD timeoutMs, DWORD afterMs) {
    DWORD longest = 0, doneAt = 0;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD sent = GetTickCount();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);  // far past any bound: hung
        longest = (std::max)(longest, GetTickCount() - sent);
        if (!doneAt && done()) doneAt = GetTickCount();
        if (doneAt ? GetTickCount() - doneAt >= afterMs : GetTickCount() - start >= timeoutMs) return longest;
        Sleep(20);
    }
}

TEST(UpdateCheck, AtStartUpOnlyANewerVersionIsOfferedAndEverythingElseStaysQuiet) {
    std::string body;
    int status = 200;
    bool silent = false;
    wts::LoopbackHttp server([&](const std::string&) {
        wts::HttpReply r;
        r.status = status;
        r.body = body;
        r.silent = silent;
        return r;
    }, 300000);
    wts::ProxyToLoopback proxy(server.Port());
    const struct {
        const char* name;
        const char* language;
        int autoUpdate;
        int status;
        std::string body;
        const wchar_t* offered;  // null: nothing shown
        bool silent;             // the server never answers, and the program is ended meanwhile
    } cases[] = {
        {"newer, in German", "Germany", 1, 200, Published("1.0.0.10"), L"1.0.0.10", false},
        {"missing", "English", 1, 404, "", nullptr, false},
        {"switched off", "English", 0, 200, Published("2.0.0.0"), nullptr, false},
        {"far too large", "English", 1, 200, HugeDescription(), nullptr, false},
        {"stalled, then ended", "English", 1, 200, "", nullptr, true},
    };
    const wchar_t kGermanCaption[] = L"Nach Tessora-Updates suchen";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        body = c.body;
        status = c.status;
        silent = c.silent;
        const int answered = server.Answered();
        const size_t requests = server.Requests().size();
        const int tempFiles = wts::CountXmlTempFiles();
        TessoraRun run(L"update-start");
        ASSERT_TRUE(layout::StartProgram(run, 1, {}, 0, c.autoUpdate, c.language));
        if (c.silent) {
            ASSERT_TRUE(wts::WaitUntil([&] { return server.Requests().size() > requests; }, 15000));
            EXPECT_EQ(wts::CountXmlTempFiles(), tempFiles + 1);
            EXPECT_EQ(run.ExitByTray(), 0u);
            // no temporary file outlives the program
            EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFiles; }, 5000));
            continue;
        }
        if (c.offered) {
            ASSERT_TRUE(wts::WaitUntil([&] { return !VisibleDialogs(run.proc.Pid(), kGermanCaption).empty(); }, 15000));
            HWND dlg = VisibleDialogs(run.proc.Pid(), kGermanCaption).front();
            EXPECT_EQ(Text(dlg, 1156), L"1.0.0.1");
            EXPECT_EQ(Text(dlg, 1145), c.offered);
            EXPECT_EQ(Text(dlg, 1148), L"Eine neue Version von Tessora ist verf\u00fcgbar:");
            EXPECT_EQ(Text(dlg, 1154), L"Neue Version:");
            EXPECT_EQ(Text(dlg, 1147), L"Neue Version herunterladen");
            EXPECT_TRUE(options::CentredOnWorkArea(dlg));
        } else if (c.autoUpdate) {
            // Whatever the server sends, the main window keeps answering. Without a window
            // manager, Wine takes about 2 s to take the splash down meanwhile.
            const DWORD longest =
                LongestAnswer(run.main, [&] { return server.Answered() > answered; }, 30000, 3000);
            EXPECT_GT(server.Answered(), answered);
            EXPECT_LT(longest, 5000u);
        }
        ExpectCleanAndAnswering(run, tempFiles, kGermanCaption);
        EXPECT_EQ(server.Answered() - answered, c.autoUpdate);
        EXPECT_EQ(run.ExitByTray(), 0u);
    }
}

struct Entry {
    const char* fileName;
    const char* localPath;
};

std::string Description(const std::vector<Entry>& entries) {
    std::string xml = "<?xml version=\"1.0\"?><Update>";
    for (const Entry& e : entries)
        xml += std::string("<File><FileName>") + e.fileName + "</FileName><LocalPath>" + e.localPath +
               "</LocalPath><FileVersion>1.0.0.1</FileVersion></File>";
    return xml + "</Update>";
}

// The last part of a path (a name), folded to lower case.
std::string FoldedName(std::string path) {
    path = path.substr(path.find_last_of("\\/") + 1);
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return path;
}

// The names of the files a program looked up, from Wine's file trace (L"..." with backslashes doubled).
std::vector<std::string> TracedNames(const std::string& trace) {
    std::vector<std::string> names;
    for (size_t at = trace.find("L\""); at != std::string::npos; at = trace.find("L\"", at)) {
        const size_t start = at + 2, end = trace.find('"', start);
        if (end == std::string::npos) break;
        names.push_back(FoldedName(trace.substr(start, end - start)));
        at = end + 1;
    }
    return names;
}

bool Traced(const std::vector<std::string>& names, const char* path) {
    return std::find(names.begin(), names.end(), FoldedName(path)) != names.end();
}

TEST(UpdateCheck, AtStartUpEntriesNamingDevicesOrOtherFoldersAreNeverLookedAt) {
    std::string body;
    wts::LoopbackHttp server([&](const std::string&) {
        wts::HttpReply r;
        r.body = body;
        return r;
    }, 300000);
    wts::ProxyToLoopback proxy(server.Port());
    // every description ends with a plain entry, which must still be looked at: the trace shows lookups
    const Entry own = {"names-own.dll", "Lang"};
    const struct {
        const char* name;
        std::vector<Entry> forged;
    } cases[] = {
        {"a serial port", {{"COM1", ""}}},
        {"other devices", {{"NUL", ""}, {"AUX.dll", ""}, {"LPT1.txt", ""}}},
        {"other folders", {{"..\\names-up.dll", ""}, {"names-up2.dll", ".."}, {"names-up3.dll", "a\\..\\.."}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Entry> entries = c.forged;
        entries.push_back(own);
        body = Description(entries);
        const int answered = server.Answered();
        const int tempFiles = wts::CountXmlTempFiles();
        TessoraRun run(L"update-names");
        run.WriteSettings("English", 1, 1);
        const std::wstring trace = run.Path(L"file-trace.log");
        ASSERT_TRUE(wts::StartProcessTraced(run.proc, run.Path(L"Tessora.exe"), "trace+file", trace));
        ASSERT_TRUE(run.WaitMainWindow());
        // Without a window manager, Wine takes about 2 s to take the splash down meanwhile.
        const DWORD longest = LongestAnswer(run.main, [&] { return server.Answered() > answered; }, 30000, 3000);
        EXPECT_GT(server.Answered(), answered);
        ASSERT_LT(longest, 5000u);  // the rest says nothing of a window that hangs
        EXPECT_EQ(run.ExitByTray(), 0u);
        EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFiles; }, 5000));
        std::string text;
        ASSERT_TRUE(wts::ReadFileBytes(trace, text));
        const std::vector<std::string> names = TracedNames(text);
        EXPECT_TRUE(Traced(names, own.fileName));
        for (const Entry& e : c.forged) EXPECT_FALSE(Traced(names, e.fileName)) << e.fileName << " in " << e.localPath;
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
        EXPECT_EQ(Text(dlg, 1147), L"Download new version");
        EXPECT_EQ(GetWindow(dlg, GW_OWNER), options);
        EXPECT_TRUE(options::CentredOnWorkArea(dlg));
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

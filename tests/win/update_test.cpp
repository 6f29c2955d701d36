// The update check's Windows side: the download job against a loopback HTTP server, the
// description through the platform's XML parser, and the update dialog in this process.
#include <gtest/gtest.h>

#include "tests/support/LoopbackHttp.h"

#include <memory>
#include <numeric>

#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"
#include "update/CheckUpdate.h"
#include "update/InetFile.h"
#include "update/UpdateFiles.h"

namespace {

struct Seen {
    std::vector<int> chunks;
    bool done = false;
    int result = -1;
    int jobId = -1;
};
Seen g_seen;

LRESULT CALLBACK Sink(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_INETFILE_PROGRESS) {
        g_seen.chunks.push_back(LOWORD(wp));
        return 0;
    }
    if (m == WM_INETFILE_DONE) {
        g_seen.done = true;
        g_seen.result = LOWORD(wp);
        g_seen.jobId = HIWORD(wp);
        return 0;
    }
    return DefWindowProcW(h, m, wp, lp);
}

std::string Bytes(size_t n) {
    std::string s(n, 'x');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
    return s;
}

wts::HttpReply Serve(const std::string& line) {
    wts::HttpReply r;
    auto is = [&](const char* path) { return line.find(std::string(" ") + path + " ") != std::string::npos; };
    if (is("/empty")) r.body.clear();
    else if (is("/404")) { r.status = 404; r.body = "gone"; }
    else if (is("/big")) r.body = Bytes(3 << 20);
    else if (is("/slow")) { r.body = "abc"; r.byteDelayMs = 1000; }
    else if (is("/cut")) { r.body = Bytes(100); r.declaredLength = 5000; }
    else if (is("/endless")) r.endlessCapBytes = 64u << 20;
    else if (is("/moved")) { r.status = 302; r.location = "/small"; }
    else if (is("/silent")) r.silent = true;
    else r.body = "hello";
    return r;
}

std::wstring TempPath(const wchar_t* name) {
    static const std::wstring dir = wts::TempDir(L"update_jobs");
    return dir + L"\\" + name;
}

TEST(InetFile, ResultsProgressAndFilesOfEachKindOfAnswer) {
    wts::ProxyToLoopback direct(0);
    wts::LoopbackHttp server(Serve, 120000);
    ASSERT_NE(server.Port(), 0);
    const std::wstring base = L"http://127.0.0.1:" + std::to_wstring(server.Port());
    unsigned short closedPort = 0;
    {
        wts::LoopbackHttp gone(Serve);
        closedPort = gone.Port();
    }
    const std::wstring dead = L"http://127.0.0.1:" + std::to_wstring(closedPort) + L"/x";
    const wchar_t* const kStatusText = L"To get the server file failed, select another server to try.";
    struct Case {
        std::wstring url;
        const wchar_t* file;     // local file name; "missing\\..." lies in no existing directory
        int result;              // -1: success or an internet error, either will do
        long bytes;              // body bytes received and added up by progress; -1: not checked
        const wchar_t* text;     // error text; null: not checked
        bool fileExists;
        DWORD maxBytes;
    } cases[] = {
        {base + L"/small", L"small", 0, 5, nullptr, true, 0},
        {base + L"/empty", L"empty", 0, 0, nullptr, true, 0},
        {base + L"/big", L"big", 0, 3 << 20, nullptr, true, 0},
        {base + L"/slow", L"slow", 0, 3, nullptr, true, 0},
        {base + L"/cut", L"cut", -1, -1, nullptr, true, 0},  // the connection closes mid-body
        {base + L"/404", L"404", 6, -1, kStatusText, false, 0},
        {base + L"/moved", L"moved", 6, -1, kStatusText, false, 0},  // a redirect is not followed
        {base + L"/silent", L"silent", 2, -1, nullptr, false, 0},    // given up after a time-out
        {base + L"/small", L"missing\\x", 7, -1, L"Failed to create local file", false, 0},
        {base + L"/endless", L"endless", 8, -1, L"Take the initiative to cancel the connection", true, 1 << 20},
        {dead, L"refused", 2, -1, nullptr, false, 0},
        {L"http://no-such-host.invalid/x", L"unresolved", 2, -1, nullptr, false, 0},
        {L"https://127.0.0.1:" + std::to_wstring(server.Port()) + L"/small", L"https", 1, -1,
         L"Connection server failed, please select another server to try.", false, 0},
        {L"not a url", L"nourl", 1, -1, nullptr, false, 0},
    };
    HWND sink = wts::MakeTestWindow(L"UpdateJobSink", Sink);
    for (const Case& c : cases) {
        SCOPED_TRACE(wts::Wide2Narrow(c.url));
        const size_t requestsBefore = server.Requests().size();
        g_seen = Seen();
        std::unique_ptr<CInetFile> job(new CInetFile);
        job->m_nJobId = 1;
        job->m_hNotify = sink;
        job->m_strUrl = c.url.c_str();
        job->m_strLocalPath = TempPath(c.file).c_str();
        job->m_nMaxBytes = c.maxBytes;
        ASSERT_TRUE(job->Start());
        const DWORD start = GetTickCount();
        ASSERT_TRUE(wts::WaitUntil([] { return g_seen.done; }, 45000));
        EXPECT_LT(GetTickCount() - start, 40000u);
        EXPECT_LE(server.Requests().size(), requestsBefore + 1);
        if (c.result >= 0) {
            EXPECT_EQ(g_seen.result, c.result);
        } else {
            EXPECT_TRUE(g_seen.result == 0 || g_seen.result == 2) << g_seen.result;
        }
        EXPECT_EQ(g_seen.jobId, 1);
        if (c.result == 1) {
            EXPECT_EQ(server.Requests().size(), requestsBefore);  // no network for what is not plain HTTP
        }
        if (c.bytes >= 0) {
            EXPECT_EQ(static_cast<long>(job->m_nBytesReceived), c.bytes);
            EXPECT_EQ(std::accumulate(g_seen.chunks.begin(), g_seen.chunks.end(), 0L), c.bytes);
            for (int n : g_seen.chunks) EXPECT_TRUE(n >= 1 && n <= 1024) << n;
            std::string body;
            EXPECT_TRUE(wts::ReadFileBytes(TempPath(c.file), body));
            EXPECT_EQ(body.size(), static_cast<size_t>(c.bytes));
        }
        if (c.text) {
            EXPECT_EQ(std::wstring(job->GetErrorText()), c.text);
        }
        if (c.result == 2) {
            EXPECT_FALSE(job->GetErrorText().IsEmpty());
        }
        EXPECT_EQ(GetFileAttributesW(TempPath(c.file).c_str()) != INVALID_FILE_ATTRIBUTES, c.fileExists);
        job.reset();
        DeleteFileW(TempPath(c.file).c_str());
    }
    DestroyWindow(sink);
}

TEST(InetFiles, RemoveDeletesOnlyJobsOfTheList) {
    CInetFiles list;
    EXPECT_EQ(list.GetFirst(), nullptr);
    CInetFile* job = new CInetFile;
    list.Add(job);
    list.Add(job);
    CInetFile stranger;
    EXPECT_FALSE(list.Remove(&stranger));  // a forged pointer is left alone
    EXPECT_TRUE(list.Remove(job));         // both entries go, the job is deleted once
    EXPECT_EQ(list.GetFirst(), nullptr);
    EXPECT_FALSE(list.Remove(job));
}

// ---- the description ----------------------------------------------------------------------

std::wstring WriteDocument(const wchar_t* name, const std::string& xml) {
    const std::wstring path = TempPath(name);
    EXPECT_TRUE(wts::WriteFileBytes(path, xml));
    return path;
}

std::string Entry(const std::string& children) { return "<File>" + children + "</File>"; }

TEST(UpdateFiles, LoadsWhatIsWellFormedAndRefusesTheRest) {
    auto nested = [](int depth) {
        std::string s;
        for (int i = 0; i < depth; ++i) s += "<d>";
        s += Entry("<FileName>x</FileName>");
        for (int i = 0; i < depth; ++i) s += "</d>";
        return s;
    };
    std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
    const char* prev = "a";
    const char* names[] = {"b", "c", "d", "e", "f", "g", "h", "i", "j"};
    for (const char* n : names) {
        bomb += std::string("<!ENTITY ") + n + " \"";
        for (int k = 0; k < 10; ++k) bomb += std::string("&") + prev + ";";
        bomb += "\">";
        prev = n;
    }
    bomb += "]><r>" + Entry("<FileName>&j;</FileName>") + "</r>";
    auto entries = [](int n) {
        std::string s = "<u>";
        for (int i = 0; i < n; ++i) s += Entry("<FileName>x</FileName>");
        return s + "</u>";
    };
    std::string utf16Dtd;
    for (char ch : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><!DOCTYPE r><r/>"))
        utf16Dtd += std::string{ch, '\0'};
    const struct {
        const char* name;
        std::string xml;
        bool loads;
        int count;
    } cases[] = {
        {"two", "<u>" + Entry("<FileName>a</FileName>") + "<x>" + Entry("<FileName>b</FileName>") + "</x></u>", true, 2},
        {"not plain names", "<u>" + Entry("") + Entry("<FileName>COM1</FileName>") +
             Entry("<FileName>a</FileName><LocalPath>..</LocalPath>") +
             Entry("<FileName>a</FileName><LocalPath>Lang</LocalPath>") + "</u>", true, 1},
        {"none", "<u><file/><Files/></u>", true, 0},  // the tag name is matched as written
        {"nested", nested(200), true, 1},
        {"too deep", nested(5000), false, 0},  // the parser's own depth limit refuses it
        {"broken", "<u><File></u>", false, 0},
        {"not xml", "HTTP error page, not XML", false, 0},
        {"empty", "", false, 0},
        {"dtd", "<?xml version=\"1.0\"?><!DOCTYPE u SYSTEM \"http://127.0.0.1:9/x.dtd\"><u>" + Entry("") + "</u>",
         false, 0},
        {"entity bomb", bomb, false, 0},
        {"utf-16 dtd", "\xFF\xFE" + utf16Dtd, false, 0},
        // far more than a release ships, or far larger than a description: not one
        {"64 entries", entries(64), true, 64},
        {"65 entries", entries(65), false, 0},
        {"over 64 KiB", "<u>" + Entry("") + "<!--" + std::string(64 * 1024, ' ') + "--></u>", false, 0},
    };
    CUpdateFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DWORD start = GetTickCount();
        const std::wstring path = WriteDocument(L"doc.xml", c.xml);
        EXPECT_EQ(files.LoadXml(path.c_str()), c.loads);
        EXPECT_EQ(files.GetCount(), c.count);
        EXPECT_LT(GetTickCount() - start, 5000u);
    }
    EXPECT_FALSE(files.LoadXml(TempPath(L"no such file.xml").c_str()));
}

TEST(UpdateFiles, KeepsOnlyFilesThatAreMissingOrOlder) {
    // the shipped program is 1.0.0.1, copied into a folder below this test program's
    const std::wstring shipped = wts::ExeDir() + L"\\shipped";
    CreateDirectoryW(shipped.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(TESSORA_DIST_DIR_W L"\\Tessora.exe", (shipped + L"\\Tessora.exe").c_str(), FALSE));
    const std::string tessora = "<FileName>Tessora.exe</FileName><LocalPath>shipped</LocalPath>";
    const std::wstring busy = wts::ExeDir() + L"\\busy_update.log";
    HANDLE held = CreateFileW(busy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const struct {
        std::string children;
        bool needed;
    } cases[] = {
        {tessora + "<FileVersion>1.0.0.10</FileVersion>", true},  // numbers, not text
        {tessora + "<FileVersion>1.0.0.1</FileVersion>", false},
        {tessora + "<FileVersion>0.9.0.0</FileVersion>", false},
        {tessora + "<FileDateHigh>2147483647</FileDateHigh>", true},  // no version: the later date wins
        {tessora, false},
        {"<FileName>nothing-here.dll</FileName>", true},
        {"<FileName>busy_update.log</FileName>", false},  // held open for writing: still installed
    };
    std::string xml = "<u>";
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        xml += Entry(cases[i].children + "<ProductVersion>" + std::to_string(i) + "</ProductVersion>");
    xml += "</u>";
    CUpdateFiles files;
    ASSERT_TRUE(files.LoadXml(WriteDocument(L"needs.xml", xml).c_str()));
    std::wstring expected, kept;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        if (cases[i].needed) expected += std::to_wstring(i) + L" ";
    EXPECT_EQ(files.CountFilesToUpdate(), 3);
    CloseHandle(held);
    DeleteFileW(busy.c_str());
    DeleteFileW((shipped + L"\\Tessora.exe").c_str());
    RemoveDirectoryW(shipped.c_str());
    while (std::unique_ptr<CUpdateFile> f{files.PopFront()}) kept += std::wstring(f->m_strProductVersion) + L" ";
    EXPECT_EQ(kept, expected);
}

}  // namespace

// ---- the update dialog, in this process, with WinINet's proxy pointed at a loopback server --

namespace {

int g_boxes = 0;
int CountBox(const wchar_t*, const wchar_t*, UINT) { return ++g_boxes, IDOK; }

std::string Description(const std::string& entries) { return "<?xml version=\"1.0\"?><Update>" + entries + "</Update>"; }
std::string FileEntry(const char* name, const char* version) {
    return Entry(std::string("<FileName>") + name + "</FileName><FileVersion>" + version + "</FileVersion>");
}

class CheckUpdateTest : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        app.m_hInstance = module;
        AfxSetMessageBoxHook(CountBox);
        g_boxes = 0;
        tempFilesBefore = wts::CountXmlTempFiles();
    }
    void TearDown() override {
        AfxSetMessageBoxHook(nullptr);
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    // Runs one check to its end; the dialog's window, or null when it destroyed itself.
    HWND Check(wts::LoopbackHttp& server, CCheckUpdate** out = nullptr) {
        const int answered = server.Answered();
        CCheckUpdate* dlg = CCheckUpdate::StartCheck(nullptr, nullptr);
        if (out) *out = dlg;
        EXPECT_TRUE(dlg);
        if (!dlg) return nullptr;
        HWND h = dlg->m_hWnd;
        EXPECT_FALSE(IsWindowVisible(h));
        EXPECT_TRUE(wts::WaitUntil([&] { return server.Answered() > answered && !dlg->m_jobs.GetFirst(); }, 40000));
        return h;
    }
    std::wstring Text(HWND dlg, int id) { return wts::WindowText(GetDlgItem(dlg, id)); }

    CWinApp app;
    HMODULE module = nullptr;
    int tempFilesBefore = 0;
};

TEST_F(CheckUpdateTest, ShowsItselfOnlyForANewerVersionOfThisProgram) {
    // this test program is win_tests.exe at 1.2.3.40
    std::string published;
    wts::LoopbackHttp server([&](const std::string& line) {
        wts::HttpReply r;
        const bool redirect = published.rfind("302 ", 0) == 0;
        if (published == "404") r.status = 404;
        else if (published == "endless") r.endlessCapBytes = 64u << 20;
        else if (published == "silent") r.silent = true;
        else if (redirect && line.find("www.tessora.com") != std::string::npos) { r.status = 302; r.location = published.substr(4); }
        else if (redirect) r.body = Description(FileEntry("win_tests.exe", "1.2.3.99"));  // another host's answer
        else r.body = published;
        return r;
    }, 300000);
    wts::ProxyToLoopback proxy(server.Port());
    const struct {
        const char* name;
        std::string body;
        const wchar_t* offered;  // null: the dialog stays hidden
    } cases[] = {
        {"newer", Description(FileEntry("win_tests.exe", "1.2.3.41")), L"1.2.3.41"},
        {"newer as a number", Description(FileEntry("win_tests.exe", "1.2.3.100")), L"1.2.3.100"},
        {"largest field", Description(FileEntry("win_tests.exe", "1.2.3.65535")), L"1.2.3.65535"},
        {"same", Description(FileEntry("win_tests.exe", "1.2.3.40")), nullptr},
        // another file first: the program's own entry decides
        {"own entry", Description(FileEntry("nothing-here.dll", "9.0.0.0") + FileEntry("WIN_TESTS.EXE", "1.2.3.40")),
         nullptr},
        {"only another file", Description(FileEntry("nothing-here.dll", "9.0.0.0")), L"9.0.0.0"},
        {"no entries", Description(""), nullptr},
        {"404", "404", nullptr},
        {"endless", "endless", nullptr},  // given up after a few megabytes
        {"not xml", "<html>proxy error", nullptr},
        {"dtd", "<!DOCTYPE Update><Update>" + FileEntry("win_tests.exe", "9.9.9.9") + "</Update>", nullptr},
        // only the maker's address is read: a redirect ends the check
        {"redirect elsewhere", "302 http://elsewhere.example/update.xml", nullptr},
        {"redirect loop", "302 http://www.tessora.com/event/tessora_std_update_xml/", nullptr},
        {"redirect to https", "302 https://www.tessora.com/event/tessora_std_update_xml/", nullptr},
        {"silent", "silent", nullptr},  // ends at a time-out like any failed check
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        published = c.body;
        const size_t requests = server.Requests().size();
        HWND dlg = Check(server);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(server.Requests().size(), requests + 1);
        wts::WaitUntil([] { return false; }, 50);
        EXPECT_EQ(IsWindowVisible(dlg) != FALSE, c.offered != nullptr);
        if (c.offered) {
            EXPECT_EQ(Text(dlg, 1156), L"1.2.3.40");
            EXPECT_EQ(Text(dlg, 1145), c.offered);
        }
        DestroyWindow(dlg);  // frees the dialog object
        EXPECT_EQ(wts::CountXmlTempFiles(), tempFilesBefore);
    }
    // the proxy gets the absolute address of the maker's server (the port may be written out)
    const std::string request = server.Requests().at(0);
    const std::string line = request.substr(0, request.find("\r\n"));
    EXPECT_EQ(line.rfind("GET http://www.tessora.com", 0), 0u) << line;
    EXPECT_NE(line.find("/event/tessora_std_update_xml/ HTTP/1.1"), std::string::npos) << line;
    EXPECT_EQ(g_boxes, 0);
}

TEST_F(CheckUpdateTest, IgnoresForgedCompletionsAndCleansUpWhenClosedMidDownload) {
    size_t padding = 2000;
    wts::LoopbackHttp server([&](const std::string&) {
        wts::HttpReply r;
        // over one read's worth, slowly: the job is caught between its first and last chunk
        r.body = "<!--" + std::string(padding, ' ') + "-->" +
                 Description(FileEntry("win_tests.exe", "1.2.3.41")).substr(21);
        r.byteDelayMs = 2;
        return r;
    });
    wts::ProxyToLoopback proxy(server.Port());
    CCheckUpdate* dlg = CCheckUpdate::StartCheck(nullptr, nullptr);
    ASSERT_TRUE(dlg);
    HWND h = dlg->m_hWnd;
    ASSERT_TRUE(wts::WaitUntil([&] { CInetFile* j = dlg->m_jobs.GetFirst(); return j && j->m_nBytesReceived > 0; }, 10000));
    CInetFile* job = dlg->m_jobs.GetFirst();
    // a stray pointer, then the running job itself: neither may be freed nor waited for
    PostMessageW(h, WM_INETFILE_DONE, MAKEWPARAM(0, 2), 0x12345678);
    PostMessageW(h, WM_INETFILE_DONE, MAKEWPARAM(0, 1), reinterpret_cast<LPARAM>(job));
    wts::WaitUntil([] { return false; }, 200);
    EXPECT_EQ(dlg->m_jobs.GetFirst(), job);
    ASSERT_TRUE(wts::WaitUntil([&] { return IsWindowVisible(h) != FALSE; }, 20000));
    EXPECT_EQ(Text(h, 1145), L"1.2.3.41");
    DestroyWindow(h);
    EXPECT_EQ(wts::CountXmlTempFiles(), tempFilesBefore);

    // closed while the download runs: the file goes once the worker has stopped
    dlg = CCheckUpdate::StartCheck(nullptr, nullptr);
    ASSERT_TRUE(dlg);
    h = dlg->m_hWnd;
    ASSERT_TRUE(wts::WaitUntil([&] { CInetFile* j = dlg->m_jobs.GetFirst(); return j && j->m_nBytesReceived > 0; }, 10000));
    EXPECT_EQ(wts::CountXmlTempFiles(), tempFilesBefore + 1);
    const DWORD start = GetTickCount();
    DestroyWindow(h);
    EXPECT_LT(GetTickCount() - start, 500u);  // closing never waits for the network
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFilesBefore; }, 10000));

    // cancelled (which only hides it) while the download runs: it stops reading at once, though the
    // rest of the body would take most of a minute
    padding = 20000;
    dlg = CCheckUpdate::StartCheck(nullptr, nullptr);
    ASSERT_TRUE(dlg);
    h = dlg->m_hWnd;
    ASSERT_TRUE(wts::WaitUntil([&] { CInetFile* j = dlg->m_jobs.GetFirst(); return j && j->m_nBytesReceived > 0; }, 10000));
    const int answered = server.Answered();
    SendMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(dlg->m_jobs.GetFirst(), nullptr);
    EXPECT_TRUE(wts::WaitUntil([&] { return server.Answered() > answered; }, 5000));
    EXPECT_TRUE(wts::WaitUntil([&] { return wts::CountXmlTempFiles() == tempFilesBefore; }, 10000));
    DestroyWindow(h);
    EXPECT_EQ(g_boxes, 0);
}

}  // namespace

// The update check of the real program against servers that never give a whole answer: each
// check lets go of its connection within a minute, and leaves no worker and no temporary file.
#include "tests/support/HostileHttp.h"
#include "tests/support/LoopbackHttp.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/OptionsSupport.h"

namespace {

int ThreadsOf(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 t = {};
    t.dwSize = sizeof(t);
    int n = 0;
    for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t)) n += t.th32OwnerProcessID == pid;
    CloseHandle(snap);
    return n;
}

TEST(UpdateCheck, HostileServersAreLetGoWithinAMinuteAndLeaveNothingBehind) {
    using wts::Hostility;
    // the first four checks meet one way of holding them each; the ten after that a drip
    const Hostility first[] = {Hostility::EndlessHeaders, Hostility::EndlessChunked, Hostility::HugeLength,
                               Hostility::Drip};
    const int kChecks = 14;
    wts::HostileHttp server([&](int n) { return n < 4 ? first[n] : Hostility::Drip; }, 10000, 150000);
    wts::ProxyToLoopback proxy(server.Port());
    const int tempFiles = wts::CountXmlTempFiles();
    TessoraRun run(L"update-hostile");
    ASSERT_TRUE(layout::StartProgram(run, 1));
    HWND options = options::OpenFromTray(run);
    ASSERT_TRUE(options);
    options::ClickPageButton(options, options::kUpdate);
    HWND checkNow = options::PageControl(options, options::kUpdate, 1135);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, run.proc.Pid());
    ASSERT_TRUE(process);
    ASSERT_TRUE(wts::WaitUntil([&] { return ThreadsOf(run.proc.Pid()) > 0; }));
    const int threadsBefore = ThreadsOf(run.proc.Pid());
    // one at a time, so that the server's order is the order of the clicks
    for (int i = 0; i < kChecks; ++i) {
        options::Click(checkNow);
        ASSERT_TRUE(wts::WaitUntil([&] { return static_cast<int>(server.Connections().size()) > i; }, 20000))
            << "check " << i + 1 << " never reached the server";
    }
    const DWORD lastClick = GetTickCount();
    EXPECT_TRUE(wts::WaitUntil([&] {
        for (const wts::HostileConnection& c : server.Connections())
            if (!c.closedAt) return false;
        return true;
    }, 70000));
    for (const wts::HostileConnection& c : server.Connections()) {
        SCOPED_TRACE(wts::HostilityName(c.kind));
        EXPECT_NE(c.closedAt, 0u) << "still held after " << c.HeldMs() << " ms";
        EXPECT_LT(c.HeldMs(), 60000u);
        // what the sockets' buffers hold; reading the rest at the close pulled gigabytes
        EXPECT_LT(c.bytesSent, 32ull << 20);
        std::printf("%-16s held %5lu ms, %llu bytes sent\n", wts::HostilityName(c.kind),
                    static_cast<unsigned long>(c.HeldMs()), c.bytesSent);
    }

    // 70 s after the last click: every worker has ended and every temporary file is gone
    while (GetTickCount() - lastClick < 70000) Sleep(500);
    EXPECT_LE(ThreadsOf(run.proc.Pid()), threadsBefore);
    EXPECT_EQ(wts::CountXmlTempFiles(), tempFiles);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(process, &memory, sizeof(memory));
    // Wine reports tens of seconds of processor time for another process where Linux counts under
    // two; the bytes sent above stand for the work done
    std::printf("%d checks: peak private %lu KiB, threads %d before and %d after\n", kChecks,
                static_cast<unsigned long>(memory.PeakPagefileUsage / 1024), threadsBefore, ThreadsOf(run.proc.Pid()));
    // far above what the checks take, far below the gigabyte that endless headers used to take
    EXPECT_LT(memory.PeakPagefileUsage, 200u * 1024 * 1024);
    CloseHandle(process);

    // nothing was shown, and the program still works
    std::vector<std::wstring> shown;
    for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770"))
        if (IsWindowVisible(h) && h != options && h != run.main) shown.push_back(wts::WindowText(h));
    EXPECT_TRUE(shown.empty()) << wts::Wide2Narrow(shown.front());
    EXPECT_TRUE(options::CloseWith(options, options::kCancel) || wts::WaitUntil([&] { return !IsWindow(options); }, 15000));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

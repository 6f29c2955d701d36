// Prints start-up time of the program (process start to main window created and hook armed,
// which is the last step of its start-up, shown by the log's option line) against an empty
// Win32 program started the same way, plus the program's private memory after start.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/WinTestSupport.h"

namespace {

double Now() {
    static LARGE_INTEGER f = [] { LARGE_INTEGER x; QueryPerformanceFrequency(&x); return x; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::wstring LogPath(const std::wstring& dir) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t name[64];
    swprintf(name, 64, L"\\Log\\Log_%04d-%02d.log", t.wYear, t.wMonth);
    return dir + name;
}

// Milliseconds from CreateProcess until `ready` holds.
template <typename Ready>
double TimeStart(wts::Process& p, const std::wstring& exe, Ready ready) {
    const double t0 = Now();
    if (!wts::StartProcess(p, exe)) return -1;
    while (!ready()) {
        if (Now() - t0 > 30000) return -1;
        Sleep(0);
    }
    return Now() - t0;
}

SIZE_T PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX mem = {};
    mem.cb = sizeof(mem);
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem), sizeof(mem))) return 0;
    return mem.PrivateUsage ? mem.PrivateUsage : mem.PagefileUsage;  // Wine fills only the latter
}

struct Stats { double min, median, max; };
Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? _wtoi(argv[1]) : 10;
    // A window of our own keeps the desktop's own process alive between the runs, so that both
    // programs are measured without the desktop's start-up (Wine starts it with the first window).
    HWND keeper = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const std::wstring dir = wts::TempDir(L"startup-bench");
    wts::CopyDir(TESSORA_DIST_DIR_W, dir);
    const std::wstring empty = wts::ExeDir() + L"\\empty_app.exe";
    std::vector<double> program, baseline;
    std::vector<double> programKiB, emptyKiB;
    // A start right after the same program's exit is faster than one after the other program's:
    // record which one went before, to show the difference.
    std::vector<double> programAfterSelf, programAfterEmpty;
    bool lastWasProgram = false;
    auto startProgram = [&] {
        DeleteFileW(LogPath(dir).c_str());
        wts::Process p;
        HWND main = nullptr;
        const double ms = TimeStart(p, dir + L"\\Tessora.exe", [&] {
            if (!main) main = FindWindowW(L"#32770", L"Tessora Debug");
            return main && wts::ReadUtf16File(LogPath(dir)).find(L"Option:[") != std::wstring::npos;
        });
        if (ms < 0) {
            fwprintf(stderr, L"the program did not start\n");
            return false;
        }
        if (!program.empty() || !baseline.empty()) (lastWasProgram ? programAfterSelf : programAfterEmpty).push_back(ms);
        program.push_back(ms);
        programKiB.push_back(PrivateBytes(p.pi.hProcess) / 1024.0);
        PostMessageW(main, WM_COMMAND, 32777, 0);
        p.WaitExit(10000);
        lastWasProgram = true;
        return true;
    };
    auto startEmpty = [&] {
        wts::Process e;
        HWND w = nullptr;
        const double ms = TimeStart(e, empty, [&] { return (w = FindWindowW(L"#32770", L"Empty Bench")) != nullptr; });
        if (ms < 0) {
            fwprintf(stderr, L"the empty program did not start\n");
            return false;
        }
        baseline.push_back(ms);
        emptyKiB.push_back(PrivateBytes(e.pi.hProcess) / 1024.0);
        PostMessageW(w, WM_CLOSE, 0, 0);
        e.WaitExit(10000);
        lastWasProgram = false;
        return true;
    };
    // Pairs in alternating order (P E, E P, P E, ...): each side follows itself in half of its
    // starts and the other program in the other half, so neither always gains from going second.
    for (int i = 0; i < runs; ++i) {
        const bool programFirst = i % 2 == 0;
        if (!(programFirst ? startProgram() : startEmpty()) || !(programFirst ? startEmpty() : startProgram())) return 1;
    }
    DestroyWindow(keeper);
    const Stats a = Summarise(program), b = Summarise(baseline);
    const Stats ma = Summarise(programKiB), mb = Summarise(emptyKiB);
    wprintf(L"start-up over %d pairs of starts, alternating order (ms)  min     median  max\n", runs);
    wprintf(L"  Tessora.exe                 %7.1f %7.1f %7.1f\n", a.min, a.median, a.max);
    wprintf(L"  empty Win32 program         %7.1f %7.1f %7.1f\n", b.min, b.median, b.max);
    wprintf(L"  ratio of medians            %7.2f\n", a.median / b.median);
    if (!programAfterSelf.empty() && !programAfterEmpty.empty())
        wprintf(L"  Tessora.exe after itself %.1f ms, after the empty program %.1f ms (medians; pairs alternate)\n",
                Summarise(programAfterSelf).median, Summarise(programAfterEmpty).median);
    wprintf(L"private bytes after start (KiB)\n");
    wprintf(L"  Tessora.exe                 %7.0f %7.0f %7.0f\n", ma.min, ma.median, ma.max);
    wprintf(L"  empty Win32 program         %7.0f %7.0f %7.0f\n", mb.min, mb.median, mb.max);
    wprintf(L"\nRESULT startup_ratio %.2f goal<=1.8 (median %.0f ms against %.0f ms)\n", a.median / b.median, a.median,
            b.median);
    wprintf(L"RESULT private_mib %.1f goal<=6.0 (empty program %.1f MiB)\n", ma.median / 1024.0, mb.median / 1024.0);
    return 0;
}

// Arrangement latency of the real program against the bare cost of the same moves, and the time
// spent in the hook procedure while a layout runs. Prints figures; never fails.
//
//   layout_bench.exe [window counts...]      (default 20 50 100)
//
// Latency: from the second key of Alt+3+3 (typed with SendInput through the program's hook) to
// the last move that the sample windows' own thread saw. Bare cost: the same windows taken to
// the same rectangles by the same SetWindowPos pairs, called directly from here.
// Hook time: a hook of our own whose window runs the same layout code while keys keep coming.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/WindowUtil.h"
#include "engine/core/Layouts.h"
#include "hook/Tarnquilcore.h"
#include "rules/SqliteLibrary.h"
#include "tests/e2e/LayoutSupport.h"
#include "tests/e2e/TessoraRun.h"

namespace {

constexpr int kRepeats = 7;

struct SampleClock {
    volatile LONGLONG lastMove;
    volatile LONG moves;
};

double g_tickMs = 0;

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

SampleClock* OpenClock(DWORD pid) {
    wchar_t name[64];
    swprintf(name, 64, L"TessoraSampleClock-%lu", static_cast<unsigned long>(pid));
    HANDLE map = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
    return map ? static_cast<SampleClock*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, sizeof(SampleClock))) : nullptr;
}

// Waits until no window of the sample process has moved for `quietMs`.
void WaitQuiet(const SampleClock* clock, DWORD quietMs = 300) {
    LONG seen = clock->moves;
    ULONGLONG since = GetTickCount64();
    while (GetTickCount64() - since < quietMs) {
        Sleep(10);
        if (clock->moves != seen) {
            seen = clock->moves;
            since = GetTickCount64();
        }
    }
}

std::vector<layout::SampleSpec> Specs(int n) {
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < n; ++i) {
        wchar_t title[32];
        swprintf(title, 32, L"Bench %03d", i);
        specs.push_back({title, layout::Rect(40 + (i * 37) % 1400, 40 + (i * 23) % 700, 400, 300), L""});
    }
    return specs;
}

void Restore(const layout::SampleWindows& s, const std::vector<RECT>& rects) {
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const RECT& r = rects[i];
        SetWindowPos(s.windows[i].second, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }
}

struct LatencyFigures {
    double program = 0, bare = 0, bareAsync = 0;
    int arranged = 0;
};

LatencyFigures MeasureLatency(int n) {
    LatencyFigures f;
    TessoraRun run(L"bench-" + std::to_wstring(n));
    run.WriteConfig("[General]\r\nLanguage=English\r\nOverlapWindows=1\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
                    "ExecuteHotkeyType=0\r\nShowHotkey=1\r\n");
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        int id = 0;
        store.AddExclude(CString(layout::kHarnessWindowTitle), &id, 0);
    }
    if (!run.Start() || !run.WaitMainWindow()) {
        std::printf("  program did not start\n");
        return f;
    }
    SetCursorPos(960, 500);
    layout::SampleWindows s;
    if (!s.Start(Specs(n))) {
        std::printf("  sample windows did not start\n");
        return f;
    }
    const SampleClock* clock = OpenClock(s.proc.Pid());
    if (!clock) return f;
    std::vector<RECT> start, placed;
    for (const auto& w : s.windows) start.push_back(layout::WindowRect(w.second));

    std::vector<double> program;
    for (int rep = 0; rep < kRepeats; ++rep) {
        Restore(s, start);
        WaitQuiet(clock);
        const int lines = layout::CountLines(run.LogText(), L"...OK");
        layout::TypeFirstKey(layout::ActionKey::kAlt, '3');
        const LONGLONG t0 = Now();
        layout::TypeKey('3');
        layout::ReleaseAction(layout::ActionKey::kAlt);
        wts::WaitUntil([&] { return layout::CountLines(run.LogText(), L"...OK") > lines; }, 30000, 5);
        WaitQuiet(clock);
        program.push_back((clock->lastMove - t0) * g_tickMs);
        if (rep == 0) {
            for (const auto& w : s.windows) placed.push_back(layout::WindowRect(w.second));
            const std::wstring log = run.LogText();
            const size_t at = log.rfind(L" (");
            if (at != std::wstring::npos) f.arranged = _wtoi(log.c_str() + at + 2);
        }
        layout::TypeSequence(layout::ActionKey::kAlt, '0', '0');
        WaitQuiet(clock);
    }
    run.ExitByTray();
    f.program = Median(program);

    // The same rectangles through bare SetWindowPos pairs, waited for one by one ...
    // The flags the program uses: it never takes the focus from the user's window.
    const UINT flags = SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOACTIVATE;
    std::vector<double> bare, bareAsync;
    for (int rep = 0; rep < kRepeats; ++rep) {
        Restore(s, start);
        WaitQuiet(clock);
        const LONGLONG t0 = Now();
        for (size_t i = 0; i < s.windows.size(); ++i) {
            if (layout::SameRect(placed[i], start[i])) continue;
            const RECT& r = placed[i];
            SetWindowPos(s.windows[i].second, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
            SetWindowPos(s.windows[i].second, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
        }
        bare.push_back((Now() - t0) * g_tickMs);
        // ... and posted to the windows' thread, the way the program moves other threads' windows.
        Restore(s, start);
        WaitQuiet(clock);
        const LONGLONG t1 = Now();
        for (size_t i = 0; i < s.windows.size(); ++i) {
            if (layout::SameRect(placed[i], start[i])) continue;
            const RECT& r = placed[i];
            SetWindowPos(s.windows[i].second, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         flags | SWP_ASYNCWINDOWPOS);
            SetWindowPos(s.windows[i].second, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         flags | SWP_ASYNCWINDOWPOS);
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(s.windows.front().second, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
        bareAsync.push_back((clock->lastMove - t1) * g_tickMs);
    }
    f.bare = Median(bare);
    f.bareAsync = Median(bareAsync);
    return f;
}

// ---- the hook procedure's time while a layout runs ------------------------------------------

struct HookBench {
    CWindowUtil util;
    std::vector<CString> excludes{CString(layout::kHarnessWindowTitle)};
    std::atomic<bool> layoutStarted{false};
    std::atomic<bool> layoutDone{false};
    double layoutMs = 0;
};
HookBench* g_hookBench = nullptr;

LRESULT CALLBACK HookTargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA && g_hookBench) {
        const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (cds && cds->dwData == 2) {
            // The program's own steps for Alt+3+3: the monitor table, the walk, the plan, the moves.
            g_hookBench->layoutStarted = true;
            const LONGLONG t0 = Now();
            engine::ScreenRect screens[engine::kMaxScreens] = {};
            engine::LayoutContext ctx;
            g_hookBench->util.GetMonitorRects(&ctx.screenCount, screens);
            ctx.screens = screens;
            POINT pt = {};
            GetCursorPos(&pt);
            ctx.cursorX = pt.x;
            ctx.cursorY = pt.y;
            ctx.overlapWindows = 1;
            ctx.actKey = L"1";
            ctx.excludeNames = g_hookBench->excludes;
            g_hookBench->util.ProbeUwpHosts();
            ctx.uwp = g_hookBench->util.HostFlags();
            ctx.foreground = reinterpret_cast<engine::WindowId>(GetForegroundWindow());
            ctx.windows = g_hookBench->util.ReadTopLevelWindows();
            engine::LayoutPlan plan = engine::PlanGridLayout(ctx, 3, 3);
            g_hookBench->util.ApplyMoves(plan.moves);
            g_hookBench->layoutMs = (Now() - t0) * g_tickMs;
            g_hookBench->layoutDone = true;
        }
        return TRUE;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

struct HookFigures {
    int events = 0;
    double medianUs = 0, maxUs = 0;
};

HookFigures ReadHookTimes(CTarnquilcore& hook, LARGE_INTEGER freq) {
    HookFigures f;
    std::vector<TarnquilcoreTiming> t(4096);
    const int n = CTarnquilcoreDiag::ReadTiming(hook, t.data(), static_cast<int>(t.size()));
    std::vector<double> us;
    for (int i = 0; i < n; ++i) us.push_back(t[static_cast<size_t>(i)].dwTicks * 1e6 / static_cast<double>(freq.QuadPart));
    f.events = n;
    f.medianUs = Median(us);
    f.maxUs = us.empty() ? 0 : *std::max_element(us.begin(), us.end());
    return f;
}

void MeasureHook(int n) {
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HookTargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TessoraBenchTarget";
    RegisterClassW(&wc);
    HWND target = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    HookBench bench;
    g_hookBench = &bench;
    layout::SampleWindows s;
    if (!s.Start(Specs(n))) return;
    SetCursorPos(960, 500);
    CTarnquilcore hook;
    hook.StartHook(target);
    hook.setExecuteType(0);

    // Keys with nothing else going on ...
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    for (int i = 0; i < 40; ++i) {
        layout::TypeKey(VK_SHIFT);
        Pump();
    }
    const HookFigures idle = ReadHookTimes(hook, freq);

    // ... and while the layout runs on the target window's thread, with keys typed meanwhile
    // from another thread as a user would go on typing.
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    std::atomic<bool> typing{true};
    std::atomic<int> typedDuring{0};
    double slowestInputMs = 0;
    std::thread typer([&] {
        while (typing) {
            const LONGLONG t0 = Now();
            layout::TypeKey(VK_SHIFT);
            const double ms = (Now() - t0) * g_tickMs - 50.0;  // TypeKey pauses 2 x 25 ms
            if (bench.layoutStarted && !bench.layoutDone) {
                slowestInputMs = std::max(slowestInputMs, ms);
                ++typedDuring;
            }
        }
    });
    Sleep(200);
    layout::TypeFirstKey(layout::ActionKey::kAlt, '3');
    layout::TypeKey('3');
    layout::ReleaseAction(layout::ActionKey::kAlt);
    wts::WaitUntil([&] { return bench.layoutDone.load(); }, 60000, 1);
    typing = false;
    typer.join();
    const HookFigures busy = ReadHookTimes(hook, freq);
    hook.StopHook();
    g_hookBench = nullptr;
    DestroyWindow(target);

    std::printf("  %3d windows: idle: %d key events, median %.1f us, max %.1f us | around a %.0f ms layout: %d key "
                "events, median %.1f us, max %.1f us; %d keys typed during it, slowest SendInput %.1f ms\n",
                n, idle.events, idle.medianUs, idle.maxUs, bench.layoutMs, busy.events, busy.medianUs, busy.maxUs,
                typedDuring.load(), slowestInputMs);
}

}  // namespace

int main(int argc, char** argv) {
    // "--hook" measures only the hook procedure.
    bool latency = true;
    if (argc > 1 && std::string(argv[1]) == "--hook") {
        latency = false;
        --argc;
        ++argv;
    }
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    g_tickMs = 1000.0 / static_cast<double>(freq.QuadPart);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {20, 50, 100};

    if (latency) std::printf("Arrangement latency (Alt+3+3, median of %d), against the same SetWindowPos pairs called "
                "directly:\n", kRepeats);
    if (latency) {
        std::printf("  %7s %9s %12s %10s %16s %7s\n", "windows", "arranged", "program ms", "bare ms",
                    "bare async ms", "ratio");
    }
    for (int n : latency ? counts : std::vector<int>()) {
        const LatencyFigures f = MeasureLatency(n);
        std::printf("  %7d %9d %12.1f %10.1f %16.1f %7.2f\n", n, f.arranged, f.program, f.bare, f.bareAsync,
                    f.bare > 0 ? f.program / f.bare : 0.0);
        std::fflush(stdout);
    }
    std::printf("Time inside the hook procedure per key event (a hook of our own whose window runs Alt+3+3):\n");
    for (int n : counts) {
        MeasureHook(n);
        std::fflush(stdout);
    }
    return 0;
}

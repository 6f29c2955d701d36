// Arrangement latency of the real program against the bare cost of the same moves, and the time
// spent in the hook procedure while a layout runs. Prints figures; never fails.
//
//   layout_bench.exe [--hook] [window counts...]      (default 20 50 100; --hook: hook time only)
//
// Latency: from the second key of Alt+3+3 (typed with SendInput through the program's hook) to
// the first and to the last move that the sample windows' own thread saw. Bare cost: the very
// calls the program makes for that layout (the same plan carried out by the same code, with the
// same flags: asynchronous pairs to the other thread, then waiting for it), made from here.
// Program and bare runs alternate, so that both meet the same machine.
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

constexpr int kRepeats = 15;
double g_tickMs = 0;

// Kept up to date by the sample windows' process.
struct SampleClock {
    volatile LONGLONG lastMove;
    volatile LONG moves;
    volatile LONGLONG firstMove;
};

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double MsSince(LONGLONG t0, LONGLONG t1 = Now()) { return static_cast<double>(t1 - t0) * g_tickMs; }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Waits until no sample window has moved for 300 ms.
void WaitQuiet(const SampleClock* clock) {
    LONG seen = clock->moves;
    for (ULONGLONG since = GetTickCount64(); GetTickCount64() - since < 300; Sleep(10))
        if (clock->moves != seen) {
            seen = clock->moves;
            since = GetTickCount64();
        }
}

bool StartSamples(layout::SampleWindows& s, int n) {
    std::vector<layout::SampleSpec> specs;
    for (int i = 0; i < n; ++i) {
        wchar_t title[32];
        swprintf(title, 32, L"Bench %03d", i);
        specs.push_back({title, layout::Rect(40 + (i * 37) % 1400, 40 + (i * 23) % 700, 400, 300), L""});
    }
    SetCursorPos(960, 500);
    return s.Start(specs);
}

// Each window back to its rectangle, in the same order every time, so that every run starts from
// the same places and the same stacking.
void MoveBack(const layout::SampleWindows& s, const std::vector<RECT>& to) {
    const UINT flags = SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOACTIVATE;
    for (size_t i = 0; i < s.windows.size(); ++i) {
        const RECT& r = to[i];
        SetWindowPos(s.windows[i].second, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
        SetWindowPos(s.windows[i].second, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    }
}

// The program's plan for Alt+3+3 on the desktop as it is now.
std::vector<engine::WindowMove> PlanHere() {
    CWindowUtil util;
    engine::ScreenRect screens[engine::kMaxScreens] = {};
    engine::LayoutContext ctx;
    util.GetMonitorRects(&ctx.screenCount, screens);
    ctx.screens = screens;
    POINT pt = {};
    GetCursorPos(&pt);
    ctx.cursorX = pt.x;
    ctx.cursorY = pt.y;
    ctx.overlapWindows = 1;
    ctx.actKey = L"1";
    ctx.excludeNames = {CString(layout::kHarnessWindowTitle)};
    ctx.uwp = util.HostFlags();
    ctx.foreground = reinterpret_cast<engine::WindowId>(GetForegroundWindow());
    ctx.windows = util.ReadTopLevelWindows();
    return engine::PlanGridLayout(ctx, 3, 3).moves;
}

struct Summary {
    double min, median, max;
};
Summary Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? Summary{0, 0, 0} : Summary{v.front(), v[v.size() / 2], v.back()};
}

struct LatencyResult {
    int windows = 0;
    Summary ratio{}, firstMove{};
};

LatencyResult MeasureLatency(int n) {
    LatencyResult result;
    result.windows = n;
    TessoraRun run(L"bench-" + std::to_wstring(n));
    run.WriteConfig("[General]\r\nLanguage=English\r\nOverlapWindows=1\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
                    "ExecuteHotkeyType=0\r\nShowHotkey=1\r\n");
    {
        CRuleStore store(MakeRuleStoreHost(CString(run.Path(L"").c_str()), [] {}));
        int id = 0;
        store.AddExclude(CString(layout::kHarnessWindowTitle), &id, 0);
    }
    layout::SampleWindows s;
    if (!run.Start() || !run.WaitMainWindow() || !StartSamples(s, n)) {
        std::printf("  %7d: the program or the sample windows did not start\n", n);
        return result;
    }
    wchar_t name[64];
    swprintf(name, 64, L"TessoraSampleClock-%lu", static_cast<unsigned long>(s.proc.Pid()));
    HANDLE map = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    auto* clock = static_cast<SampleClock*>(map ? MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0) : nullptr);
    if (!clock) return result;
    std::vector<RECT> start;
    for (const auto& w : s.windows) start.push_back(layout::WindowRect(w.second));
    MoveBack(s, start);
    WaitQuiet(clock);
    const std::vector<engine::WindowMove> plan = PlanHere();

    std::vector<double> program, bare, ratio, firstMove;
    int arranged = 0;
    for (int rep = 0; rep < kRepeats; ++rep) {
        MoveBack(s, start);
        WaitQuiet(clock);
        const int lines = layout::CountLines(run.LogText(), L"...OK");
        layout::TypeFirstKey(layout::ActionKey::kAlt, '3');
        Sleep(100);  // the first key's preview is drawn and done with
        clock->firstMove = 0;
        const LONGLONG t0 = Now();
        layout::TypeKey('3');
        layout::ReleaseAction(layout::ActionKey::kAlt);
        wts::WaitUntil([&] { return layout::CountLines(run.LogText(), L"...OK") > lines; }, 30000, 5);
        WaitQuiet(clock);
        program.push_back(MsSince(t0, clock->lastMove));
        firstMove.push_back(MsSince(t0, clock->firstMove));
        if (rep == 0) {
            const std::wstring log = run.LogText();  // "... (<windows arranged>) ...OK"
            const size_t at = log.rfind(L" (");
            if (at != std::wstring::npos) arranged = _wtoi(log.c_str() + at + 2);
        }

        MoveBack(s, start);
        WaitQuiet(clock);
        CWindowUtil util;
        const LONGLONG b0 = Now();
        util.ApplyMoves(plan);
        WaitQuiet(clock);
        bare.push_back(MsSince(b0, clock->lastMove));
        ratio.push_back(bare.back() > 0 ? program.back() / bare.back() : 0.0);
    }
    run.ExitByTray();
    result.ratio = Summarise(ratio);
    result.firstMove = Summarise(firstMove);
    const Summary p = Summarise(program), b = Summarise(bare);
    std::printf("  %7d %8d %10.1f %10.1f %8.1f %14.2f %6.2f %6.2f %14.1f %6.1f %6.1f\n", n, arranged, p.median,
                b.median, result.firstMove.median, result.ratio.median, result.ratio.min, result.ratio.max,
                result.firstMove.min, result.firstMove.median, result.firstMove.max);
    return result;
}

// ---- the hook procedure's time while a layout runs ------------------------------------------

std::atomic<bool> g_layoutStarted{false}, g_layoutDone{false};
double g_layoutMs = 0;

// The program's own steps for Alt+3+3: the monitor table, the walk, the plan, the moves.
LRESULT CALLBACK HookTargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_COPYDATA) return DefWindowProcW(h, msg, wp, lp);
    if (reinterpret_cast<const COPYDATASTRUCT*>(lp)->dwData != 2) return TRUE;
    g_layoutStarted = true;
    const LONGLONG t0 = Now();
    CWindowUtil().ApplyMoves(PlanHere());
    g_layoutMs = MsSince(t0);
    g_layoutDone = true;
    return TRUE;
}

// The recorded hook calls: how many, median and slowest in microseconds.
std::string HookTimes(CTarnquilcore& hook) {
    std::vector<TarnquilcoreTiming> t(4096);
    t.resize(CTarnquilcoreDiag::ReadTiming(hook, t.data(), static_cast<int>(t.size())));
    std::vector<double> us;
    for (const TarnquilcoreTiming& r : t) us.push_back(r.dwTicks * g_tickMs * 1000);
    char text[96];
    snprintf(text, sizeof text, "%d key events, median %.1f us, max %.1f us", static_cast<int>(us.size()),
             Median(us), us.empty() ? 0 : *std::max_element(us.begin(), us.end()));
    return text;
}

void MeasureHook(int n) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HookTargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TessoraBenchTarget";
    RegisterClassW(&wc);
    HWND target = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    layout::SampleWindows s;
    if (!StartSamples(s, n)) return;
    g_layoutStarted = g_layoutDone = false;
    CTarnquilcore hook;
    hook.StartHook(target);
    hook.setExecuteType(0);

    // Keys with nothing else going on ...
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    for (int i = 0; i < 40; ++i) {
        layout::TypeKey(VK_SHIFT);
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    }
    const std::string idle = HookTimes(hook);

    // ... and while the layout runs on the target window's thread, with keys typed meanwhile
    // from another thread as a user would go on typing.
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    std::atomic<bool> typing{true};
    int typedDuring = 0;
    double slowestInputMs = 0;
    std::thread typer([&] {
        while (typing) {
            const LONGLONG t0 = Now();
            layout::TypeKey(VK_SHIFT);
            const double ms = MsSince(t0) - 50.0;  // TypeKey pauses 2 x 25 ms
            if (g_layoutStarted && !g_layoutDone) {
                slowestInputMs = std::max(slowestInputMs, ms);
                ++typedDuring;
            }
        }
    });
    Sleep(200);
    layout::TypeSequence(layout::ActionKey::kAlt, '3', '3');
    wts::WaitUntil([] { return g_layoutDone.load(); }, 60000, 1);
    typing = false;
    typer.join();
    const std::string busy = HookTimes(hook);
    hook.StopHook();
    DestroyWindow(target);
    std::printf("  %3d windows: idle: %s | around a %.0f ms layout: %s; %d keys typed during it, slowest "
                "SendInput %.1f ms\n", n, idle.c_str(), g_layoutMs, busy.c_str(), typedDuring, slowestInputMs);
}

}  // namespace

int main(int argc, char** argv) {
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    g_tickMs = 1000.0 / static_cast<double>(freq.QuadPart);
    const bool hookOnly = argc > 1 && std::string(argv[1]) == "--hook";
    std::vector<int> counts;
    for (int i = hookOnly ? 2 : 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {20, 50, 100};

    if (!hookOnly) {
        std::printf("Arrangement latency, Alt+3+3: %d program runs interleaved with %d bare runs of the same calls\n"
                    "(ms from the second key; ratio = program / bare of the same repetition)\n"
                    "  %7s %8s %10s %10s %8s %14s %6s %6s %14s %6s %6s\n", kRepeats, kRepeats, "windows", "arranged",
                    "program", "bare", "1st move", "ratio median", "min", "max", "1st move min", "median", "max");
        std::vector<LatencyResult> results;
        for (int n : counts) {
            results.push_back(MeasureLatency(n));
            std::fflush(stdout);
        }
        std::printf("\n");
        for (const LatencyResult& r : results) {
            std::printf("RESULT layout_ratio_%d %.2f goal<=1.05 (min %.2f, max %.2f)\n", r.windows, r.ratio.median,
                        r.ratio.min, r.ratio.max);
            std::printf("RESULT layout_first_move_ms_%d %.1f goal<=5 (min %.1f, max %.1f)\n", r.windows,
                        r.firstMove.median, r.firstMove.min, r.firstMove.max);
        }
    }
    std::printf("Time inside the hook procedure per key event (a hook of our own whose window runs Alt+3+3):\n");
    for (int n : counts) {
        MeasureHook(n);
        std::fflush(stdout);
    }
    return 0;
}

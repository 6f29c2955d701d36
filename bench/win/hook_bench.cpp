// Cost of the keyboard hook: time inside the hook procedure per key event, and what a keystroke
// pays for the hook as a whole (SendInput round trip with and without it). Prints figures; never
// fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "hook/Tarnquilcore.h"

namespace {

constexpr size_t kEvents = 10000;  // key events per phase
double g_usPerTick = 0;

void Print(const char* what, std::vector<double> us) {
    std::sort(us.begin(), us.end());
    const size_t n = us.size();
    std::printf("  %-34s n=%-6u p50 %8.2f  p99 %8.2f  max %9.2f\n", what, static_cast<unsigned>(n),
                n ? us[n / 2] : 0.0, n ? us[std::min(n - 1, n * 99 / 100)] : 0.0, n ? us.back() : 0.0);
}

struct Phase {
    std::vector<INPUT> script;
    std::vector<double> sendInputUs;  // per event
};

// Plain typing, or Alt+3+2 sequences.
Phase MakePhase(bool sequences) {
    const WORD seq[] = {VK_MENU, '3', '3', '2', '2', VK_MENU};
    const bool seqUp[] = {false, false, true, false, true, true};
    Phase p;
    for (size_t i = 0; p.script.size() < kEvents - (sequences ? kEvents % 6 : 0); ++i) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = sequences ? seq[i % 6] : static_cast<WORD>('A' + i / 2 % 26);
        in.ki.dwFlags = (sequences ? seqUp[i % 6] : i % 2 != 0) ? KEYEVENTF_KEYUP : 0;
        p.script.push_back(in);
    }
    return p;
}

DWORD WINAPI TypistMain(void* param) {
    Phase& p = *static_cast<Phase*>(param);
    for (INPUT& in : p.script) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        SendInput(1, &in, sizeof(INPUT));
        QueryPerformanceCounter(&t1);
        p.sendInputUs.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * g_usPerTick);
    }
    return 0;
}

// Types the phase from another thread while this one pumps, as the program's UI thread would, and
// goes on pumping a little while for the last notices.
void Run(Phase& p) {
    HANDLE thread = CreateThread(nullptr, 0, TypistMain, &p, 0, nullptr);
    for (DWORD end = 0; !end || GetTickCount() - end < 300;) {
        if (MsgWaitForMultipleObjects(end ? 0 : 1, &thread, FALSE, 10, QS_ALLINPUT) == WAIT_OBJECT_0 && !end)
            end = GetTickCount() | 1;
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    CloseHandle(thread);
}

// The floor any low-level keyboard hook pays on this system: one that does nothing, on a thread
// with a plain message loop.
LRESULT CALLBACK NothingProc(int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); }

DWORD WINAPI NothingHookMain(void* ready) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, NothingProc, GetModuleHandleW(nullptr), 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

struct HookTimes {
    std::vector<double> passed, eaten, signalled;
};

// Calls that woke a worker thread are counted apart: SetEvent is the one system call the
// procedure makes, and its cost is the system's (a server round trip under Wine).
HookTimes ReadTiming(CTarnquilcore& hook) {
    std::vector<TarnquilcoreTiming> records(4 * kEvents);
    records.resize(CTarnquilcoreDiag::ReadTiming(hook, records.data(), static_cast<int>(records.size())));
    HookTimes t;
    for (const TarnquilcoreTiming& r : records)
        (r.bSignalled ? t.signalled : r.bEaten ? t.eaten : t.passed).push_back(r.dwTicks * g_usPerTick);
    return t;
}

}  // namespace

int main() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    g_usPerTick = 1e6 / static_cast<double>(f.QuadPart);
    // the receiver of the notices, and the foreground program that the plain keys go to
    HWND receiver = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND typingTarget = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 20, 20,
                                        300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(typingTarget);
    SetFocus(typingTarget);
    std::printf("Tarnquilcore hook benchmark: %u injected key events per phase, SendInput one event at a time\n",
                static_cast<unsigned>(kEvents));
    std::printf("QueryPerformanceCounter resolution %.3f us; figures in microseconds\n\n", g_usPerTick);

    Phase bare = MakePhase(false), nothing = MakePhase(false), plain = MakePhase(false), seq = MakePhase(true);
    Run(bare);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD nothingTid = 0;
    HANDLE nothingThread = CreateThread(nullptr, 0, NothingHookMain, ready, 0, &nothingTid);
    WaitForSingleObject(ready, INFINITE);
    Run(nothing);
    PostThreadMessageW(nothingTid, WM_QUIT, 0, 0);
    WaitForSingleObject(nothingThread, INFINITE);

    CTarnquilcore hook;
    if (!hook.StartHook(receiver)) {
        std::printf("the hook could not be installed\n");
        return 0;
    }
    hook.setExecuteType(0);
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    Run(plain);
    const HookTimes plainTimes = ReadTiming(hook);
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    Run(seq);
    const HookTimes seqTimes = ReadTiming(hook);

    std::printf("Time inside the hook procedure per key event:\n");
    Print("plain typing (passed on)", plainTimes.passed);
    Print("Alt+3+2 sequences, keys passed on", seqTimes.passed);
    Print("Alt+3+2 sequences, keys consumed", seqTimes.eaten);
    Print("... consumed and woke a worker", seqTimes.signalled);
    std::printf("\nSendInput round trip per key event (what each keystroke pays):\n");
    Print("plain typing, no hook", bare.sendInputUs);
    Print("plain typing, a do-nothing hook", nothing.sendInputUs);
    Print("plain typing, with the hook", plain.sendInputUs);
    Print("Alt+3+2 sequences, with the hook", seq.sendInputUs);
    TarnquilcoreStats s = {};
    CTarnquilcoreDiag::GetStats(hook, &s);
    std::printf("\nconsumed %ld, notices queued %ld, sent %ld, send failures %ld, overflows %ld, injected %ld, "
                "injection failures %ld, timed out %ld\n", s.nKeysConsumed, s.nNoticesQueued, s.nNoticesSent,
                s.nSendFailures, s.nQueueOverflows, s.nInjected, s.nInjectFailures, s.nTimedOut);
    return 0;
}

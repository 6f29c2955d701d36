// Cost of the keyboard hook: time inside the hook procedure per key event, what a keystroke pays
// for the hook as a whole (SendInput round trip with and without it), and how long a completed
// sequence takes to reach the receiving window. Prints figures; never fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "hook/Tarnquilcore.h"

namespace {

constexpr int kEvents = 10000;  // key events per phase

double g_usPerTick = 0;
std::vector<LONGLONG> g_secondKeySent;  // QPC when the second key of sequence i was injected
std::vector<LONGLONG> g_noticeLatency;  // QPC ticks from that moment to WM_COPYDATA dwData 2
volatile LONG g_completeNotices = 0;

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

LRESULT CALLBACK ReceiverProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        if (cds->dwData == 2) {
            const LONG i = g_completeNotices++;
            if (i < static_cast<LONG>(g_secondKeySent.size())) g_noticeLatency.push_back(Now() - g_secondKeySent[i]);
        }
        return TRUE;
    }
    return DefWindowProcW(h, m, w, l);
}

struct Summary {
    size_t n = 0;
    double p50 = 0, p99 = 0, max = 0;
};

Summary Summarize(std::vector<double> us) {
    Summary s;
    s.n = us.size();
    if (us.empty()) return s;
    std::sort(us.begin(), us.end());
    s.p50 = us[us.size() / 2];
    s.p99 = us[std::min(us.size() - 1, us.size() * 99 / 100)];
    s.max = us.back();
    return s;
}

void Print(const char* what, const Summary& s) {
    std::printf("  %-34s n=%-6u p50 %8.2f  p99 %8.2f  max %9.2f\n", what, static_cast<unsigned>(s.n), s.p50,
                s.p99, s.max);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct Typist {
    std::vector<INPUT> script;
    std::vector<int> secondKeyAt;     // script positions whose injection time is recorded
    std::vector<double> sendInputUs;  // per event
};

DWORD WINAPI TypistMain(void* p) {
    auto& t = *static_cast<Typist*>(p);
    size_t nextMark = 0;
    for (size_t i = 0; i < t.script.size(); ++i) {
        const LONGLONG t0 = Now();
        if (nextMark < t.secondKeyAt.size() && static_cast<size_t>(t.secondKeyAt[nextMark]) == i)
            g_secondKeySent[nextMark++] = t0;
        SendInput(1, &t.script[i], sizeof(INPUT));
        t.sendInputUs.push_back(static_cast<double>(Now() - t0) * g_usPerTick);
    }
    return 0;
}

// Types the script from another thread while this one pumps, as the program's UI thread would.
void Run(Typist& typist) {
    typist.sendInputUs.reserve(typist.script.size());
    HANDLE thread = CreateThread(nullptr, 0, TypistMain, &typist, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) Pump();
    CloseHandle(thread);
    const DWORD start = GetTickCount();
    while (g_completeNotices < static_cast<LONG>(typist.secondKeyAt.size()) && GetTickCount() - start < 10000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    Pump();
}

// The floor any low-level keyboard hook pays on this system: one that does nothing, on a thread
// with a plain message loop.
LRESULT CALLBACK NothingProc(int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); }

DWORD WINAPI NothingHookMain(void* stop) {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, NothingProc, GetModuleHandleW(nullptr), 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(static_cast<HANDLE>(stop));
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

INPUT Key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

Typist PlainTyping() {
    Typist t;
    for (int i = 0; i < kEvents / 2; ++i) {
        const WORD vk = static_cast<WORD>('A' + i % 26);
        t.script.push_back(Key(vk, false));
        t.script.push_back(Key(vk, true));
    }
    return t;
}

Typist Sequences() {
    Typist t;
    while (t.script.size() + 6 <= static_cast<size_t>(kEvents)) {
        t.script.push_back(Key(VK_MENU, false));
        t.script.push_back(Key('3', false));
        t.script.push_back(Key('3', true));
        t.secondKeyAt.push_back(static_cast<int>(t.script.size()));
        t.script.push_back(Key('2', false));
        t.script.push_back(Key('2', true));
        t.script.push_back(Key(VK_MENU, true));
    }
    return t;
}

struct HookTimes {
    std::vector<double> passed, eaten, signalled;
};

// Calls that woke a worker thread are counted apart: SetEvent is the one system call the
// procedure makes, and its cost is the system's (a server round trip under Wine).
HookTimes ReadTiming(CTarnquilcore& hook) {
    HookTimes t;
    std::vector<TarnquilcoreTiming> records(4 * kEvents);
    const int n = CTarnquilcoreDiag::ReadTiming(hook, records.data(), static_cast<int>(records.size()));
    for (int i = 0; i < n; ++i) {
        const TarnquilcoreTiming& r = records[i];
        (r.bSignalled ? t.signalled : r.bEaten ? t.eaten : t.passed).push_back(r.dwTicks * g_usPerTick);
    }
    return t;
}

}  // namespace

int main() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    g_usPerTick = 1e6 / static_cast<double>(f.QuadPart);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HookBenchReceiver";
    RegisterClassW(&wc);
    HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
    // the foreground program the plain keys go to
    HWND typingTarget = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 20,
                                        20, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(typingTarget);
    SetFocus(typingTarget);

    std::printf("Tarnquilcore hook benchmark: %d injected key events per phase, SendInput one event at a time\n",
                kEvents);
    std::printf("QueryPerformanceCounter resolution %.3f us; figures in microseconds\n\n", g_usPerTick);

    Typist bare = PlainTyping();
    Run(bare);

    Typist nothing = PlainTyping();
    {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        DWORD tid = 0;
        HANDLE thread = CreateThread(nullptr, 0, NothingHookMain, ready, 0, &tid);
        WaitForSingleObject(ready, INFINITE);
        Run(nothing);
        PostThreadMessageW(tid, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(ready);
    }

    CTarnquilcore hook;
    if (!hook.StartHook(receiver)) {
        std::printf("the hook could not be installed\n");
        return 0;
    }
    hook.setExecuteType(0);

    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    Typist plain = PlainTyping();
    Run(plain);
    const HookTimes plainTimes = ReadTiming(hook);

    Typist seq = Sequences();
    g_secondKeySent.assign(seq.secondKeyAt.size(), 0);
    g_noticeLatency.reserve(seq.secondKeyAt.size());
    CTarnquilcoreDiag::EnableTiming(hook, TRUE);
    Run(seq);
    const HookTimes seqTimes = ReadTiming(hook);

    std::printf("Time inside the hook procedure per key event:\n");
    Print("plain typing (passed on)", Summarize(plainTimes.passed));
    Print("Alt+3+2 sequences, keys passed on", Summarize(seqTimes.passed));
    Print("Alt+3+2 sequences, keys consumed", Summarize(seqTimes.eaten));
    Print("... consumed and woke a worker", Summarize(seqTimes.signalled));
    std::printf("\nSendInput round trip per key event (what each keystroke pays):\n");
    Print("plain typing, no hook", Summarize(bare.sendInputUs));
    Print("plain typing, a do-nothing hook", Summarize(nothing.sendInputUs));
    Print("plain typing, with the hook", Summarize(plain.sendInputUs));
    Print("Alt+3+2 sequences, with the hook", Summarize(seq.sendInputUs));
    std::vector<double> latency;
    for (LONGLONG t : g_noticeLatency) latency.push_back(static_cast<double>(t) * g_usPerTick);
    std::printf("\nSecond key injected -> WM_COPYDATA dwData 2 handled by the receiver:\n");
    Print("complete sequences", Summarize(latency));

    TarnquilcoreStats s = {};
    CTarnquilcoreDiag::GetStats(hook, &s);
    std::printf("\nconsumed %ld, notices queued %ld, sent %ld, send failures %ld, overflows %ld, injected %ld, "
                "injection failures %ld, timed out %ld\n",
                s.nKeysConsumed, s.nNoticesQueued, s.nNoticesSent, s.nSendFailures, s.nQueueOverflows,
                s.nInjected, s.nInjectFailures, s.nTimedOut);
    hook.StopHook();
    return 0;
}

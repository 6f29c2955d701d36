// The working part of CTarnquilcore.
//
// One thread of the library's own (raised priority) owns the low-level keyboard hook, its message
// loop and the KeySequencer. The hook procedure only decides and records: the notices go into a
// ring and the strokes the sequencer owes stay with it; it wakes nobody, waits for nothing, takes
// no lock and allocates nothing. Hook calls arrive while the thread is inside PeekMessage (or
// inside one of its own SendInput or SendMessageTimeout calls, which let them in), so the loop
// finds the new work as soon as the procedure returns: it injects the owed strokes first and then
// delivers the notices, each WM_COPYDATA waiting only briefly, so that a busy receiver delays
// neither typing nor the strokes behind it (a notice whose wait ran out is still handled, late).
#pragma once

#include <windows.h>

#include <atomic>

#include "hook/KeySequencer.h"
#include "hook/SpscRing.h"

struct TarnquilcoreStats;
struct TarnquilcoreTiming;

namespace tarnquil {

class HookEngine {
public:
    HookEngine();
    ~HookEngine();
    HookEngine(const HookEngine&) = delete;
    HookEngine& operator=(const HookEngine&) = delete;

    bool Start(HWND target);
    bool Stop();
    bool Restore();
    void SetExecuteType(int type);

    void GetStats(TarnquilcoreStats* stats) const;
    bool EnableTiming(bool enable);
    int ReadTiming(TarnquilcoreTiming* out, int max) const;
    bool SimulateDrop();
    void SetHealthInterval(DWORD ms);

    static void ProcessAttach(HINSTANCE module);
    static void ProcessDetach(bool processEnding);

private:
    struct Counter {
        std::atomic<LONG> value{0};
        // each counter has one writer: no locked instruction needed
        void Add(LONG n) noexcept { value.store(value.load(std::memory_order_relaxed) + n, std::memory_order_relaxed); }
        void Bump() noexcept { Add(1); }
        void Set(LONG n) noexcept { value.store(n, std::memory_order_relaxed); }
        LONG Get() const noexcept { return value.load(std::memory_order_relaxed); }
    };
    struct TimingRecord {
        DWORD ticks;       // inside our code
        DWORD totalTicks;  // the whole callback, CallNextHookEx included
        DWORD eaten;
    };
    static constexpr DWORD kTimingCapacity = 1u << 15;

    static LRESULT CALLBACK LowLevelProc(int code, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI HookThreadEntry(void* self);
    static uint8_t ProbeModifiers(void* context);

    bool OnKeyboard(const KBDLLHOOKSTRUCT& k) noexcept;
    void HookThreadMain() noexcept;
    // The loop's share: owed strokes, then notices. Never called from the hook procedure.
    void DoWork() noexcept;
    bool HasWork() const noexcept;
    void Inject() noexcept;
    void Deliver(const Notice& n) noexcept;
    // Whether the previous hook was found gone (dropped by the system).
    bool Reinstall() noexcept;
    void Rearm(bool missedInput) noexcept;
    void CheckHealth() noexcept;
    void JoinThread() noexcept;

    CRITICAL_SECTION m_apiLock;  // the public calls only; never taken by the hook thread
    bool m_running = false;
    HANDLE m_hStop = nullptr;          // manual reset: the hook thread ends
    HANDLE m_hReady = nullptr;         // auto reset: the hook thread has tried to install
    HANDLE m_hDropped = nullptr;       // auto reset: a simulated drop is done
    HANDLE m_hHookThread = nullptr;
    DWORD m_hookThreadId = 0;
    std::atomic<HWND> m_target{nullptr};
    std::atomic<int> m_type{0};
    std::atomic<bool> m_delivering{false};
    std::atomic<DWORD> m_lastSeen{0};
    std::atomic<DWORD> m_healthInterval{5000};
    ULONG_PTR m_magic = 0;             // dwExtraInfo of the key events we inject ourselves

    // hook thread only
    HHOOK m_hHook = nullptr;
    bool m_installOk = false;
    bool m_working = false;            // DoWork is on the stack: hook calls nested in it add work only
    KeySequencer m_seq;
    NoticeQueue m_notices;
    uint32_t m_overflowNotice = 0;     // the newest complete notice the full ring refused (packed)

    Counter m_consumed, m_queued, m_sent, m_sendFailures, m_overflows, m_injected, m_injectFailures,
        m_reinstalls, m_drops, m_timedOut, m_handedBack;

    TimingRecord* m_timing = nullptr;
    std::atomic<bool> m_timingOn{false};
    std::atomic<DWORD> m_timingCount{0};
};

}  // namespace tarnquil

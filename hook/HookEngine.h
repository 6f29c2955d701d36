// The working part of CTarnquilcore.
//
// Two threads of the library's own:
//  - the hook thread (raised priority) owns the low-level keyboard hook, its message loop and the
//    KeySequencer. The hook procedure only decides and records (notices into a lock-free ring,
//    owed strokes with the sequencer): it wakes nobody, waits for nothing, takes no lock and
//    allocates nothing. Hook calls arrive while the thread is in PeekMessage (or in its own
//    SendInput), so the loop finds their work as soon as they return (or within its short nap):
//    it injects the owed strokes itself and wakes the sender, outside the hook procedure.
//  - the sender delivers the notices as WM_COPYDATA; a slow receiver delays only this thread.
//    It sleeps on a condition variable, which costs no trip to the system when nobody waits.
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

    static DWORD WINAPI SenderThreadEntry(void* self);
    bool OnKeyboard(const KBDLLHOOKSTRUCT& k) noexcept;
    void HookThreadMain() noexcept;
    // The loop's share after hook calls: owed strokes out, the sender woken. Never called from the
    // hook procedure.
    void DoWork() noexcept;
    void Inject() noexcept;
    void WakeSender(bool stop) noexcept;
    void SenderThreadMain() noexcept;
    bool TakeNotice(Notice& n) noexcept;
    void Deliver(const Notice& n) noexcept;
    // Whether the previous hook was found gone (dropped by the system).
    bool Reinstall() noexcept;
    void Rearm(bool missedInput) noexcept;
    void CheckHealth() noexcept;
    void JoinThreads() noexcept;

    CRITICAL_SECTION m_apiLock;  // the public calls only; never taken by the hook thread
    bool m_running = false;
    HANDLE m_hStop = nullptr;          // manual reset: the hook thread ends
    HANDLE m_hReady = nullptr;         // auto reset: the hook thread has tried to install
    HANDLE m_hDropped = nullptr;       // auto reset: a simulated drop is done
    HANDLE m_hHookThread = nullptr;
    HANDLE m_hSenderThread = nullptr;
    DWORD m_hookThreadId = 0;
    // the sender's sleep: taken by the hook thread's loop and the sender, never by the procedure
    CRITICAL_SECTION m_senderLock;
    CONDITION_VARIABLE m_senderWake;
    bool m_senderStop = false;        // under m_senderLock
    bool m_senderIdle = false;        // under m_senderLock
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
    NoticeQueue m_notices;             // hook procedure -> sender
    std::atomic<uint32_t> m_overflowNotice{0};  // the newest complete notice the full ring refused

    Counter m_consumed, m_queued, m_sent, m_sendFailures, m_overflows, m_injected, m_injectFailures,
        m_reinstalls, m_drops, m_timedOut, m_handedBack;

    TimingRecord* m_timing = nullptr;
    std::atomic<bool> m_timingOn{false};
    std::atomic<DWORD> m_timingCount{0};
};

}  // namespace tarnquil

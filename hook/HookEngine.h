// The working part of CTarnquilcore: the hook thread with its low-level keyboard hook and
// message loop, and the sender thread that delivers WM_COPYDATA.
//
// Threads:
//  - hook thread (raised priority): owns the hook and the KeySequencer; the hook procedure only
//    decides, pushes a notice into the ring, signals the sender and returns. Injection of our own
//    key events, re-installs and health checks run from the same thread's message loop, so the
//    sequencer is never touched by two threads.
//  - sender thread: drains the ring and sends WM_COPYDATA; a slow receiver delays only it.
#pragma once

#include <windows.h>

#include <atomic>

#include "hook/KeySequencer.h"
#include "hook/NoticeQueue.h"

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
        void Bump() noexcept { value.store(value.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }
        void Add(LONG n) noexcept { value.store(value.load(std::memory_order_relaxed) + n, std::memory_order_relaxed); }
        void Set(LONG n) noexcept { value.store(n, std::memory_order_relaxed); }
        LONG Get() const noexcept { return value.load(std::memory_order_relaxed); }
        void Reset() noexcept { value.store(0, std::memory_order_relaxed); }
    };
    struct TimingRecord {
        DWORD ticks;
        DWORD eaten;
    };
    static constexpr DWORD kTimingCapacity = 1u << 15;

    static LRESULT CALLBACK LowLevelProc(int code, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI HookThreadEntry(void* self);
    static DWORD WINAPI SenderThreadEntry(void* self);
    static uint8_t ProbeModifiers(void* context);

    bool OnKeyboard(const KBDLLHOOKSTRUCT& k) noexcept;
    void HookThreadMain() noexcept;
    void SenderThreadMain() noexcept;
    void Deliver(const Notice& n) noexcept;
    bool Reinstall() noexcept;
    void Rearm() noexcept;
    void SyncSequencerCounters() noexcept;
    void InjectOwed() noexcept;
    void CheckHealth() noexcept;
    void JoinThreads() noexcept;
    void CloseThreadHandles() noexcept;

    CRITICAL_SECTION m_apiLock;  // Start/Stop/Restore only; never taken by the hook thread
    bool m_running = false;
    HANDLE m_hStop = nullptr;    // manual reset: both threads end
    HANDLE m_hQueued = nullptr;  // auto reset: the ring has notices
    HANDLE m_hReady = nullptr;   // auto reset: the hook thread has tried to install
    HANDLE m_hDropped = nullptr; // auto reset: a simulated drop is done
    HANDLE m_hHookThread = nullptr;
    HANDLE m_hSenderThread = nullptr;
    DWORD m_hookThreadId = 0;
    std::atomic<HWND> m_target{nullptr};
    std::atomic<int> m_type{0};
    std::atomic<bool> m_delivering{false};
    std::atomic<DWORD> m_lastSeen{0};
    std::atomic<DWORD> m_healthInterval{5000};
    ULONG_PTR m_magic = 0;       // dwExtraInfo of the key events we inject ourselves

    // hook thread only
    HHOOK m_hHook = nullptr;
    bool m_installOk = false;
    KeySequencer m_seq;

    NoticeQueue m_queue;

    Counter m_consumed, m_queued, m_sent, m_sendFailures, m_overflows, m_injected,
        m_injectFailures, m_reinstalls, m_drops, m_timedOut, m_handedBack;

    TimingRecord* m_timing = nullptr;
    std::atomic<bool> m_timingOn{false};
    std::atomic<DWORD> m_timingCount{0};
};

}  // namespace tarnquil

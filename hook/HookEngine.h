// The working part of CTarnquilcore.
//
// Threads, each with one job:
//  - hook thread (raised priority): owns the low-level keyboard hook, its message loop and the
//    KeySequencer. The hook procedure decides, pushes into two lock-free rings, rings a worker's
//    doorbell when that worker sleeps, and returns: no waiting, no allocation, no lock. The same
//    thread re-installs the hook (RestoreHook, health check), so the sequencer is never touched
//    by two threads.
//  - injector thread: sends the key events the sequencer owes (the mask key, letters handed back,
//    keys held back for ordering) with SendInput.
//  - sender thread: delivers the notices as WM_COPYDATA; a slow receiver delays only this thread.
// Work is never left to the hook thread's loop: under a steady stream of input the system may
// keep running hook calls inside one PeekMessage for as long as the stream lasts.
#pragma once

#include <windows.h>

#include <atomic>

#include "hook/KeySequencer.h"
#include "hook/SpscRing.h"

struct TarnquilcoreStats;
struct TarnquilcoreTiming;

namespace tarnquil {

// Wakes a worker only when it is about to sleep, so a burst of input costs one signal at most.
class Doorbell {
public:
    bool Create() {
        m_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        return m_event != nullptr;
    }
    ~Doorbell() {
        if (m_event) CloseHandle(m_event);
    }
    HANDLE Event() const { return m_event; }
    // Producer, after publishing work.
    // Returns whether it had to signal.
    bool Ring() noexcept {
        if (!m_idle.exchange(false)) return false;
        SetEvent(m_event);
        return true;
    }
    // Worker: announce the sleep, then check for work once more before waiting.
    void GoingIdle() noexcept {
        m_idle.store(true);
        std::atomic_thread_fence(std::memory_order_seq_cst);
    }
    void Awake() noexcept { m_idle.store(false); }

private:
    HANDLE m_event = nullptr;
    std::atomic<bool> m_idle{false};
};

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
        DWORD ticks;
        WORD eaten;
        WORD signalled;
    };
    static constexpr DWORD kTimingCapacity = 1u << 15;

    static LRESULT CALLBACK LowLevelProc(int code, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI HookThreadEntry(void* self);
    static DWORD WINAPI InjectorThreadEntry(void* self);
    static DWORD WINAPI SenderThreadEntry(void* self);
    static uint8_t ProbeModifiers(void* context);

    bool OnKeyboard(const KBDLLHOOKSTRUCT& k) noexcept;
    bool HandOver(uint32_t now) noexcept;
    void HookThreadMain() noexcept;
    void InjectorThreadMain() noexcept;
    void SenderThreadMain() noexcept;
    void Deliver(const Notice& n) noexcept;
    bool Reinstall() noexcept;
    void Rearm() noexcept;
    void CheckHealth() noexcept;
    void JoinThreads() noexcept;

    CRITICAL_SECTION m_apiLock;  // the public calls only; never taken by the hook thread
    bool m_running = false;
    HANDLE m_hStop = nullptr;          // manual reset: the hook and sender threads end
    HANDLE m_hStopInjector = nullptr;  // manual reset: set once the hook thread has ended
    HANDLE m_hReady = nullptr;         // auto reset: the hook thread has tried to install
    HANDLE m_hDropped = nullptr;       // auto reset: a simulated drop is done
    HANDLE m_hHookThread = nullptr;
    HANDLE m_hInjectorThread = nullptr;
    HANDLE m_hSenderThread = nullptr;
    DWORD m_hookThreadId = 0;
    Doorbell m_senderBell, m_injectorBell;
    std::atomic<HWND> m_target{nullptr};
    std::atomic<int> m_type{0};
    std::atomic<bool> m_delivering{false};
    std::atomic<DWORD> m_lastSeen{0};
    std::atomic<DWORD> m_healthInterval{5000};
    std::atomic<LONG> m_refused{0};    // strokes SendInput would not take, for the sequencer
    ULONG_PTR m_magic = 0;             // dwExtraInfo of the key events we inject ourselves

    // hook thread only
    HHOOK m_hHook = nullptr;
    bool m_installOk = false;
    KeySequencer m_seq;

    NoticeQueue m_notices;   // hook thread -> sender
    StrokeQueue m_strokes;   // hook thread -> injector

    Counter m_consumed, m_queued, m_sent, m_sendFailures, m_overflows, m_injected, m_injectFailures,
        m_reinstalls, m_drops, m_timedOut, m_handedBack;

    TimingRecord* m_timing = nullptr;
    std::atomic<bool> m_timingOn{false};
    std::atomic<DWORD> m_timingCount{0};
};

}  // namespace tarnquil

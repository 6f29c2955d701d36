#include "hook/HookEngine.h"

#include <initializer_list>
#include <new>

#include "hook/Tarnquilcore.h"

namespace tarnquil {

namespace {

HINSTANCE g_module = nullptr;
DWORD g_tls = TLS_OUT_OF_INDEXES;  // the engine of the hook thread calling the procedure

enum : UINT {
    kMsgRestore = WM_APP + 1,
    kMsgDrop = WM_APP + 2,
    kMsgWake = WM_APP + 3,
};

constexpr DWORD kStartTimeoutMs = 10000;
// A receiver busy for longer than this (a layout over hung windows) loses the wait, not the
// message: it is still handled when the receiver gets to it.
constexpr UINT kSendTimeoutMs = 5000;
// The loop's longest sleep. A hook call may also be served inside the wait itself, which then
// goes on sleeping; the strokes that call left owed go out after at most this long.
constexpr DWORD kLoopNapMs = 20;
// Input newer than the last key the hook saw by more than this makes the health check act.
constexpr DWORD kHealthSlackMs = 500;

// The payload must stay valid after a timed-out send, because the receiver may still read it
// later; a small ring of slots living as long as the module is far from wrapping in that time.
struct PayloadSlot {
    COPYDATASTRUCT cds;
    BYTE bytes[4];
};
PayloadSlot g_slots[32];
unsigned g_nextSlot = 0;  // sender thread only

bool TimeReached(DWORD now, DWORD due) { return static_cast<LONG>(now - due) >= 0; }

uint32_t Pack(const Notice& n) {
    return n.kind | static_cast<uint32_t>(n.first) << 8 | static_cast<uint32_t>(n.second) << 16 |
           static_cast<uint32_t>(n.action) << 24;
}
Notice Unpack(uint32_t v) {
    return Notice{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 24)};
}

// Waits for a thread while letting messages sent to this thread through: the sender may be in
// the middle of a WM_COPYDATA to a window of the caller.
void WaitAllowingSentMessages(HANDLE thread) {
    if (!thread) return;
    for (;;) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD r = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_SENDMESSAGE,
                                                    MWMO_INPUTAVAILABLE);
        if (r != WAIT_OBJECT_0 + 1) return;
    }
}

}  // namespace

void HookEngine::ProcessAttach(HINSTANCE module) {
    g_module = module;
    g_tls = TlsAlloc();
}

void HookEngine::ProcessDetach(bool processEnding) {
    if (!processEnding && g_tls != TLS_OUT_OF_INDEXES) TlsFree(g_tls);
    g_tls = TLS_OUT_OF_INDEXES;
}

HookEngine::HookEngine() {
    InitializeCriticalSection(&m_apiLock);
    InitializeCriticalSection(&m_senderLock);
    InitializeConditionVariable(&m_senderWake);
    m_magic = reinterpret_cast<ULONG_PTR>(this);
}

HookEngine::~HookEngine() {
    Stop();
    for (HANDLE h : {m_hStop, m_hReady, m_hDropped})
        if (h) CloseHandle(h);
    delete[] m_timing;
    DeleteCriticalSection(&m_senderLock);
    DeleteCriticalSection(&m_apiLock);
}

bool HookEngine::Start(HWND target) {
    EnterCriticalSection(&m_apiLock);
    bool ok = m_running;
    if (m_running) {
        m_target.store(target);
    } else if (g_tls != TLS_OUT_OF_INDEXES) {
        if (!m_hStop) m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!m_hReady) m_hReady = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!m_hDropped) m_hDropped = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (m_hStop && m_hReady && m_hDropped) {
            ResetEvent(m_hStop);
            m_notices.Clear();
            m_overflowNotice.store(0);
            m_senderStop = false;
            m_senderIdle = false;
            m_seq = KeySequencer();
            m_installOk = false;
            for (Counter* c : {&m_consumed, &m_queued, &m_sent, &m_sendFailures, &m_overflows, &m_injected,
                               &m_injectFailures, &m_reinstalls, &m_drops, &m_timedOut, &m_handedBack})
                c->Set(0);
            m_target.store(target);
            // Neither thread needs much stack; the default reservation would stay unused.
            m_hSenderThread = CreateThread(nullptr, 64 * 1024, SenderThreadEntry, this,
                                           STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
            if (m_hSenderThread)
                m_hHookThread = CreateThread(nullptr, 64 * 1024, HookThreadEntry, this,
                                             STACK_SIZE_PARAM_IS_A_RESERVATION, &m_hookThreadId);
            if (m_hHookThread) {
                HANDLE waits[2] = {m_hReady, m_hHookThread};
                WaitForMultipleObjects(2, waits, FALSE, kStartTimeoutMs);
            }
            ok = m_hHookThread && m_installOk;
            if (ok) {
                m_running = true;
            } else {
                SetEvent(m_hStop);
                JoinThreads();
            }
        }
    }
    LeaveCriticalSection(&m_apiLock);
    return ok;
}

bool HookEngine::Stop() {
    EnterCriticalSection(&m_apiLock);
    const bool wasRunning = m_running;
    if (m_running) {
        m_running = false;
        SetEvent(m_hStop);
        // Called from inside our own WM_COPYDATA: answer it first, or the sender would wait for
        // us while we wait for it.
        HWND target = m_target.load();
        if (m_delivering.load() && InSendMessage() &&
            GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId())
            ReplyMessage(0);
        JoinThreads();
    }
    LeaveCriticalSection(&m_apiLock);
    return wasRunning;
}

void HookEngine::JoinThreads() noexcept {
    WaitAllowingSentMessages(m_hHookThread);
    WakeSender(true);  // only now: the hook thread's last notices are in the ring
    WaitAllowingSentMessages(m_hSenderThread);
    for (HANDLE* h : {&m_hHookThread, &m_hSenderThread}) {
        if (*h) CloseHandle(*h);
        *h = nullptr;
    }
    m_hookThreadId = 0;
}

bool HookEngine::Restore() {
    EnterCriticalSection(&m_apiLock);
    const bool ok = m_running && PostThreadMessageW(m_hookThreadId, kMsgRestore, 0, 0);
    LeaveCriticalSection(&m_apiLock);
    return ok;
}

void HookEngine::SetExecuteType(int type) { m_type.store(KeySequencer::NormalizeType(type)); }

// ---- hook thread ----------------------------------------------------------------------------

DWORD WINAPI HookEngine::HookThreadEntry(void* self) {
    try {
        static_cast<HookEngine*>(self)->HookThreadMain();
    } catch (...) {
    }
    return 0;
}

uint8_t HookEngine::ProbeModifiers(void*) {
    uint8_t mods = 0;
    if (GetAsyncKeyState(VK_MENU) < 0) mods |= kModLAlt;
    if (GetAsyncKeyState(VK_CONTROL) < 0) mods |= kModLCtrl;
    if (GetAsyncKeyState(VK_LWIN) < 0 || GetAsyncKeyState(VK_RWIN) < 0) mods |= kModLWin;
    return mods;
}

void HookEngine::HookThreadMain() noexcept {
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue, before anyone posts
    TlsSetValue(g_tls, this);
    // A hook starved of CPU is a hook the system removes.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    m_seq.Rearm(ProbeModifiers(nullptr), GetTickCount(), true);  // whatever is held as we start
    m_lastSeen.store(GetTickCount());
    m_hHook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelProc, g_module, 0);
    m_installOk = m_hHook != nullptr;
    SetEvent(m_hReady);
    if (!m_installOk) {
        TlsSetValue(g_tls, nullptr);
        return;
    }

    DWORD interval = m_healthInterval.load();
    DWORD nextCheck = GetTickCount() + interval;
    for (;;) {
        DoWork();
        const DWORD now = GetTickCount();
        DWORD wait = TimeReached(now, nextCheck) ? 0 : nextCheck - now;
        if (wait > kLoopNapMs) wait = kLoopNapMs;
        const DWORD r = MsgWaitForMultipleObjectsEx(1, &m_hStop, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        // Hook calls are delivered inside PeekMessage; what they leave is done after each one.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd) {
                DispatchMessageW(&msg);
            } else if (msg.message == kMsgRestore) {
                Rearm(Reinstall());
            } else if (msg.message == kMsgDrop) {
                if (m_hHook) UnhookWindowsHookEx(m_hHook);  // keep the stale handle, as the system would
                SetEvent(m_hDropped);
            }
            DoWork();
        }
        const DWORD newInterval = m_healthInterval.load();
        if (newInterval != interval) {
            interval = newInterval;
            nextCheck = GetTickCount() + interval;
        }
        if (TimeReached(GetTickCount(), nextCheck)) {
            CheckHealth();
            nextCheck = GetTickCount() + interval;
        }
    }
    if (m_hHook) UnhookWindowsHookEx(m_hHook);
    m_hHook = nullptr;
    TlsSetValue(g_tls, nullptr);
    // A key-up held back for ordering must still reach the programs.
    Inject();
}

LRESULT CALLBACK HookEngine::LowLevelProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_tls != TLS_OUT_OF_INDEXES) {
        auto* self = static_cast<HookEngine*>(TlsGetValue(g_tls));
        if (self) {
            TimingRecord* timing = self->m_timingOn.load(std::memory_order_relaxed) ? self->m_timing : nullptr;
            LARGE_INTEGER t0 = {};
            if (timing) QueryPerformanceCounter(&t0);
            const bool eaten = self->OnKeyboard(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
            LARGE_INTEGER t1 = {};
            if (timing) QueryPerformanceCounter(&t1);
            const LRESULT result = eaten ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
            if (timing) {
                LARGE_INTEGER t2;
                QueryPerformanceCounter(&t2);
                const DWORD i = self->m_timingCount.load(std::memory_order_relaxed);
                timing[i & (kTimingCapacity - 1)] = {static_cast<DWORD>(t1.QuadPart - t0.QuadPart),
                                                     static_cast<DWORD>(t2.QuadPart - t0.QuadPart),
                                                     eaten ? 1u : 0u};
                self->m_timingCount.store(i + 1, std::memory_order_release);
            }
            return result;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool HookEngine::OnKeyboard(const KBDLLHOOKSTRUCT& k) noexcept {
    KeyEvent e;
    e.key.vk = static_cast<uint16_t>(k.vkCode);
    e.key.scan = static_cast<uint16_t>(k.scanCode);
    e.key.up = (k.flags & LLKHF_UP) != 0;
    e.key.extended = (k.flags & LLKHF_EXTENDED) != 0;
    e.time = k.time;
    e.own = (k.flags & LLKHF_INJECTED) && k.dwExtraInfo == m_magic;
    m_lastSeen.store(k.time, std::memory_order_relaxed);

    const Decision d = m_seq.OnKey(e, m_type.load(std::memory_order_relaxed), ProbeModifiers, nullptr);
    if (d.notice.kind) {
        if (m_notices.Push(d.notice)) {
            m_queued.Bump();
        } else {
            // Sequences typed faster than the receiver takes them may merge, but the newest stays.
            m_overflows.Bump();
            if (d.notice.kind == 2 && m_overflowNotice.exchange(Pack(d.notice)) == 0) m_queued.Bump();
        }
    }
    if (d.eat) m_consumed.Bump();
    m_timedOut.Set(static_cast<LONG>(m_seq.TimedOut()));
    m_handedBack.Set(static_cast<LONG>(m_seq.Replayed()));
    return d.eat;
}

void HookEngine::DoWork() noexcept {
    if (m_working) return;
    m_working = true;
    Inject();
    if (!m_notices.Empty() || m_overflowNotice.load() != 0) WakeSender(false);
    m_working = false;
}

void HookEngine::WakeSender(bool stop) noexcept {
    EnterCriticalSection(&m_senderLock);
    const bool wake = m_senderIdle || stop;
    if (stop) m_senderStop = true;
    LeaveCriticalSection(&m_senderLock);
    if (wake) WakeConditionVariable(&m_senderWake);
}

// Sends the strokes the sequencer owes, marked as ours so that the hook lets them pass.
void HookEngine::Inject() noexcept {
    while (m_seq.OwedCount() > 0) {
        KeyStroke strokes[KeySequencer::kMaxOwed];
        const int n = m_seq.TakeInjection(strokes, KeySequencer::kMaxOwed, GetTickCount());
        INPUT inputs[KeySequencer::kMaxOwed];
        for (int i = 0; i < n; ++i) {
            INPUT& in = inputs[i];
            ZeroMemory(&in, sizeof in);
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = strokes[i].vk;
            in.ki.wScan = strokes[i].scan;
            in.ki.dwFlags = (strokes[i].up ? KEYEVENTF_KEYUP : 0) | (strokes[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
            in.ki.dwExtraInfo = m_magic;
        }
        const UINT sent = SendInput(static_cast<UINT>(n), inputs, sizeof(INPUT));
        m_injected.Add(static_cast<LONG>(sent));
        if (sent < static_cast<UINT>(n)) {
            m_injectFailures.Add(n - static_cast<LONG>(sent));
            m_seq.InjectionFailed(n - static_cast<int>(sent));
            return;
        }
    }
}

// ---- sender thread --------------------------------------------------------------------------

DWORD WINAPI HookEngine::SenderThreadEntry(void* self) {
    try {
        static_cast<HookEngine*>(self)->SenderThreadMain();
    } catch (...) {
    }
    return 0;
}

bool HookEngine::TakeNotice(Notice& n) noexcept {
    if (m_notices.Pop(n)) return true;
    // Sequences typed faster than the receiver takes them may merge, but the newest stays.
    const uint32_t last = m_overflowNotice.exchange(0);
    if (!last) return false;
    n = Unpack(last);
    return true;
}

void HookEngine::SenderThreadMain() noexcept {
    for (;;) {
        Notice n;
        while (WaitForSingleObject(m_hStop, 0) != WAIT_OBJECT_0 && TakeNotice(n)) Deliver(n);
        EnterCriticalSection(&m_senderLock);
        m_senderIdle = true;
        // checked again under the lock: the loop wakes us only when it sees us idle
        while (!m_senderStop && m_notices.Empty() && m_overflowNotice.load() == 0)
            SleepConditionVariableCS(&m_senderWake, &m_senderLock, INFINITE);
        m_senderIdle = false;
        const bool stop = m_senderStop;
        LeaveCriticalSection(&m_senderLock);
        if (stop) return;  // notices still queued at a stop are not sent
    }
}

void HookEngine::Deliver(const Notice& n) noexcept {
    HWND target = m_target.load();
    if (!IsWindow(target)) {
        m_sendFailures.Bump();
        return;
    }
    PayloadSlot& slot = g_slots[g_nextSlot++ % (sizeof g_slots / sizeof g_slots[0])];
    slot.bytes[0] = n.first;
    slot.bytes[1] = n.second;
    slot.bytes[2] = n.action;
    slot.bytes[3] = 0;
    slot.cds.dwData = n.kind;
    slot.cds.cbData = 3;
    slot.cds.lpData = slot.bytes;
    DWORD_PTR result = 0;
    m_delivering.store(true);
    const LRESULT ok = SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&slot.cds),
                                           SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    m_delivering.store(false);
    if (ok)
        m_sent.Bump();
    else
        m_sendFailures.Bump();
}

bool HookEngine::Reinstall() noexcept {
    // The new hook first, so that no key slips through between the two.
    HHOOK fresh = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelProc, g_module, 0);
    if (!fresh) return false;
    bool dropped = false;
    if (m_hHook && !UnhookWindowsHookEx(m_hHook)) {
        m_drops.Bump();
        dropped = true;
    }
    m_hHook = fresh;
    m_reinstalls.Bump();
    m_lastSeen.store(GetTickCount());
    return dropped;
}

void HookEngine::Rearm(bool missedInput) noexcept {
    m_seq.Rearm(ProbeModifiers(nullptr), GetTickCount(), missedInput);
    m_timedOut.Set(static_cast<LONG>(m_seq.TimedOut()));
    m_handedBack.Set(static_cast<LONG>(m_seq.Replayed()));
}

void HookEngine::CheckHealth() noexcept {
    // A hook the system dropped sees nothing while input goes on; mouse input also counts here,
    // which only costs a needless re-install.
    LASTINPUTINFO info = {sizeof info, 0};
    if (!GetLastInputInfo(&info)) return;
    if (static_cast<LONG>(info.dwTime - m_lastSeen.load()) > static_cast<LONG>(kHealthSlackMs)) {
        Reinstall();
        Rearm(true);
    }
}

// ---- diagnostics ----------------------------------------------------------------------------

void HookEngine::GetStats(TarnquilcoreStats* s) const {
    s->nKeysConsumed = m_consumed.Get();
    s->nNoticesQueued = m_queued.Get();
    s->nNoticesSent = m_sent.Get();
    s->nSendFailures = m_sendFailures.Get();
    s->nQueueOverflows = m_overflows.Get();
    s->nInjected = m_injected.Get();
    s->nInjectFailures = m_injectFailures.Get();
    s->nReinstalls = m_reinstalls.Get();
    s->nDropsDetected = m_drops.Get();
    s->nTimedOut = m_timedOut.Get();
    s->nHandedBack = m_handedBack.Get();
}

bool HookEngine::EnableTiming(bool enable) {
    EnterCriticalSection(&m_apiLock);
    if (enable && !m_timing) m_timing = new (std::nothrow) TimingRecord[kTimingCapacity];
    const bool ok = !enable || m_timing;
    if (ok) {
        m_timingOn.store(false);
        m_timingCount.store(0);
        m_timingOn.store(enable);
    }
    LeaveCriticalSection(&m_apiLock);
    return ok;
}

int HookEngine::ReadTiming(TarnquilcoreTiming* out, int max) const {
    if (!m_timing || !out || max <= 0) return 0;
    const DWORD count = m_timingCount.load(std::memory_order_acquire);
    DWORD n = count < kTimingCapacity ? count : kTimingCapacity;
    if (n > static_cast<DWORD>(max)) n = static_cast<DWORD>(max);
    for (DWORD i = 0; i < n; ++i) {
        const TimingRecord& r = m_timing[(count - n + i) & (kTimingCapacity - 1)];
        out[i].dwTicks = r.ticks;
        out[i].dwTotalTicks = r.totalTicks;
        out[i].bEaten = r.eaten;
    }
    return static_cast<int>(n);
}

bool HookEngine::SimulateDrop() {
    EnterCriticalSection(&m_apiLock);
    bool ok = m_running && PostThreadMessageW(m_hookThreadId, kMsgDrop, 0, 0);
    if (ok) ok = WaitForSingleObject(m_hDropped, kStartTimeoutMs) == WAIT_OBJECT_0;
    LeaveCriticalSection(&m_apiLock);
    return ok;
}

void HookEngine::SetHealthInterval(DWORD ms) {
    m_healthInterval.store(ms ? ms : 1);
    EnterCriticalSection(&m_apiLock);
    if (m_running) PostThreadMessageW(m_hookThreadId, kMsgWake, 0, 0);
    LeaveCriticalSection(&m_apiLock);
}

}  // namespace tarnquil

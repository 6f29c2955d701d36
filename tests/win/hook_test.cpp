// Tarnquilcore.dll under Wine: keys are typed with SendInput into a window of this process, which
// reaches the library's low-level hook exactly as real typing does. A few tests drive the
// sequencer's logic directly, for the cases that real typing cannot produce on demand.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hook/KeySequencer.h"
#include "hook/Tarnquilcore.h"

namespace {

constexpr DWORD kDeadlineMs = 5000;
constexpr WORD kSentinel = VK_F13;  // ends every typed script; no sequence uses it

// Key messages of the test window and its child, as the program's message loop sees them.
struct SeenKey {
    WPARAM vk;
    bool up;
    bool operator==(const SeenKey& o) const { return vk == o.vk && up == o.up; }
};
HWND g_keyTarget = nullptr;
HWND g_keyFocus = nullptr;
std::vector<SeenKey> g_seenKeys;

// Other programs' windows may have come to the front meanwhile.
void RefocusKeyTarget() {
    if (!g_keyTarget || GetWindowThreadProcessId(g_keyTarget, nullptr) != GetCurrentThreadId()) return;
    if (GetForegroundWindow() != g_keyTarget) SetForegroundWindow(g_keyTarget);
    if (GetFocus() != g_keyFocus) SetFocus(g_keyFocus);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const UINT m = msg.message;
        if ((m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_KEYUP || m == WM_SYSKEYUP) && g_keyTarget &&
            (msg.hwnd == g_keyTarget || GetParent(msg.hwnd) == g_keyTarget))
            g_seenKeys.push_back({msg.wParam, m == WM_KEYUP || m == WM_SYSKEYUP});
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = kDeadlineMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start > deadlineMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

struct Stroke {
    WORD vk;
    bool up;
};
using Script = std::vector<Stroke>;

Script Down(WORD vk) { return {{vk, false}}; }
Script Up(WORD vk) { return {{vk, true}}; }
Script Tap(WORD vk) { return {{vk, false}, {vk, true}}; }
Script operator+(Script a, const Script& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// The action key held around two taps: the usual way a sequence is typed.
Script Held(WORD mod, WORD k1, WORD k2) { return Down(mod) + Tap(k1) + Tap(k2) + Up(mod); }

INPUT MakeInput(const Stroke& s) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = s.vk;
    in.ki.dwFlags = s.up ? KEYEVENTF_KEYUP : 0;
    if (s.vk == VK_RMENU || s.vk == VK_RCONTROL) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return in;
}

// Batched scripts arrive back to back, which is harder on ordering than human typing.
void Type(const Script& script, bool batched = false) {
    RefocusKeyTarget();
    if (batched) {
        std::vector<INPUT> in;
        for (const Stroke& s : script) in.push_back(MakeInput(s));
        SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
        return;
    }
    for (const Stroke& s : script) {
        INPUT in = MakeInput(s);
        SendInput(1, &in, sizeof in);
        Pump();
    }
}

struct Received {
    ULONG_PTR kind;
    DWORD cb;
    char b0, b1, b2;
    bool operator==(const Received& o) const {
        return kind == o.kind && cb == o.cb && b0 == o.b0 && b1 == o.b1 && b2 == o.b2;
    }
};
Received N(ULONG_PTR kind, char b0, char b1, char b2) { return {kind, 3, b0, b1, b2}; }
std::ostream& operator<<(std::ostream& os, const Received& r) {
    auto ch = [](char c) { return c ? std::string(1, c) : std::string("\\0"); };
    return os << "{" << r.kind << " cb" << r.cb << " " << ch(r.b0) << ch(r.b1) << ch(r.b2) << "}";
}

// Where the library sends its WM_COPYDATA.
class Receiver {
public:
    std::vector<Received> got;
    std::function<void()> onCopyData;  // runs inside the send, after recording
    HWND hwnd = nullptr;

    Receiver() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HookTestReceiver";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { DestroyWindow(hwnd); }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (m == WM_COPYDATA && self) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            const char* p = static_cast<const char*>(cds->lpData);
            self->got.push_back({cds->dwData, cds->cbData, p[0], p[1], p[2]});
            if (self->onCopyData) self->onCopyData();
            return TRUE;
        }
        return DefWindowProcW(h, m, w, l);
    }
};

// The foreground program: an edit control in a window with a menu bar. Created once per process
// and never destroyed: without a window manager, Wine waits two seconds to unmap a window.
class KeyWindow {
public:
    using Key = SeenKey;
    std::vector<Key>& keys = g_seenKeys;
    int menuActivations = 0;
    HWND hwnd = nullptr;
    HWND edit = nullptr;

    // Brings it to the front with the focus on the frame or on the edit control, and forgets
    // what it saw so far.
    static KeyWindow& Front(bool focusEdit = false) {
        static KeyWindow* window = new KeyWindow;
        KeyWindow& w = *window;
        g_keyFocus = focusEdit ? w.edit : w.hwnd;
        SetForegroundWindow(w.hwnd);
        SetFocus(g_keyFocus);
        SetWindowTextW(w.edit, L"");
        PumpFor(50);
        w.keys.clear();
        w.menuActivations = 0;
        return w;
    }

    bool Saw(WORD vk, bool up) const {
        for (const Key& k : keys)
            if (k.vk == vk && k.up == up) return true;
        return false;
    }
    // Keys other than modifiers and the library's mask key, in arrival order.
    std::vector<Key> Ordinary() const {
        std::vector<Key> r;
        for (const Key& k : keys)
            if (k.vk != VK_MENU && k.vk != VK_CONTROL && k.vk != VK_SHIFT && k.vk != VK_LWIN &&
                k.vk != tarnquil::kVkMask && k.vk != kSentinel)
                r.push_back(k);
        return r;
    }
    std::wstring Text() const {
        wchar_t buf[256] = {};
        GetWindowTextW(edit, buf, 255);
        return buf;
    }

private:
    KeyWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HookTestKeys";
        RegisterClassW(&wc);
        HMENU menu = CreateMenu();
        AppendMenuW(menu, MF_STRING, 1, L"&File");
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                               400, 300, nullptr, menu, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 30, hwnd, nullptr,
                               wc.hInstance, nullptr);
        g_keyTarget = hwnd;
    }

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<KeyWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self && m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_KEYMENU && l == 0) {
            ++self->menuActivations;
            return 0;  // never enter a real menu loop inside a test
        }
        return DefWindowProcW(h, m, w, l);
    }
};

std::vector<KeyWindow::Key> K(const std::string& taps) {
    std::vector<KeyWindow::Key> r;
    for (char c : taps) {
        r.push_back({static_cast<WPARAM>(c), false});
        r.push_back({static_cast<WPARAM>(c), true});
    }
    return r;
}

std::ostream& operator<<(std::ostream& os, const KeyWindow::Key& k) {
    return os << std::hex << k.vk << std::dec << (k.up ? "^" : "v");
}

TarnquilcoreStats Stats(const CTarnquilcore& hook) {
    TarnquilcoreStats s = {};
    CTarnquilcoreDiag::GetStats(hook, &s);
    return s;
}

class HookTest : public ::testing::Test {
protected:
    Receiver rx;
    KeyWindow* win = nullptr;
    CTarnquilcore hook;

    void SetUp() override {
        win = &KeyWindow::Front();
        ASSERT_EQ(1, hook.StartHook(rx.hwnd));
    }

    // Types the script, then waits until the window has every key and the sender is idle.
    void Run(const Script& script, bool batched = false) {
        win->keys.clear();
        Type(script + Tap(kSentinel), batched);
        ASSERT_TRUE(PumpUntil([&] { return win->Saw(kSentinel, true); })) << "keys never arrived";
        ASSERT_TRUE(PumpUntil([&] {
            const TarnquilcoreStats s = Stats(hook);
            return s.nNoticesSent + s.nSendFailures == s.nNoticesQueued;
        }));
        Pump();
    }
};

TEST_F(HookTest, SequencesAreReportedAndSwallowed) {
    struct Case {
        int type;
        WORD mod, k1, k2;
        char action;  // 0: no sequence, the keys reach the window
    };
    const Case cases[] = {
        {0, VK_MENU, '3', '2', '1'},     {0, VK_LMENU, 'Q', '1', '1'},   {0, VK_RMENU, '0', '0', '1'},
        {1, VK_CONTROL, '5', '4', '2'},  {1, VK_RCONTROL, 'Z', '9', '2'}, {2, VK_MENU, '1', '1', '1'},
        {2, VK_LCONTROL, 'A', '0', '2'}, {7, VK_MENU, '9', '8', '1'},     {-1, VK_CONTROL, '1', '2', 0},
        {0, VK_CONTROL, '1', '2', 0},    {1, VK_MENU, '1', '2', 0},       {0, VK_LSHIFT, '1', '2', 0},
    };
    for (bool batched : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "type " << c.type << " mod " << std::hex << c.mod << " "
                                            << char(c.k1) << char(c.k2) << (batched ? " batched" : ""));
            hook.setExecuteType(c.type);
            rx.got.clear();
            Run(Held(c.mod, c.k1, c.k2), batched);
            if (!c.action) {
                EXPECT_TRUE(rx.got.empty());
                EXPECT_EQ(K(std::string{char(c.k1), char(c.k2)}), win->Ordinary());
                continue;
            }
            const std::vector<Received> want = {N(1, char(c.k1), 0, c.action), N(2, char(c.k1), char(c.k2), c.action)};
            EXPECT_EQ(want, rx.got);
            EXPECT_TRUE(win->Ordinary().empty()) << "the window saw a key of the sequence";
            EXPECT_TRUE(win->Saw(c.action == '1' ? VK_MENU : VK_CONTROL, true))
                << "the action key's release must pass";
            EXPECT_EQ(0, win->menuActivations);
        }
    }
}

TEST_F(HookTest, AltAloneStillOpensTheMenuAndChordsStayTheUsers) {
    hook.setExecuteType(2);
    Run(Tap(VK_MENU));
    EXPECT_EQ(1, win->menuActivations) << "Alt pressed alone is the user's";
    // Ctrl+Alt is AltGr on many layouts; Win+digit belongs to the shell.
    Run(Down(VK_CONTROL) + Held(VK_MENU, '1', '2') + Up(VK_CONTROL) +
        Down(VK_LWIN) + Held(VK_MENU, '3', '4') + Up(VK_LWIN));
    EXPECT_TRUE(rx.got.empty());
    EXPECT_EQ(K("1234"), win->Ordinary());
}

TEST_F(HookTest, FirstKeysThatDoNotBecomeSequences) {
    struct Case {
        const char* name;
        int type;
        Script keys;
        std::vector<Received> notices;
        std::string windowSees;  // ordinary keys, each a tap
    };
    const Case cases[] = {
        {"Ctrl+C is handed back", 1, Down(VK_CONTROL) + Tap('C') + Up(VK_CONTROL), {N(1, 'C', 0, '2')}, "C"},
        {"Ctrl+C, Ctrl+V", 1, Down(VK_CONTROL) + Tap('C') + Tap('V') + Up(VK_CONTROL),
         {N(1, 'C', 0, '2'), N(1, 'V', 0, '2')}, "CV"},
        {"Alt+F reaches the menu", 0, Down(VK_MENU) + Tap('F') + Up(VK_MENU), {N(1, 'F', 0, '1')}, "F"},
        {"a digit is ours", 0, Down(VK_MENU) + Tap('5') + Up(VK_MENU), {N(1, '5', 0, '1')}, ""},
        {"Esc cancels quietly", 0, Down(VK_MENU) + Tap('Q') + Tap(VK_ESCAPE) + Up(VK_MENU), {N(1, 'Q', 0, '1')}, ""},
        {"another key cancels", 0, Down(VK_MENU) + Tap('1') + Tap(VK_TAB) + Up(VK_MENU), {N(1, '1', 0, '1')}, "\t"},
        {"letter then letter", 2, Down(VK_MENU) + Tap('Q') + Tap('W') + Tap('2') + Up(VK_MENU),
         {N(1, 'Q', 0, '1'), N(1, 'W', 0, '1'), N(2, 'W', '2', '1')}, "Q"},
    };
    for (bool batched : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (batched ? " batched" : ""));
            hook.setExecuteType(c.type);
            rx.got.clear();
            Run(c.keys, batched);
            EXPECT_EQ(c.notices, rx.got);
            EXPECT_EQ(K(c.windowSees), win->Ordinary());
            EXPECT_EQ(0, win->menuActivations);
        }
    }
}

TEST_F(HookTest, TypedTextIsUnchangedAroundSequences) {
    win = &KeyWindow::Front(true);
    hook.setExecuteType(2);
    Run(Tap('A') + Tap('B') + Held(VK_MENU, '1', '2') + Tap('C') + Tap(VK_SPACE) +
        Held(VK_CONTROL, 'Q', '3') + Tap('D') + Tap('1'));
    EXPECT_EQ(L"abc d1", win->Text());
    const std::vector<Received> want = {N(1, '1', 0, '1'), N(2, '1', '2', '1'), N(1, 'Q', 0, '2'),
                                        N(2, 'Q', '3', '2')};
    EXPECT_EQ(want, rx.got);
}

TEST_F(HookTest, HalfSequenceTimesOut) {
    Type(Down(VK_MENU) + Tap('1'));
    PumpFor(tarnquil::KeySequencer::kSequenceTimeoutMs + 400);
    Run(Tap('2') + Tap('3') + Up(VK_MENU));
    const std::vector<Received> want = {N(1, '1', 0, '1'), N(1, '2', 0, '1'), N(2, '2', '3', '1')};
    EXPECT_EQ(want, rx.got);
    EXPECT_EQ(1, Stats(hook).nTimedOut);
}

TEST_F(HookTest, StartAndStopCycles) {
    EXPECT_EQ(1, hook.StartHook(rx.hwnd)) << "a second start only keeps running";
    Run(Held(VK_MENU, '2', '2'));
    EXPECT_EQ(2u, rx.got.size()) << "one hook, not two";
    for (int cycle = 0; cycle < 4; ++cycle) {
        SCOPED_TRACE(cycle);
        EXPECT_EQ(1, hook.StopHook());
        EXPECT_EQ(0, hook.StopHook());
        EXPECT_EQ(0, hook.RestoreHook());
        rx.got.clear();
        Run(Held(VK_MENU, '4', '5'));
        EXPECT_TRUE(rx.got.empty());
        EXPECT_EQ(K("45"), win->Ordinary());
        ASSERT_EQ(1, hook.StartHook(rx.hwnd));
        Run(Held(VK_MENU, '6', '7'));
        EXPECT_EQ((std::vector<Received>{N(1, '6', 0, '1'), N(2, '6', '7', '1')}), rx.got);
        EXPECT_TRUE(win->Ordinary().empty());
    }
}

TEST(HookLifetime, RefusesBadWindowsAndStopsWhenDestroyed) {
    Receiver rx;
    KeyWindow& win = KeyWindow::Front();
    auto hook = std::make_unique<CTarnquilcore>();
    EXPECT_EQ(0, hook->StopHook());
    EXPECT_EQ(0, hook->RestoreHook());
    hook->setExecuteType(1);
    EXPECT_EQ(0, hook->StartHook(nullptr));
    EXPECT_EQ(0, hook->StartHook(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234))));
    ASSERT_EQ(1, hook->StartHook(rx.hwnd));
    hook.reset();
    Type(Held(VK_CONTROL, '1', '2') + Tap(kSentinel));
    ASSERT_TRUE(PumpUntil([&] { return win.Saw(kSentinel, true); }));
    EXPECT_EQ(K("12"), win.Ordinary());
    EXPECT_TRUE(rx.got.empty());
}

TEST_F(HookTest, RestoreHookAfterTheSystemDroppedIt) {
    Type(Down(VK_MENU));
    ASSERT_TRUE(CTarnquilcoreDiag::SimulateDrop(hook));
    Run(Tap('1') + Tap('2') + Up(VK_MENU));  // unseen, including the Alt release
    EXPECT_TRUE(rx.got.empty());
    EXPECT_EQ(K("12"), win->Ordinary());
    EXPECT_EQ(1, hook.RestoreHook());
    ASSERT_TRUE(PumpUntil([&] { return Stats(hook).nReinstalls == 1; }));
    EXPECT_EQ(1, Stats(hook).nDropsDetected);
    Run(Tap('7'));
    EXPECT_EQ(K("7"), win->Ordinary()) << "the missed Alt release must not leave Alt held";
    Run(Held(VK_MENU, '8', '9'));
    EXPECT_EQ((std::vector<Received>{N(1, '8', 0, '1'), N(2, '8', '9', '1')}), rx.got);
}

TEST_F(HookTest, HealthCheckReinstallsAQuietlyDroppedHook) {
    CTarnquilcoreDiag::SetHealthInterval(hook, 100);
    PumpFor(300);
    ASSERT_TRUE(CTarnquilcoreDiag::SimulateDrop(hook));
    PumpFor(800);
    Run(Tap('X'));  // input the hook does not see
    ASSERT_TRUE(PumpUntil([&] { return Stats(hook).nReinstalls >= 1; }));
    Run(Held(VK_MENU, '1', '3'));
    EXPECT_EQ((std::vector<Received>{N(1, '1', 0, '1'), N(2, '1', '3', '1')}), rx.got);
}

// A receiver on its own thread that stays inside its first WM_COPYDATA until released.
struct SlowReceiver {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    HWND hwnd = nullptr;
    std::vector<Received> got;
    size_t expected = 0;

    explicit SlowReceiver(size_t expectedNotices) : expected(expectedNotices) {
        thread = CreateThread(nullptr, 0, Main, this, 0, nullptr);
        WaitForSingleObject(ready, kDeadlineMs);
    }
    ~SlowReceiver() {
        SetEvent(release);
        WaitForSingleObject(thread, 20000);
        for (HANDLE h : {release, entered, ready, thread}) CloseHandle(h);
    }
    static DWORD WINAPI Main(void* p) {
        auto& self = *static_cast<SlowReceiver*>(p);
        Receiver rx;
        rx.onCopyData = [&] {
            SetEvent(self.entered);
            WaitForSingleObject(self.release, 20000);
        };
        self.hwnd = rx.hwnd;
        SetEvent(self.ready);
        const DWORD start = GetTickCount();
        while ((WaitForSingleObject(self.release, 0) != WAIT_OBJECT_0 || rx.got.size() < self.expected) &&
               GetTickCount() - start < 20000) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
        self.got = rx.got;
        return 0;
    }
};

TEST_F(HookTest, SlowReceiverNeverHoldsUpTyping) {
    SlowReceiver slow(4);
    ASSERT_EQ(1, hook.StartHook(slow.hwnd));
    Type(Held(VK_MENU, '1', '2'));
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(slow.entered, 0) == WAIT_OBJECT_0; }));
    win->keys.clear();
    Type(Tap('A') + Held(VK_MENU, '3', '4') + Tap('B') + Tap(kSentinel));  // while the receiver is stuck
    ASSERT_TRUE(PumpUntil([&] { return win->Saw(kSentinel, true); }));
    EXPECT_EQ(K("AB"), win->Ordinary());
    EXPECT_NE(WAIT_OBJECT_0, WaitForSingleObject(slow.thread, 0)) << "the receiver is still stuck";
    SetEvent(slow.release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(slow.thread, 20000));
    const std::vector<Received> want = {N(1, '1', 0, '1'), N(2, '1', '2', '1'), N(1, '3', 0, '1'),
                                        N(2, '3', '4', '1')};
    EXPECT_EQ(want, slow.got);
}

TEST_F(HookTest, StopHookFromInsideTheNotice) {
    int stopped = -1;
    rx.onCopyData = [&] {
        if (stopped < 0) stopped = hook.StopHook();
    };
    Type(Down(VK_MENU) + Tap('1'));
    ASSERT_TRUE(PumpUntil([&] { return stopped >= 0; }));
    EXPECT_EQ(1, stopped);
    Run(Tap('2') + Up(VK_MENU));
    EXPECT_EQ(K("2"), win->Ordinary()) << "stopped: keys pass again";
}

TEST_F(HookTest, StopHookWhileANoticeIsOnItsWay) {
    // Typed from another thread while this one does not pump: the sender ends up waiting for us.
    HANDLE typist = CreateThread(nullptr, 0, [](void*) -> DWORD WINAPI {
        Type(Down(VK_MENU) + Tap('1'), true);
        return 0;
    }, nullptr, 0, nullptr);
    WaitForSingleObject(typist, kDeadlineMs);
    CloseHandle(typist);
    const DWORD start = GetTickCount();
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount() - start < kDeadlineMs)
        Sleep(5);
    ASSERT_TRUE(rx.got.empty());
    ASSERT_EQ(1, hook.StopHook());
    EXPECT_EQ((std::vector<Received>{N(1, '1', 0, '1')}), rx.got) << "delivered, not dropped or deadlocked";
    Type(Up(VK_MENU));
}

// ---- the sequencer on its own ---------------------------------------------------------------

using tarnquil::Decision;
using tarnquil::KeyEvent;
using tarnquil::KeySequencer;
using tarnquil::KeyStroke;

struct Feed {
    KeySequencer seq;
    int system = -1;  // what the probe reports; -1: whatever the sequencer tracked
    uint32_t now = 1000;

    Decision Key(uint16_t vk, bool up, bool own = false) {
        KeyEvent e;
        e.key.vk = vk;
        e.key.up = up;
        e.time = now += 10;
        e.own = own;
        return seq.OnKey(e, 2, [](void* p) {
            const Feed& f = *static_cast<Feed*>(p);
            return f.system < 0 ? f.seq.Modifiers() : static_cast<uint8_t>(f.system);
        }, this);
    }
    std::vector<KeyStroke> Take() {
        KeyStroke out[KeySequencer::kMaxOwed];
        const int n = seq.TakeInjection(out, KeySequencer::kMaxOwed, now);
        return std::vector<KeyStroke>(out, out + n);
    }
};

std::string Strokes(const std::vector<KeyStroke>& v) {
    std::string r;
    for (const KeyStroke& k : v) r += std::to_string(k.vk) + (k.up ? "^ " : "v ");
    return r;
}

TEST(KeySequencer, AutoRepeatAndLostKeyUps) {
    Feed f;
    f.Key(tarnquil::kVkLControl, false);
    EXPECT_EQ(1, f.Key('4', false).notice.kind);
    const Decision repeat = f.Key('4', false);
    EXPECT_TRUE(repeat.eat);
    EXPECT_EQ(0, repeat.notice.kind) << "a repeat is not a second key";
    EXPECT_TRUE(f.Key('4', true).eat);
    EXPECT_EQ(2, f.Key('5', false).notice.kind);
    // the key-up of 5 never arrives
    f.Key(tarnquil::kVkLControl, true);
    EXPECT_FALSE(f.Key('X', false).eat);
    EXPECT_FALSE(f.Key('X', true).eat);
    EXPECT_FALSE(f.Key('5', false).eat) << "a stale key-up mark must not eat a new press";
}

TEST(KeySequencer, OwnStrokesAreNeverOvertaken) {
    Feed f;
    f.Key(tarnquil::kVkLMenu, false);
    const Decision first = f.Key('1', false);
    EXPECT_TRUE(first.inject) << "the mask key is owed";
    EXPECT_TRUE(f.Key('1', true).eat);
    // Alt is released before the mask key went out: it must wait behind it.
    const Decision altUp = f.Key(tarnquil::kVkLMenu, true);
    EXPECT_TRUE(altUp.eat);
    const std::vector<KeyStroke> batch = f.Take();
    EXPECT_EQ("232v 232^ 164^ ", Strokes(batch));
    // a key typed while those are on their way is held back as well, even when it was
    // stamped before the injection took place
    f.now -= 100;
    const Decision b = f.Key('B', false);
    EXPECT_TRUE(b.eat);
    EXPECT_TRUE(b.inject);
    for (const KeyStroke& k : batch) EXPECT_FALSE(f.Key(k.vk, k.up, true).eat);
    EXPECT_EQ("66v ", Strokes(f.Take()));
    EXPECT_FALSE(f.Key('B', false, true).eat);
    EXPECT_FALSE(f.Key('B', true).eat) << "nothing of ours is pending any more";
}

TEST(KeySequencer, TheNextSequenceMayStartBehindHeldBackStrokes) {
    Feed f;
    f.Key(tarnquil::kVkLMenu, false);
    f.Key('3', false);
    f.Key('3', true);
    EXPECT_EQ(2, f.Key('2', false).notice.kind);
    f.Key('2', true);
    EXPECT_TRUE(f.Key(tarnquil::kVkLMenu, true).eat);   // behind the mask key
    EXPECT_TRUE(f.Key(tarnquil::kVkLMenu, false).eat);  // and the next hold behind that
    const std::vector<KeyStroke> batch = f.Take();
    EXPECT_EQ("232v 232^ 164^ 164v ", Strokes(batch));
    for (size_t i = 0; i < 3; ++i) f.Key(batch[i].vk, batch[i].up, true);
    // the replayed Alt release must not undo the newer press
    const Decision first = f.Key('4', false);
    EXPECT_TRUE(first.eat);
    EXPECT_EQ(1, first.notice.kind);
}

TEST(KeySequencer, FailedOrLostInjectionsReleaseTheHold) {
    Feed f;
    f.Key(tarnquil::kVkLMenu, false);
    f.Key('1', false);
    EXPECT_EQ(2u, f.Take().size());
    f.seq.InjectionFailed(2);
    EXPECT_FALSE(f.Key(VK_TAB, false).eat);
    f.Key(VK_TAB, true);
    f.Key(tarnquil::kVkLMenu, true);
    f.Key(tarnquil::kVkLMenu, false);
    f.Key('2', false);
    EXPECT_EQ(2u, f.Take().size());  // and they never come back
    f.now += KeySequencer::kInFlightTimeoutMs + 1;
    f.Key('2', true);
    EXPECT_FALSE(f.Key(VK_TAB, false).eat);
}

TEST(KeySequencer, FullOwedListLetsKeysThrough) {
    Feed f;
    f.Key(tarnquil::kVkLMenu, false);
    f.Key('1', false);  // owes the mask key, never taken
    int eaten = 0, passed = 0;
    for (int i = 0; i < 40; ++i) (f.Key(VK_F1 + (i % 2) * 0, i % 2 != 0).eat ? eaten : passed)++;
    EXPECT_EQ(KeySequencer::kMaxOwed - 2, eaten);
    EXPECT_EQ(40 - eaten, passed);
}

TEST(KeySequencer, SystemKeyStateOverridesOnlyStaleModifiers) {
    struct Case {
        const char* name;
        uint32_t heldFor;   // ms between the modifier's press and the digit
        bool ownPending;    // a stroke of ours is still on its way
        bool eaten;
    };
    const Case cases[] = {
        {"a release lost long ago", 5000, false, false},
        {"pressed a moment ago", 50, false, true},
        {"behind our own strokes", 5000, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Feed f;
        f.Key(tarnquil::kVkLMenu, false);
        f.now += c.heldFor;
        if (c.ownPending) {
            f.Key('1', false);  // owes the mask key
            f.Key('1', true);
            f.Key(VK_ESCAPE, false);
            f.Key(VK_ESCAPE, true);
            f.Take();
        }
        f.system = 0;  // the system believes no modifier is down
        EXPECT_EQ(c.eaten, f.Key('2', false).eat);
    }
}

TEST(KeySequencer, RearmKeepsAFreshHalfSequence) {
    Feed f;
    f.Key(tarnquil::kVkLControl, false);
    f.Key('1', false);
    f.seq.Rearm(f.seq.Modifiers(), f.now + 100);
    EXPECT_TRUE(f.seq.InSequence());
    f.seq.Rearm(f.seq.Modifiers(), f.now + KeySequencer::kSequenceTimeoutMs + 100);
    EXPECT_FALSE(f.seq.InSequence());
    EXPECT_EQ(1u, f.seq.TimedOut());
    f.seq.Rearm(0, f.now);  // Ctrl's release was never seen
    EXPECT_EQ(0, f.seq.Modifiers());
    EXPECT_FALSE(f.Key('2', false).eat);
}

}  // namespace

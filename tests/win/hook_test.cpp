// Tarnquilcore.dll under Wine: keys typed with SendInput into a window of this process reach the
// library's low-level hook exactly as real typing does. The sequencer is also driven directly,
// for the cases that real typing cannot produce on demand.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hook/KeySequencer.h"
#include "hook/Tarnquilcore.h"

namespace {

constexpr DWORD kDeadlineMs = 5000;
constexpr WORD kSentinel = VK_F13;  // ends every typed script; no sequence uses it

// The foreground program: an edit control in a window with a menu bar. Made once and never
// destroyed: without a window manager, Wine waits two seconds to unmap a window.
struct {
    HWND hwnd = nullptr, edit = nullptr, focus = nullptr;
    // its key messages other than modifiers and the library's mask key: the key code, then 'v'
    // for down or '^' for up
    std::string keys;
    bool sentinelSeen = false;
    int menuActivations = 0;
} g_win;

// Adds a key to a record of keys as the tests compare them: modifiers and the library's mask key
// left out, the sentinel's release noted apart.
void Record(WPARAM vk, bool up, std::string& keys, bool& sentinelSeen) {
    switch (vk) {
    case kSentinel: sentinelSeen |= up; break;
    case VK_MENU: case VK_LMENU: case VK_RMENU: case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: case VK_LWIN: case tarnquil::kVkMask: break;
    default: keys += {static_cast<char>(vk), up ? '^' : 'v'};
    }
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const UINT m = msg.message;
        if ((m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_KEYUP || m == WM_SYSKEYUP) && g_win.hwnd &&
            (msg.hwnd == g_win.hwnd || GetParent(msg.hwnd) == g_win.hwnd))
            Record(msg.wParam, m == WM_KEYUP || m == WM_SYSKEYUP, g_win.keys, g_win.sentinelSeen);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = kDeadlineMs) {
    for (const DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start > deadlineMs) return false;
    }
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

// What the window sees of these keys tapped one after another.
std::string K(const std::string& taps) {
    std::string r;
    for (char c : taps) r += {c, 'v', c, '^'};
    return r;
}

LRESULT CALLBACK KeyWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_SYSCOMMAND && (w & 0xFFF0) == SC_KEYMENU && l == 0) {
        ++g_win.menuActivations;
        return 0;  // never enter a real menu loop inside a test
    }
    return DefWindowProcW(h, m, w, l);
}

HWND MakeWindow(const wchar_t* cls, WNDPROC proc, DWORD style, HWND parent, HMENU menu = nullptr) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = cls;
    RegisterClassW(&wc);
    return CreateWindowExW(0, cls, L"", style, 50, 50, 400, 300, parent, menu, wc.hInstance, nullptr);
}

// Brings the key window to the front with the focus on the frame or the edit control.
void Front(bool focusEdit = false) {
    if (!g_win.hwnd) {
        HMENU menu = CreateMenu();
        AppendMenuW(menu, MF_STRING, 1, L"&File");
        g_win.hwnd = MakeWindow(L"HookTestKeys", KeyWindowProc, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, menu);
        g_win.edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 30, g_win.hwnd, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    }
    g_win.focus = focusEdit ? g_win.edit : g_win.hwnd;
    SetForegroundWindow(g_win.hwnd);
    SetFocus(g_win.focus);
    SetWindowTextW(g_win.edit, L"");
    PumpFor(50);
}

using Script = std::vector<INPUT>;
Script operator+(Script a, const Script& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Script Key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_RMENU || vk == VK_RCONTROL ? KEYEVENTF_EXTENDEDKEY : 0);
    return {in};
}
Script Down(WORD vk) { return Key(vk, false); }
Script Up(WORD vk) { return Key(vk, true); }
Script Tap(WORD vk) { return Down(vk) + Up(vk); }
// The action key held around two taps: the usual way a sequence is typed.
Script Held(WORD mod, WORD k1, WORD k2) { return Down(mod) + Tap(k1) + Tap(k2) + Up(mod); }

// What typing met since the last TypeAll: SendInput's answers, and how often another window had
// the foreground when a script began.
struct {
    UINT given = 0, inserted = 0;
    DWORD error = 0;  // the last error of a call that inserted fewer
    int foregroundRetaken = 0;
} g_typing;

std::string Describe(HWND h) {
    if (!h) return "none";
    wchar_t cls[64] = {}, title[64] = {};
    GetClassNameW(h, cls, 64);
    GetWindowTextW(h, title, 64);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char text[256];
    snprintf(text, sizeof text, "%p (%ls \"%ls\", process %lu%s)", static_cast<void*>(h), cls, title, pid,
             pid == GetCurrentProcessId() ? ", ours" : "");
    return text;
}

// Where typed keys go now, for a failure's message: keys that never arrived were typed into
// whatever window had the foreground, not necessarily ours.
std::string WhereKeysGo() {
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(0, &gui);  // the foreground thread's
    return "foreground " + Describe(GetForegroundWindow()) + ", its focus " + Describe(gui.hwndFocus) +
           ", capture " + Describe(gui.hwndCapture) + ", menu mode " + ((gui.flags & GUI_INMENUMODE) ? "on" : "off") +
           "; the test's window " + Describe(g_win.hwnd) + ", focus wanted on " + Describe(g_win.focus) +
           "; the foreground taken back " + std::to_string(g_typing.foregroundRetaken) + " times; SendInput inserted " +
           std::to_string(g_typing.inserted) + " of " + std::to_string(g_typing.given) + " events (error " +
           std::to_string(g_typing.error) + ")";
}

void Send(Script& script, UINT count, UINT first) {
    const UINT inserted = SendInput(count, script.data() + first, sizeof(INPUT));
    g_typing.given += count;
    g_typing.inserted += inserted;
    if (inserted < count) g_typing.error = GetLastError();
}

// Batched scripts arrive back to back, which is harder on ordering than human typing.
void Type(Script script, bool batched = false) {
    if (GetWindowThreadProcessId(g_win.hwnd, nullptr) == GetCurrentThreadId()) {
        // other programs' windows may have come to the front meanwhile
        if (GetForegroundWindow() != g_win.hwnd) {
            ++g_typing.foregroundRetaken;
            SetForegroundWindow(g_win.hwnd);
        }
        if (GetFocus() != g_win.focus) SetFocus(g_win.focus);
    }
    if (batched) {
        Send(script, static_cast<UINT>(script.size()), 0);
        return;
    }
    for (UINT i = 0; i < script.size(); ++i) {
        Send(script, 1, i);
        Pump();
    }
}

// Types the script and a sentinel, and waits for the sentinel; the window's record then holds
// this script's keys only.
void TypeAll(const Script& script, bool batched = false) {
    g_win.keys.clear();
    g_win.sentinelSeen = false;
    g_win.menuActivations = 0;
    g_typing = {};
    Type(script + Tap(kSentinel), batched);
    ASSERT_TRUE(PumpUntil([] { return g_win.sentinelSeen; })) << "keys never arrived; " << WhereKeysGo();
}

// A notice as "<dwData><first key><second key or -><action key>", e.g. "2Q31".
std::string NoticeText(const COPYDATASTRUCT& cds) {
    if (cds.cbData != 3) return "cb" + std::to_string(cds.cbData);
    std::string r = std::to_string(cds.dwData);
    for (const char* p = static_cast<const char*>(cds.lpData); p != static_cast<const char*>(cds.lpData) + 3; ++p)
        r += *p ? *p : '-';
    return r;
}
using Notices = std::vector<std::string>;

// Where the library sends its WM_COPYDATA.
struct Receiver {
    Notices got;
    std::function<void()> onCopyData;  // runs inside the send, after recording
    HWND hwnd;

    Receiver() : hwnd(MakeWindow(L"HookTestReceiver", Proc, 0, HWND_MESSAGE)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { DestroyWindow(hwnd); }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (m != WM_COPYDATA || !self) return DefWindowProcW(h, m, w, l);
        self->got.push_back(NoticeText(*reinterpret_cast<const COPYDATASTRUCT*>(l)));
        if (self->onCopyData) self->onCopyData();
        return TRUE;
    }
};

// Keys that got past the library, whichever window has the foreground: a low-level hook of this
// thread's own, installed before the library's and so called after it, sees only the keys that the
// library hands on. It is called while this thread pumps.
class PassedKeys {
public:
    PassedKeys() : m_hook(SetWindowsHookExW(WH_KEYBOARD_LL, Proc, GetModuleHandleW(nullptr), 0)) { Clear(); }
    ~PassedKeys() {
        if (m_hook) UnhookWindowsHookEx(m_hook);
    }
    bool Installed() const { return m_hook != nullptr; }
    void Clear() {
        s_keys.clear();
        s_sentinelSeen = false;
    }
    const std::string& Keys() const { return s_keys; }
    bool SentinelSeen() const { return s_sentinelSeen; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
        if (code == HC_ACTION) {
            const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(l);
            Record(k->vkCode, (k->flags & LLKHF_UP) != 0, s_keys, s_sentinelSeen);
        }
        return CallNextHookEx(nullptr, code, w, l);
    }
    static std::string s_keys;
    static bool s_sentinelSeen;
    HHOOK m_hook;
};
std::string PassedKeys::s_keys;
bool PassedKeys::s_sentinelSeen = false;

TarnquilcoreStats Stats(const CTarnquilcore& hook) {
    TarnquilcoreStats s = {};
    CTarnquilcoreDiag::GetStats(hook, &s);
    return s;
}

class HookTest : public ::testing::Test {
protected:
    Receiver rx;
    CTarnquilcore hook;

    void SetUp() override {
        Front();
        ASSERT_EQ(1, hook.StartHook(rx.hwnd));
    }
    // Types the script, then waits until the window has every key and the sender is idle.
    void Run(const Script& script, bool batched = false) {
        TypeAll(script, batched);
        ASSERT_TRUE(PumpUntil([&] {
            const TarnquilcoreStats s = Stats(hook);
            return s.nNoticesSent + s.nSendFailures == s.nNoticesQueued;
        }));
        Pump();
    }
};

TEST_F(HookTest, SequencesAreSwallowedAndOtherKeysReachTheWindow) {
    struct Case {
        const char* name;
        int type;
        Script keys;
        Notices notices;
        std::string windowSees;  // ordinary keys
        int menuActivations;
    };
    const Case cases[] = {
        {"Alt", 0, Held(VK_MENU, '3', '2'), {"13-1", "2321"}, "", 0},
        {"left Alt", 0, Held(VK_LMENU, 'Q', '1'), {"1Q-1", "2Q11"}, "", 0},
        {"right Alt", 0, Held(VK_RMENU, '0', '0'), {"10-1", "2001"}, "", 0},
        {"Ctrl", 1, Held(VK_CONTROL, '5', '4'), {"15-2", "2542"}, "", 0},
        {"right Ctrl", 1, Held(VK_RCONTROL, 'Z', '9'), {"1Z-2", "2Z92"}, "", 0},
        {"either, Alt", 2, Held(VK_MENU, '1', '1'), {"11-1", "2111"}, "", 0},
        {"either, left Ctrl", 2, Held(VK_LCONTROL, 'A', '0'), {"1A-2", "2A02"}, "", 0},
        {"unknown type means Alt", 7, Held(VK_MENU, '9', '8'), {"19-1", "2981"}, "", 0},
        {"negative type means Alt", -1, Held(VK_CONTROL, '1', '2'), {}, K("12"), 0},
        {"Ctrl when Alt is the key", 0, Held(VK_CONTROL, '1', '2'), {}, K("12"), 0},
        {"Alt when Ctrl is the key", 1, Held(VK_MENU, '1', '2'), {}, K("12"), 0},
        {"Shift is no action key", 0, Held(VK_LSHIFT, '1', '2'), {}, K("12"), 0},
        {"Alt alone is the user's", 2, Tap(VK_MENU), {}, "", 1},
        // Ctrl+Alt is AltGr on many layouts; Win+digit belongs to the shell
        {"Ctrl+Alt", 2, Down(VK_CONTROL) + Held(VK_MENU, '1', '2') + Up(VK_CONTROL), {}, K("12"), 0},
        {"Win+Alt", 2, Down(VK_LWIN) + Held(VK_MENU, '3', '4') + Up(VK_LWIN), {}, K("34"), 0},
        {"Ctrl+C is handed back", 1, Down(VK_CONTROL) + Tap('C') + Up(VK_CONTROL), {"1C-2"}, K("C"), 0},
        {"Ctrl+C, Ctrl+V", 1, Down(VK_CONTROL) + Tap('C') + Tap('V') + Up(VK_CONTROL), {"1C-2", "1V-2"}, K("CV"), 0},
        {"Alt+F reaches the menu", 0, Down(VK_MENU) + Tap('F') + Up(VK_MENU), {"1F-1"}, K("F"), 0},
        {"a digit is ours", 0, Down(VK_MENU) + Tap('5') + Up(VK_MENU), {"15-1"}, "", 0},
        {"Esc cancels quietly", 0, Down(VK_MENU) + Tap('Q') + Tap(VK_ESCAPE) + Up(VK_MENU), {"1Q-1"}, "", 0},
        {"another key cancels", 0, Down(VK_MENU) + Tap('1') + Tap(VK_TAB) + Up(VK_MENU), {"11-1"}, K("\t"), 0},
        {"letter then letter", 2, Down(VK_MENU) + Tap('Q') + Tap('W') + Tap('2') + Up(VK_MENU),
         {"1Q-1", "1W-1", "2W21"}, K("Q"), 0},
    };
    for (bool batched : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (batched ? " batched" : ""));
            hook.setExecuteType(c.type);
            rx.got.clear();
            Run(c.keys, batched);
            EXPECT_EQ(c.notices, rx.got);
            EXPECT_EQ(c.windowSees, g_win.keys);
            EXPECT_EQ(c.menuActivations, g_win.menuActivations);
            EXPECT_FALSE(GetKeyState(VK_MENU) < 0 || GetKeyState(VK_CONTROL) < 0) << "a modifier's release was lost";
        }
    }
}

TEST_F(HookTest, TypedTextIsUnchangedAroundSequences) {
    Front(true);
    hook.setExecuteType(2);
    Run(Tap('A') + Tap('B') + Held(VK_MENU, '1', '2') + Tap('C') + Tap(VK_SPACE) + Held(VK_CONTROL, 'Q', '3') +
        Tap('D') + Tap('1'));
    wchar_t text[64] = {};
    GetWindowTextW(g_win.edit, text, 63);
    EXPECT_EQ(std::wstring(L"abc d1"), text);
    EXPECT_EQ(Notices({"11-1", "2121", "1Q-2", "2Q32"}), rx.got);
}

TEST_F(HookTest, HalfSequenceTimesOut) {
    Type(Down(VK_MENU) + Tap('1'));
    PumpFor(tarnquil::KeySequencer::kSequenceTimeoutMs + 400);
    Run(Tap('2') + Tap('3') + Up(VK_MENU));
    EXPECT_EQ(Notices({"11-1", "12-1", "2231"}), rx.got);
    EXPECT_EQ(1, Stats(hook).nTimedOut);
}

TEST_F(HookTest, StartStopAndDestroy) {
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
        EXPECT_EQ(K("45"), g_win.keys);
        ASSERT_EQ(1, hook.StartHook(rx.hwnd));
        Run(Held(VK_MENU, '6', '7'));
        EXPECT_EQ(Notices({"16-1", "2671"}), rx.got);
        EXPECT_EQ("", g_win.keys);
    }
    hook.StopHook();
    {
        CTarnquilcore other;
        other.setExecuteType(1);
        EXPECT_EQ(0, other.StartHook(nullptr));
        EXPECT_EQ(0, other.StartHook(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x1234))));
        ASSERT_EQ(1, other.StartHook(rx.hwnd));
    }
    rx.got.clear();
    TypeAll(Held(VK_CONTROL, '1', '2'));
    EXPECT_EQ(K("12"), g_win.keys) << "destroyed: keys pass again";
    EXPECT_TRUE(rx.got.empty());
}

TEST_F(HookTest, RestoreHookAfterTheSystemDroppedIt) {
    Type(Down(VK_MENU));
    ASSERT_TRUE(CTarnquilcoreDiag::SimulateDrop(hook));
    Run(Tap('1') + Tap('2') + Up(VK_MENU));  // unseen, including the Alt release
    EXPECT_TRUE(rx.got.empty());
    EXPECT_EQ(K("12"), g_win.keys);
    EXPECT_EQ(1, hook.RestoreHook());
    ASSERT_TRUE(PumpUntil([&] { return Stats(hook).nReinstalls == 1; }));
    EXPECT_EQ(1, Stats(hook).nDropsDetected);
    Run(Tap('7'));
    EXPECT_EQ(K("7"), g_win.keys) << "the missed Alt release must not leave Alt held";
    Run(Held(VK_MENU, '8', '9'));
    EXPECT_EQ(Notices({"18-1", "2891"}), rx.got);
}

TEST_F(HookTest, HealthCheckReinstallsAQuietlyDroppedHook) {
    CTarnquilcoreDiag::SetHealthInterval(hook, 100);
    PumpFor(300);
    ASSERT_TRUE(CTarnquilcoreDiag::SimulateDrop(hook));
    PumpFor(800);
    Run(Tap('X'));  // input the hook does not see
    ASSERT_TRUE(PumpUntil([&] { return Stats(hook).nReinstalls >= 1; }));
    Run(Held(VK_MENU, '1', '3'));
    EXPECT_EQ(Notices({"11-1", "2131"}), rx.got);
}

// A hook call served while the loop waits may leave strokes owed without waking it: they still go
// out within the loop's short nap, long before the next health check (two minutes here).
TEST_F(HookTest, HeldBackStrokesGoOutLongBeforeTheHealthCheck) {
    CTarnquilcoreDiag::SetHealthInterval(hook, 120000);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        // the mask key, Alt's release behind it and the "C" behind that; each waits kDeadlineMs
        ASSERT_NO_FATAL_FAILURE(Run(Held(VK_MENU, '1', '2') + Tap('C')));
        EXPECT_EQ(K("C"), g_win.keys);
    }
}

TEST_F(HookTest, SlowReceiverNeverHoldsUpTypingAndAFullQueueKeepsTheNewestWholeSequence) {
    // a receiver on a thread of its own that stays inside its first notice until released
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> slow{nullptr};
    std::atomic<bool> entered{false};
    Notices got;
    std::thread receiver([&] {
        Receiver r;
        r.onCopyData = [&] {
            entered = true;
            WaitForSingleObject(release, 20000);
        };
        slow = r.hwnd;
        PumpUntil([&] {
            const TarnquilcoreStats s = Stats(hook);
            return WaitForSingleObject(release, 0) == WAIT_OBJECT_0 &&
                   s.nNoticesSent + s.nSendFailures == s.nNoticesQueued;
        }, 20000);
        got = r.got;
    });
    // no ASSERT until the thread is joined
    EXPECT_TRUE(PumpUntil([&] { return slow.load() != nullptr; }));
    EXPECT_EQ(1, hook.StartHook(slow));
    Type(Held(VK_MENU, '1', '2'));
    EXPECT_TRUE(PumpUntil([&] { return entered.load(); }));
    TypeAll(Tap('A') + Held(VK_MENU, '3', '4') + Tap('B'));  // while the receiver is stuck
    EXPECT_EQ(K("AB"), g_win.keys);
    // More than the queue holds, then a whole sequence and a half one: the whole one is kept.
    Script burst;
    for (int i = 0; i < 40; ++i) burst = burst + Held(VK_MENU, '5', '6');
    TypeAll(burst + Held(VK_MENU, 'Q', '9') + Down(VK_MENU) + Tap('7') + Up(VK_MENU), true);
    EXPECT_GT(Stats(hook).nQueueOverflows, 0);
    SetEvent(release);
    receiver.join();
    CloseHandle(release);
    ASSERT_GE(got.size(), 5u);
    EXPECT_EQ(Notices({"11-1", "2121", "13-1", "2341"}), Notices(got.begin(), got.begin() + 4));
    EXPECT_EQ("2Q91", got.back());
}

TEST_F(HookTest, StopHookFromInsideTheNotice) {
    // what gets past the library is seen below it, not in whichever window has the foreground
    ASSERT_EQ(1, hook.StopHook());
    PassedKeys passed;
    ASSERT_TRUE(passed.Installed());
    ASSERT_EQ(1, hook.StartHook(rx.hwnd));
    int stopped = -1;
    rx.onCopyData = [&] {
        if (stopped < 0) stopped = hook.StopHook();
    };
    Type(Down(VK_MENU) + Tap('1'));
    ASSERT_TRUE(PumpUntil([&] { return stopped >= 0; }));
    EXPECT_EQ(1, stopped);
    // its release may pass, when the stop came before it
    EXPECT_EQ(std::string::npos, passed.Keys().find("1v")) << "the first key was the library's";
    passed.Clear();
    g_typing = {};
    Type(Tap('2') + Up(VK_MENU) + Tap(kSentinel));
    ASSERT_TRUE(PumpUntil([&] { return passed.SentinelSeen(); })) << "keys never got past; " << WhereKeysGo();
    EXPECT_EQ(K("2"), passed.Keys()) << "stopped: keys pass again";
}

TEST_F(HookTest, StopHookWhileANoticeIsOnItsWay) {
    // Typed from another thread while this one does not pump: the sender ends up waiting for us.
    std::thread([] { Type(Down(VK_MENU) + Tap('1'), true); }).join();
    const DWORD start = GetTickCount();
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount() - start < kDeadlineMs)
        Sleep(5);
    ASSERT_TRUE(rx.got.empty());
    ASSERT_EQ(1, hook.StopHook());
    EXPECT_EQ(Notices({"11-1"}), rx.got) << "delivered, not dropped or deadlocked";
    Type(Up(VK_MENU));
}

// ---- the sequencer on its own ---------------------------------------------------------------

using tarnquil::Decision;
using tarnquil::KeySequencer;
using tarnquil::KeyStroke;
using tarnquil::kVkLControl;
using tarnquil::kVkLMenu;

// Key events 10 ms apart, as the hook procedure would hand them over.
struct Feed {
    KeySequencer seq;
    int system = -1;  // what the system reports as held; -1: whatever the sequencer tracked
    uint32_t now = 1000;

    Decision Key(uint16_t vk, bool up, bool own = false) {
        tarnquil::KeyEvent e;
        e.key.vk = vk;
        e.key.up = up;
        e.time = now += 10;
        e.own = own;
        return seq.OnKey(e, 2, [](void* p) {
            const Feed& f = *static_cast<Feed*>(p);
            return f.system < 0 ? f.seq.Modifiers() : static_cast<uint8_t>(f.system);
        }, this);
    }
    void Keys(std::initializer_list<std::pair<uint16_t, bool>> keys) {
        for (const auto& k : keys) Key(k.first, k.second);
    }
    std::vector<KeyStroke> Take() {
        KeyStroke out[KeySequencer::kMaxOwed];
        return std::vector<KeyStroke>(out, out + seq.TakeInjection(out, KeySequencer::kMaxOwed, now));
    }
};

std::string Strokes(const std::vector<KeyStroke>& v) {
    std::string r;
    for (const KeyStroke& k : v) r += std::to_string(k.vk) + (k.up ? "^ " : "v ");
    return r;
}

TEST(KeySequencer, AutoRepeatAndLostKeyUps) {
    Feed f;
    f.Key(kVkLControl, false);
    EXPECT_EQ(1, f.Key('4', false).notice.kind);
    const Decision repeat = f.Key('4', false);
    EXPECT_TRUE(repeat.eat);
    EXPECT_EQ(0, repeat.notice.kind) << "a repeat is not a second key";
    EXPECT_TRUE(f.Key('4', true).eat);
    EXPECT_EQ(2, f.Key('5', false).notice.kind);
    f.Keys({{kVkLControl, true}, {'X', false}});  // the key-up of 5 never arrives
    EXPECT_FALSE(f.Key('X', true).eat);
    EXPECT_FALSE(f.Key('5', false).eat) << "a stale key-up mark must not eat a new press";
}

TEST(KeySequencer, OwnStrokesAreNeverOvertaken) {
    Feed f;
    f.Key(kVkLMenu, false);
    EXPECT_TRUE(f.Key('1', false).inject) << "the mask key is owed";
    EXPECT_TRUE(f.Key('1', true).eat);
    // Alt is released before the mask key went out: it must wait behind it.
    EXPECT_TRUE(f.Key(kVkLMenu, true).eat);
    const std::vector<KeyStroke> batch = f.Take();
    EXPECT_EQ("232v 232^ 164^ ", Strokes(batch));
    // a key typed while those are on their way is held back as well, even when it was stamped
    // before the injection took place
    f.now -= 100;
    const Decision b = f.Key('B', false);
    EXPECT_TRUE(b.eat && b.inject);
    for (const KeyStroke& k : batch) EXPECT_FALSE(f.Key(k.vk, k.up, true).eat);
    EXPECT_EQ("66v ", Strokes(f.Take()));
    EXPECT_FALSE(f.Key('B', false, true).eat);
    EXPECT_FALSE(f.Key('B', true).eat) << "nothing of ours is pending any more";
}

TEST(KeySequencer, TheNextSequenceMayStartBehindHeldBackStrokes) {
    Feed f;
    f.Keys({{kVkLMenu, false}, {'3', false}, {'3', true}});
    EXPECT_EQ(2, f.Key('2', false).notice.kind);
    f.Key('2', true);
    EXPECT_TRUE(f.Key(kVkLMenu, true).eat);   // behind the mask key
    EXPECT_TRUE(f.Key(kVkLMenu, false).eat);  // and the next hold behind that
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
    f.Keys({{kVkLMenu, false}, {'1', false}});
    EXPECT_EQ(2u, f.Take().size());
    f.seq.InjectionFailed(2);
    EXPECT_FALSE(f.Key(VK_TAB, false).eat);
    f.Keys({{VK_TAB, true}, {kVkLMenu, true}, {kVkLMenu, false}, {'2', false}});
    EXPECT_EQ(2u, f.Take().size());  // and they never come back
    f.now += KeySequencer::kInFlightTimeoutMs + 1;
    f.Key('2', true);
    EXPECT_FALSE(f.Key(VK_TAB, false).eat);
}

TEST(KeySequencer, FullOwedListLetsKeysThrough) {
    Feed f;
    f.Keys({{kVkLMenu, false}, {'1', false}});  // owes the mask key, never taken
    int eaten = 0;
    for (int i = 0; i < 40; ++i) eaten += f.Key(VK_F1, i % 2 != 0).eat;
    EXPECT_EQ(KeySequencer::kMaxOwed - 2, eaten);
}

TEST(KeySequencer, SystemKeyStateReleasesModifiersOnlyAfterAGapInTheKeyStream) {
    struct Case {
        const char* name;
        uint32_t heldFor;  // ms between the modifier's press and the digit
        bool typing;       // keys were typed every 300 ms meanwhile
        bool ownPending;   // a stroke of ours is still on its way
        bool eaten;
        bool released;     // Alt went up, but the system still reports it down
    };
    const Case cases[] = {
        {"a release lost long ago", 5000, false, false, false, false},
        {"pressed a moment ago", 50, false, false, true, false},
        {"held through a burst of keys", 5000, true, false, true, false},
        {"behind our own strokes", 5000, false, true, true, false},
        {"a release the system has not caught up with", 5000, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Feed f;
        f.Key(kVkLMenu, false);
        if (c.released) f.Key(kVkLMenu, true);
        for (uint32_t t = 0; t < c.heldFor; t += 300) {
            f.now += 300;
            if (c.typing) f.Keys({{VK_SHIFT, false}, {VK_SHIFT, true}});
        }
        if (c.ownPending) {
            f.Keys({{'1', false}, {'1', true}, {VK_ESCAPE, false}, {VK_ESCAPE, true}});  // owes the mask key
            f.Take();
        }
        f.system = c.released ? tarnquil::kModLAlt : 0;  // what the system believes is down
        f.seq.Rearm(static_cast<uint8_t>(f.system), f.now);  // as after a layout
        EXPECT_EQ(c.eaten, f.Key('2', false).eat);
    }
}

// A late program put the action key back down in the system's state after its release went by.
TEST(KeySequencer, AnActionKeyTheSystemPutBackDownIsReleasedBeforeTheNextKey) {
    struct Case {
        const char* name;
        uint16_t action;
        bool sequence;   // a sequence was typed with it
        uint32_t after;  // ms from the sequence's end to the next key
        int system;      // what the system reports then
        const char* injected;
    };
    const Case cases[] = {
        {"stale Alt", kVkLMenu, true, 2000, tarnquil::kModLAlt, "232v 232^ 164^ 88v "},
        {"stale Ctrl", kVkLControl, true, 2000, tarnquil::kModLCtrl, "162^ 88v "},
        {"the system agrees", kVkLMenu, true, 2000, 0, ""},
        {"long after the sequence", kVkLMenu, true, KeySequencer::kStaleModifierMs + 100, tarnquil::kModLAlt, ""},
        {"no sequence typed", kVkLMenu, false, 2000, tarnquil::kModLAlt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Feed f;
        f.Key(c.action, false);
        if (c.sequence) f.Keys({{'1', false}, {'1', true}, {'2', false}, {'2', true}});
        f.Key(c.action, true);
        const std::vector<KeyStroke> mask = f.Take();
        for (const KeyStroke& k : mask) f.Key(k.vk, k.up, true);
        f.now += c.after;
        f.system = c.system;
        const Decision x = f.Key('X', false);
        EXPECT_EQ(c.injected[0] != 0, x.eat);
        EXPECT_EQ(c.injected, Strokes(f.Take()));
        EXPECT_EQ(0, f.seq.Modifiers() & tarnquil::kModAlt);
    }
}

TEST(KeySequencer, RearmKeepsAFreshHalfSequence) {
    Feed f;
    f.Keys({{kVkLControl, false}, {'1', false}});
    f.seq.Rearm(f.seq.Modifiers(), f.now + 100);
    EXPECT_TRUE(f.seq.InSequence());
    f.seq.Rearm(f.seq.Modifiers(), f.now + KeySequencer::kSequenceTimeoutMs + 100);
    EXPECT_FALSE(f.seq.InSequence());
    EXPECT_EQ(1u, f.seq.TimedOut());
    f.seq.Rearm(0, f.now + 100);  // the system lags behind a key stream that goes on
    EXPECT_NE(0, f.seq.Modifiers());
    f.seq.Rearm(0, f.now + KeySequencer::kFreshModifierMs + 100);  // Ctrl's release was never seen
    EXPECT_EQ(0, f.seq.Modifiers());
    EXPECT_FALSE(f.Key('2', false).eat);
}

}  // namespace

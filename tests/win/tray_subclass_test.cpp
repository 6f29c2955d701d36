// Hook chains that share one window's procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/SubclassWnd.h"

namespace {

const UINT kProbe = WM_APP + 1;
const UINT kSwallowed = WM_APP + 2;
const UINT kThrow = WM_APP + 3;

// Who saw a message, in order: hooks by name, the window itself as "wnd".
std::vector<std::string> g_seen;

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kProbe || msg == kSwallowed || msg == kThrow || msg == WM_NCDESTROY) g_seen.push_back("wnd");
    if (msg == kProbe) return 7;
    return DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow() {
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SubclassTestWnd";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, L"SubclassTestWnd", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class Recorder : public CSubclassWnd {
public:
    explicit Recorder(std::string n) : name(std::move(n)) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kProbe || msg == kSwallowed || msg == kThrow || msg == WM_NCDESTROY) g_seen.push_back(name);
        if (msg == kSwallowed) return 99;  // not passed on
        if (msg == kThrow) throw std::runtime_error("hook failure");
        return CSubclassWnd::WindowProc(msg, wp, lp);
    }
    std::string name;
};

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)); }

std::vector<std::string> Probe(HWND h, LRESULT* result = nullptr) {
    g_seen.clear();
    LRESULT r = SendMessageW(h, kProbe, 0, 0);
    if (result) *result = r;
    return g_seen;
}

using Names = std::vector<std::string>;

TEST(SubclassWnd, ChainsRunNewestFirstAndSurviveAnyRemovalOrder) {
    struct Case {
        int hooks;
        std::vector<int> removeOrder;  // indexes into the hooks in installation order
    };
    const Case cases[] = {
        {1, {0}},       {2, {0, 1}},    {2, {1, 0}},    {3, {1, 0, 2}},
        {3, {0, 1, 2}}, {3, {2, 1, 0}}, {3, {1, 2, 0}}, {3, {0, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hooks << " hooks, first removed " << c.removeOrder[0]);
        HWND h = MakeWindow();
        ASSERT_TRUE(h);
        const WNDPROC own = ProcOf(h);
        std::vector<std::unique_ptr<Recorder>> hooks;
        for (int i = 0; i < c.hooks; ++i) {
            hooks.push_back(std::make_unique<Recorder>(std::string(1, static_cast<char>('A' + i))));
            EXPECT_TRUE(hooks.back()->HookWindow(h));
        }
        EXPECT_EQ(ProcOf(h), &CSubclassWnd::HookWndProc);

        std::vector<bool> live(c.hooks, true);
        for (size_t step = 0; step <= c.removeOrder.size(); ++step) {
            Names expected;
            for (int i = c.hooks - 1; i >= 0; --i)
                if (live[i]) expected.push_back(hooks[i]->name);
            expected.push_back("wnd");
            LRESULT r = 0;
            EXPECT_EQ(Probe(h, &r), expected) << "after " << step << " removals";
            EXPECT_EQ(r, 7) << "the window's own result comes back through the chain";
            if (step == c.removeOrder.size()) break;
            const int gone = c.removeOrder[step];
            hooks[gone]->HookWindow(nullptr);
            live[gone] = false;
            EXPECT_FALSE(hooks[gone]->IsHooked());
            EXPECT_EQ(hooks[gone]->m_pOldWndProc, nullptr);
        }
        EXPECT_EQ(ProcOf(h), own) << "the last removal puts the window's own procedure back";
        EXPECT_EQ(GetSubclassWndMap().Lookup(h), nullptr);
        DestroyWindow(h);
    }
}

TEST(SubclassWnd, DestroyingTheWindowUnhooksEveryHookBeforeItsOwnProcedureSeesTheEnd) {
    HWND h = MakeWindow();
    Recorder a("A"), b("B"), c("C");
    a.HookWindow(h);
    b.HookWindow(h);
    c.HookWindow(h);
    g_seen.clear();
    DestroyWindow(h);
    EXPECT_EQ(g_seen, Names({"wnd"})) << "WM_NCDESTROY goes straight to the window";
    for (Recorder* r : {&a, &b, &c}) {
        EXPECT_FALSE(r->IsHooked());
        EXPECT_EQ(r->m_pNext, nullptr);
    }
    EXPECT_EQ(GetSubclassWndMap().Lookup(h), nullptr);
    // the objects may be reused on another window
    HWND other = MakeWindow();
    a.HookWindow(other);
    EXPECT_EQ(Probe(other), Names({"A", "wnd"}));
    DestroyWindow(other);
}

TEST(SubclassWnd, AHookDestroyedWhileHookedLeavesTheOthersWorking) {
    HWND h = MakeWindow();
    const WNDPROC own = ProcOf(h);
    Recorder a("A");
    a.HookWindow(h);
    {
        Recorder b("B");
        b.HookWindow(h);
        EXPECT_EQ(Probe(h), Names({"B", "A", "wnd"}));
    }
    EXPECT_EQ(Probe(h), Names({"A", "wnd"}));
    {
        Recorder c("C");
        c.HookWindow(h);
        a.HookWindow(nullptr);
    }
    EXPECT_EQ(ProcOf(h), own);
    EXPECT_EQ(Probe(h), Names({"wnd"}));
    DestroyWindow(h);
}

TEST(SubclassWnd, HookingAgainMovesTheHookAndUnhookingTwiceIsHarmless) {
    HWND first = MakeWindow(), second = MakeWindow();
    const WNDPROC own = ProcOf(first);
    Recorder a("A"), b("B");
    a.HookWindow(first);
    b.HookWindow(first);
    a.HookWindow(second);  // leaves the first chain cleanly
    EXPECT_EQ(Probe(first), Names({"B", "wnd"}));
    EXPECT_EQ(Probe(second), Names({"A", "wnd"}));
    b.HookWindow(nullptr);
    b.HookWindow(nullptr);
    EXPECT_EQ(ProcOf(first), own);
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST(SubclassWnd, AHookMayKeepAMessageToItselfAndItsExceptionsStayInside) {
    HWND h = MakeWindow();
    Recorder a("A"), b("B");
    a.HookWindow(h);
    b.HookWindow(h);
    g_seen.clear();
    EXPECT_EQ(SendMessageW(h, kSwallowed, 0, 0), 99);
    EXPECT_EQ(g_seen, Names({"B"}));
    g_seen.clear();
    EXPECT_EQ(SendMessageW(h, kThrow, 0, 0), 0);
    EXPECT_EQ(g_seen, Names({"B"}));
    EXPECT_EQ(Probe(h), Names({"B", "A", "wnd"})) << "the window goes on working";
    DestroyWindow(h);
}

}  // namespace

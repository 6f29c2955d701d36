// Hook chains that share one window's procedure.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/SubclassWnd.h"
#include "tests/support/WinTestSupport.h"

namespace {

const UINT kProbe = WM_APP + 1, kSwallowed = WM_APP + 2, kThrow = WM_APP + 3;

using Names = std::vector<std::string>;
Names g_seen;  // who saw a watched message, in order: hooks by name, the window itself as "wnd"

bool Watched(UINT msg) { return (msg >= kProbe && msg <= kThrow) || msg == WM_NCDESTROY; }

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (Watched(msg)) g_seen.push_back("wnd");
    return msg == kProbe ? 7 : DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow() { return wts::MakeTestWindow(L"SubclassTestWnd", PlainProc); }

class Recorder : public CSubclassWnd {
public:
    explicit Recorder(std::string n) : name(std::move(n)) {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (Watched(msg)) g_seen.push_back(name);
        if (msg == kSwallowed) return 99;  // not passed on
        if (msg == kThrow) throw std::runtime_error("hook failure");
        return CSubclassWnd::WindowProc(msg, wp, lp);
    }
    std::string name;
};

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)); }

Names Send(HWND h, UINT msg, LRESULT expected) {
    g_seen.clear();
    EXPECT_EQ(SendMessageW(h, msg, 0, 0), expected);
    return g_seen;
}
Names Probe(HWND h) { return Send(h, kProbe, 7); }  // the window's own result comes back through the chain

TEST(SubclassWnd, ChainsRunNewestFirstAndSurviveAnyRemovalOrder) {
    // every order of removing three hooks: head, middle and tail, down to the last one
    std::vector<int> order = {0, 1, 2};
    do {
        SCOPED_TRACE(testing::Message() << "removed " << order[0] << order[1] << order[2]);
        HWND h = MakeWindow();
        ASSERT_TRUE(h);
        const WNDPROC own = ProcOf(h);
        Recorder a("A"), b("B"), c("C");
        Recorder* hooks[] = {&a, &b, &c};
        for (Recorder* r : hooks) r->HookWindow(h);
        EXPECT_EQ(ProcOf(h), &CSubclassWnd::HookWndProc);
        for (size_t step = 0; step <= order.size(); ++step) {
            Names expected;
            for (int i = 2; i >= 0; --i)
                if (hooks[i]->IsHooked()) expected.push_back(hooks[i]->name);
            expected.push_back("wnd");
            EXPECT_EQ(Probe(h), expected) << "after " << step << " removals";
            if (step == order.size()) break;
            Recorder& gone = *hooks[order[step]];
            gone.HookWindow(nullptr);
            EXPECT_EQ(gone.m_pOldWndProc, nullptr);
        }
        EXPECT_EQ(ProcOf(h), own) << "the last removal puts the window's own procedure back";
        EXPECT_EQ(GetSubclassWndMap().Lookup(h), nullptr);
        DestroyWindow(h);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(SubclassWnd, AHookMayKeepAMessageItsExceptionsStayInsideAndTheWindowsEndUnhooksAll) {
    HWND h = MakeWindow();
    Recorder a("A"), b("B"), c("C");
    for (Recorder* r : {&a, &b, &c}) r->HookWindow(h);
    EXPECT_EQ(Send(h, kSwallowed, 99), Names({"C"}));
    EXPECT_EQ(Send(h, kThrow, 0), Names({"C"}));
    EXPECT_EQ(Probe(h), Names({"C", "B", "A", "wnd"})) << "the window goes on working";

    g_seen.clear();
    DestroyWindow(h);
    EXPECT_EQ(g_seen, Names({"wnd"})) << "WM_NCDESTROY goes straight to the window";
    for (Recorder* r : {&a, &b, &c}) {
        EXPECT_FALSE(r->IsHooked());
        EXPECT_EQ(r->m_pNext, nullptr);
    }
    EXPECT_EQ(GetSubclassWndMap().Lookup(h), nullptr);
    HWND other = MakeWindow();
    a.HookWindow(other);
    EXPECT_EQ(Probe(other), Names({"A", "wnd"})) << "a hook may be reused on another window";
    DestroyWindow(other);
}

TEST(SubclassWnd, RehookingUnhookingTwiceOrDestroyingAHookLeavesTheOthersWorking) {
    HWND first = MakeWindow(), second = MakeWindow();
    const WNDPROC own = ProcOf(first);
    Recorder a("A"), b("B");
    a.HookWindow(first);
    {
        Recorder c("C");
        c.HookWindow(first);
        EXPECT_EQ(Probe(first), Names({"C", "A", "wnd"}));
    }
    EXPECT_EQ(Probe(first), Names({"A", "wnd"}));
    b.HookWindow(first);
    a.HookWindow(second);  // leaves the first chain cleanly
    EXPECT_EQ(Probe(first), Names({"B", "wnd"}));
    EXPECT_EQ(Probe(second), Names({"A", "wnd"}));
    b.HookWindow(nullptr);
    b.HookWindow(nullptr);
    EXPECT_EQ(ProcOf(first), own);
    {
        Recorder d("D");
        d.HookWindow(first);
    }
    EXPECT_EQ(ProcOf(first), own) << "a hook destroyed as the last one puts the procedure back";
    EXPECT_EQ(Probe(first), Names({"wnd"}));
    DestroyWindow(first);
    DestroyWindow(second);
}

}  // namespace

// The framework layer on the real platform: message maps, the modal loop, the exception barrier,
// wide formatting under msvcrt.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/AfxWin.h"

namespace {

constexpr UINT kTestDialog = 9001;
constexpr UINT kPressButton = 9002;
constexpr UINT WM_TEST_THROW = WM_APP + 1;
constexpr UINT WM_TEST_STD_THROW = WM_APP + 2;
UINT g_registered = RegisterWindowMessageW(L"TessoraFrameworkTest");

std::vector<std::wstring> g_boxes;
int RecordBox(const wchar_t* text, const wchar_t*, UINT) {
    g_boxes.push_back(text);
    return IDOK;
}

class BaseDialog : public CDialog {
public:
    BaseDialog() : CDialog(kTestDialog) {}
    std::vector<std::string> seen;

protected:
    LRESULT OnCreate(WPARAM, LPARAM) { seen.push_back("create"); return Default(); }
    void OnPress() { seen.push_back("base press"); }
    LRESULT OnRegistered(WPARAM wp, LPARAM) { seen.push_back("registered " + std::to_string(wp)); return 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseDialog, CDialog)
    ON_MESSAGE(WM_CREATE, &BaseDialog::OnCreate)
    ON_COMMAND(kPressButton, &BaseDialog::OnPress)
    ON_REGISTERED_MESSAGE(g_registered, &BaseDialog::OnRegistered)
END_MESSAGE_MAP()

class DerivedDialog : public BaseDialog {
public:
    BOOL OnInitDialog() override {
        BaseDialog::OnInitDialog();
        seen.push_back("init");
        return TRUE;
    }
    void OnOK() override { seen.push_back("ok"); EndDialog(IDOK); }

protected:
    void OnPress() { seen.push_back("derived press"); }
    LRESULT OnThrow(WPARAM, LPARAM) { AfxThrowInvalidArgException(); return 0; }
    LRESULT OnStdThrow(WPARAM, LPARAM) { throw std::runtime_error("boom"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedDialog, BaseDialog)
    ON_COMMAND(kPressButton, &DerivedDialog::OnPress)
    ON_MESSAGE(WM_TEST_THROW, &DerivedDialog::OnThrow)
    ON_MESSAGE(WM_TEST_STD_THROW, &DerivedDialog::OnStdThrow)
END_MESSAGE_MAP()

TEST(Framework, MessageMapsRouteMostDerivedFirstAndSeeCreation) {
    DerivedDialog dlg;
    ASSERT_TRUE(dlg.Create(kTestDialog));
    EXPECT_EQ(dlg.seen, (std::vector<std::string>{"create", "init"}));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(kPressButton, BN_CLICKED), 0);
    EXPECT_EQ(dlg.seen.back(), "derived press");
    EXPECT_EQ(dlg.SendMessage(g_registered, 3, 0), 7);
    EXPECT_EQ(dlg.seen.back(), "registered 3");
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
    HWND h = dlg.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(Framework, NoExceptionLeavesAWindowProcedure) {
    g_boxes.clear();
    AfxSetMessageBoxHook(RecordBox);
    DerivedDialog dlg;
    ASSERT_TRUE(dlg.Create(kTestDialog));
    EXPECT_EQ(dlg.SendMessage(WM_TEST_THROW), 0);
    ASSERT_EQ(g_boxes.size(), 1u);  // a framework exception is reported as the framework would
    EXPECT_EQ(g_boxes[0], L"Encountered an improper argument.");
    EXPECT_EQ(dlg.SendMessage(WM_TEST_STD_THROW), 0);  // anything else is swallowed
    EXPECT_EQ(g_boxes.size(), 1u);
    EXPECT_TRUE(IsWindow(dlg.m_hWnd));
    AfxSetMessageBoxHook(nullptr);
}

TEST(Framework, TheModalLoopEndsOnOkAndDestroysTheWindow) {
    DerivedDialog dlg;
    // press OK from inside the loop, as a user would
    struct Poster {
        static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND box = FindWindowW(L"#32770", L"Framework Test");
            if (box) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    };
    SetTimer(nullptr, 0, 100, Poster::Fire);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.seen.back(), "ok");
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(FindWindowW(L"#32770", L"Framework Test"), nullptr);
}

TEST(Framework, WideFormattingUnderTheWindowsRuntime) {
    CString s;
    s.Format(L"[M%d at %d(%dx%d) K%d]: %s + %s + %s", 2, 1, 1920, 1080, 1, L"Alt", L"B", L"3");
    EXPECT_EQ(s, L"[M2 at 1(1920x1080) K1]: Alt + B + 3");
    s.Format(L"%s|%c|%.6f|%ls", L"\u4e2d\u6587", L'Q', 0.25, L"w");
    EXPECT_EQ(s, L"\u4e2d\u6587|Q|0.250000|w");
    s.Format(L"%s", CString(L'y', 3000).GetString());
    EXPECT_EQ(s.GetLength(), 3000);
}

}  // namespace

// The notification-area icon against Wine's shell, and its menu, with the program's own
// resources (the shipped Tessora.exe as the resource module).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/StartError.h"
#include "engine/TrayIcon.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"

namespace {

const UINT kCallback = WM_USER + 100;
const UINT kTrayId = 134;
const UINT kIconId = 132;

struct Seen {
    std::vector<UINT> messages;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
};
Seen g_seen;

LRESULT CALLBACK OwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) g_seen.commands.push_back({wp, lp});
    if (msg == kCallback || (g_uTaskbarCreatedMsg && msg == g_uTaskbarCreatedMsg)) g_seen.messages.push_back(msg);
    return DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow(HWND parent = nullptr) {
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TrayTestWnd";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, L"TrayTestWnd", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Asks the shell whether it holds an icon for (window, id): a modify that changes nothing.
bool ShellHasIcon(HWND h, UINT id) {
    NOTIFYICONDATAW n = {};
    n.cbSize = sizeof(n);
    n.hWnd = h;
    n.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &n) != FALSE;
}

void ShellForgetsIcon(HWND h, UINT id) {  // as when the shell restarts
    NOTIFYICONDATAW n = {};
    n.cbSize = sizeof(n);
    n.hWnd = h;
    n.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &n);
}

// The shipped program's resources stand in for this test program's while the fixture lives.
class TrayTest : public testing::Test {
protected:
    void SetUp() override {
        g_seen = {};
        module = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        app.m_hInstance = module;
        owner = MakeWindow();
        ASSERT_TRUE(owner);
    }
    void TearDown() override {
        if (IsWindow(owner)) DestroyWindow(owner);
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    CWinApp app{L"Tessora"};
    HMODULE module = nullptr;
    HWND owner = nullptr;
};

TEST_F(TrayTest, IconIsAddedChangedAndRemovedAsTheShellAllows) {
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);
    struct Step {
        UINT id;
        BOOL result;
        bool shown;  // by the object and by the shell alike
    };
    const Step steps[] = {
        {0, TRUE, false},       // nothing to remove
        {kIconId, TRUE, true},  // added
        {kIconId, TRUE, true},  // changed (the Hide commands do this)
        {4242, TRUE, false},    // no such icon: removed
        {4242, TRUE, false},    // and nothing more to do
        {kIconId, TRUE, true},  // added again
        {0, TRUE, false},       // removed
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "SetIcon(" << s.id << ")");
        EXPECT_EQ(tray.SetIcon(s.id), s.result);
        EXPECT_EQ(tray.IsIconShown(), s.shown);
        EXPECT_EQ(ShellHasIcon(owner, kTrayId), s.shown);
    }
    // the program has no string 134 or 132, so no tooltip is ever announced
    EXPECT_EQ(tray.m_nid.szTip[0], L'\0');
    EXPECT_EQ(tray.m_nid.uFlags & NIF_TIP, 0u);
    EXPECT_EQ(tray.m_nid.cbSize, 956u);
}

TEST_F(TrayTest, ARefusedAddIsTriedAgainByTheNextCallOrTheNextShell) {
    ASSERT_NE(g_uTaskbarCreatedMsg, 0u);
    // someone holds the same (window, id), as a shell that is not ready would refuse us
    NOTIFYICONDATAW blocker = {};
    blocker.cbSize = sizeof(blocker);
    blocker.hWnd = owner;
    blocker.uID = kTrayId;
    blocker.uFlags = NIF_ICON;
    blocker.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    for (bool byShell : {false, true}) {
        SCOPED_TRACE(byShell ? "a new shell" : "the next SetIcon");
        ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &blocker));
        CTrayIcon tray(kTrayId);
        tray.SetNotificationWnd(owner, kCallback);
        EXPECT_FALSE(tray.SetIcon(kIconId));
        EXPECT_FALSE(tray.IsIconShown());
        ShellForgetsIcon(owner, kTrayId);
        // a program started at logon can come before the taskbar: the taskbar's arrival adds it
        if (byShell)
            SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
        else
            EXPECT_TRUE(tray.SetIcon(kIconId));
        EXPECT_TRUE(tray.IsIconShown());
        EXPECT_TRUE(ShellHasIcon(owner, kTrayId));
    }
}

TEST_F(TrayTest, TheIconComesBackWhenTheTaskbarIsCreatedAgain) {
    ASSERT_NE(g_uTaskbarCreatedMsg, 0u);
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);
    ASSERT_TRUE(tray.SetIcon(kIconId));
    ShellForgetsIcon(owner, kTrayId);
    ASSERT_FALSE(ShellHasIcon(owner, kTrayId));

    SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(ShellHasIcon(owner, kTrayId));
    EXPECT_TRUE(tray.IsIconShown());
    EXPECT_EQ(g_seen.messages, std::vector<UINT>({g_uTaskbarCreatedMsg})) << "the window still gets the message";

    // an icon that was removed on purpose stays removed
    tray.SetIcon(0);
    SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
    EXPECT_FALSE(ShellHasIcon(owner, kTrayId));
}

TEST_F(TrayTest, AChildNotificationWindowHearsOfTheTaskbarThroughItsTopWindow) {
    HWND child = MakeWindow(owner);
    ASSERT_TRUE(child);
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(child, kCallback);
    EXPECT_EQ(tray.m_notifyHook.m_hWnd, child);
    EXPECT_EQ(tray.m_parentHook.m_hWnd, owner);
    ASSERT_TRUE(tray.SetIcon(kIconId));
    ShellForgetsIcon(child, kTrayId);
    SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(ShellHasIcon(child, kTrayId));

    // moving the notifications to the top window drops the parent hook
    tray.SetNotificationWnd(owner, kCallback);
    EXPECT_EQ(tray.m_notifyHook.m_hWnd, owner);
    EXPECT_FALSE(tray.m_parentHook.IsHooked());
    tray.SetIcon(0);
}

TEST_F(TrayTest, OnlyADoubleClickOrARightClickOnOurIconDoesSomething) {
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);
    struct Case {
        WPARAM id;
        LPARAM mouse;
    };
    const Case ignored[] = {{kTrayId, WM_LBUTTONDOWN}, {kTrayId, WM_LBUTTONUP}, {kTrayId, WM_RBUTTONDOWN},
                            {kTrayId, WM_MOUSEMOVE},   {kTrayId, WM_MBUTTONUP}, {kTrayId + 1, WM_LBUTTONDBLCLK},
                            {kTrayId + 1, WM_RBUTTONUP}, {0, WM_RBUTTONUP}};
    for (const Case& c : ignored) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " mouse " << std::hex << c.mouse);
        g_seen = {};
        EXPECT_EQ(tray.OnTrayNotification(c.id, c.mouse), 0);
        SendMessageW(owner, kCallback, c.id, c.mouse);
        EXPECT_TRUE(g_seen.commands.empty());
        EXPECT_EQ(g_seen.messages, std::vector<UINT>({kCallback}));
    }

    // a double click is the menu's first command, "Hide", sent to the window
    g_seen = {};
    SendMessageW(owner, kCallback, kTrayId, WM_LBUTTONDBLCLK);
    ASSERT_EQ(g_seen.commands.size(), 1u);
    EXPECT_EQ(g_seen.commands[0].first, 32779u);
    EXPECT_EQ(g_seen.commands[0].second, 0);
    EXPECT_EQ(g_seen.messages, std::vector<UINT>({kCallback}));
    EXPECT_EQ(tray.OnTrayNotification(kTrayId, WM_LBUTTONDBLCLK), 1);
}

TEST(TrayWithoutResources, AMissingMenuMakesEveryClickDoNothing) {
    // this test program has neither menu 134 nor icon 132
    g_seen = {};
    HWND owner = MakeWindow();
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);
    EXPECT_TRUE(tray.SetIcon(kIconId)) << "no icon to show and none shown";
    EXPECT_FALSE(tray.IsIconShown());
    EXPECT_EQ(tray.OnTrayNotification(kTrayId, WM_RBUTTONUP), 0);
    EXPECT_EQ(tray.OnTrayNotification(kTrayId, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(g_seen.commands.empty());
    DestroyWindow(owner);
    EXPECT_FALSE(tray.m_notifyHook.IsHooked()) << "the window's end unhooks the tray icon";
}

}  // namespace

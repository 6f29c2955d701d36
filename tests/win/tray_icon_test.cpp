// The notification-area icon against Wine's shell, with the shipped program's resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "app/StartError.h"
#include "engine/TrayIcon.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"

namespace {

const UINT kCallback = WM_USER + 100, kTrayId = 134, kIconId = 132;

std::vector<UINT> g_messages;  // the callback and "TaskbarCreated", as the window got them
std::vector<WPARAM> g_commands;

LRESULT CALLBACK OwnerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) g_commands.push_back(wp);
    if (msg == kCallback || (g_uTaskbarCreatedMsg && msg == g_uTaskbarCreatedMsg)) g_messages.push_back(msg);
    return DefWindowProcW(h, msg, wp, lp);
}

HWND MakeWindow(HWND parent = nullptr) { return wts::MakeTestWindow(L"TrayTestWnd", OwnerProc, parent); }

class TrayTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(g_uTaskbarCreatedMsg, 0u);
        g_messages.clear();
        g_commands.clear();
        module = LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        app.m_hInstance = module;
        ASSERT_TRUE(owner = MakeWindow());
        tray.SetNotificationWnd(owner, kCallback);
    }
    void TearDown() override {
        // The shell drops an icon with its window only when that window is a top-level one: an icon
        // left under a child outlives this process and keeps Wine's stand-alone tray window shown,
        // which then takes the foreground whenever a later test's active window hides.
        for (HWND h : {owner, child}) EXPECT_FALSE(h && wts::ShellHasIcon(h, kTrayId)) << "an icon left behind";
        DestroyWindow(owner);
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    CWinApp app{L"Tessora"};
    HMODULE module = nullptr;
    HWND owner = nullptr, child = nullptr;
    CTrayIcon tray{kTrayId};
};

TEST_F(TrayTest, IconIsAddedChangedAndRemovedAsTheShellAllows) {
    // 0 or a missing resource (4242) removes the icon, or does nothing when none is shown
    const std::pair<UINT, bool> steps[] = {{0, false},    {kIconId, true},  {kIconId, true}, {4242, false},
                                           {4242, false}, {kIconId, true}, {0, false}};
    for (auto [id, shown] : steps) {
        SCOPED_TRACE(testing::Message() << "SetIcon(" << id << ")");
        EXPECT_TRUE(tray.SetIcon(id));
        EXPECT_EQ(tray.IsIconShown(), shown);
        EXPECT_EQ(wts::ShellHasIcon(owner, kTrayId), shown);
    }
    // the program has no string 134 or 132, so no tooltip is ever announced
    EXPECT_EQ(tray.m_nid.szTip[0], L'\0');
    EXPECT_EQ(tray.m_nid.uFlags & NIF_TIP, 0u);
}

TEST_F(TrayTest, ARefusedOrForgottenIconComesBackWithTheNextCallOrShellUnlessRemoved) {
    // someone holding the same (window, id) makes the shell refuse us, as one not yet ready would
    NOTIFYICONDATAW blocker = {};
    blocker.cbSize = sizeof(blocker);
    blocker.hWnd = owner;
    blocker.uID = kTrayId;
    blocker.uFlags = NIF_ICON;
    blocker.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    const std::pair<bool, bool> cases[] = {{true, false}, {true, true}, {false, true}};  // refused, by a new shell
    for (auto [refused, byShell] : cases) {
        SCOPED_TRACE(testing::Message() << "refused " << refused << ", by a new shell " << byShell);
        g_messages.clear();
        ASSERT_TRUE(!refused || Shell_NotifyIconW(NIM_ADD, &blocker));
        EXPECT_EQ(tray.SetIcon(kIconId) != FALSE, !refused);
        EXPECT_EQ(tray.IsIconShown(), !refused);
        wts::ShellForgetsIcon(owner, kTrayId);  // the blocker goes, or the shell restarts
        // a program started at logon can come before the taskbar: the taskbar's arrival adds it
        if (byShell)
            SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
        else
            EXPECT_TRUE(tray.SetIcon(kIconId));
        EXPECT_TRUE(tray.IsIconShown());
        EXPECT_TRUE(wts::ShellHasIcon(owner, kTrayId));
        EXPECT_EQ(g_messages.size(), byShell ? 1u : 0u) << "the window still gets \"TaskbarCreated\"";
        EXPECT_TRUE(tray.SetIcon(0));
    }
    SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
    EXPECT_FALSE(wts::ShellHasIcon(owner, kTrayId)) << "an icon removed on purpose stays removed";
}

TEST_F(TrayTest, AChildNotificationWindowHearsOfTheTaskbarThroughItsTopWindow) {
    ASSERT_TRUE(child = MakeWindow(owner));
    tray.SetNotificationWnd(child, kCallback);
    EXPECT_EQ(tray.m_notifyHook.m_hWnd, child);
    ASSERT_TRUE(tray.SetIcon(kIconId));
    wts::ShellForgetsIcon(child, kTrayId);
    SendMessageW(owner, g_uTaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(wts::ShellHasIcon(child, kTrayId));
    EXPECT_TRUE(tray.SetIcon(0));  // the shell knows the icon by the window that added it

    // moving the notifications to the top window drops the parent hook
    tray.SetNotificationWnd(owner, kCallback);
    EXPECT_EQ(tray.m_notifyHook.m_hWnd, owner);
    EXPECT_FALSE(tray.m_parentHook.IsHooked());
}

TEST_F(TrayTest, OnlyADoubleClickOrARightClickOnOurIconDoesSomething) {
    const std::pair<WPARAM, LPARAM> ignored[] = {
        {kTrayId, WM_LBUTTONUP}, {kTrayId, WM_RBUTTONDOWN}, {kTrayId + 1, WM_LBUTTONDBLCLK}, {0, WM_RBUTTONUP}};
    for (auto [id, mouse] : ignored) {
        SCOPED_TRACE(testing::Message() << "id " << id << " mouse " << std::hex << mouse);
        g_messages.clear();
        EXPECT_EQ(tray.OnTrayNotification(id, mouse), 0);
        SendMessageW(owner, kCallback, id, mouse);
        EXPECT_EQ(g_messages, std::vector<UINT>({kCallback}));
    }
    EXPECT_TRUE(g_commands.empty());

    // a double click is the menu's first command, "Hide", sent to the window
    g_messages.clear();
    SendMessageW(owner, kCallback, kTrayId, WM_LBUTTONDBLCLK);
    EXPECT_EQ(g_commands, std::vector<WPARAM>({32779}));
    EXPECT_EQ(g_messages, std::vector<UINT>({kCallback}));
}

TEST_F(TrayTest, WithoutTheProgramsResourcesNoIconShowsAndClicksDoNothing) {
    app.m_hInstance = nullptr;  // this test program has neither menu 134 nor icon 132
    EXPECT_TRUE(tray.SetIcon(kIconId)) << "no icon to show and none shown";
    EXPECT_FALSE(tray.IsIconShown());
    for (LPARAM mouse : {WM_RBUTTONUP, WM_LBUTTONDBLCLK}) EXPECT_EQ(tray.OnTrayNotification(kTrayId, mouse), 0);
    EXPECT_TRUE(g_commands.empty());
    DestroyWindow(owner);
    EXPECT_FALSE(tray.m_notifyHook.IsHooked()) << "the window's end unhooks the tray icon";
}

}  // namespace

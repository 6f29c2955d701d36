// The notification-area icon against Wine's shell, and its menu, with the program's own
// resources (the shipped Tessora.exe as the resource module).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/LanguageTable.h"
#include "app/Settings.h"
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

TEST_F(TrayTest, TheCallbackIsAnnouncedOnlyWithAMessage) {
    struct Case {
        UINT msg;
        UINT flags;
    };
    const Case cases[] = {{kCallback, NIF_ICON | NIF_MESSAGE}, {0, NIF_ICON}};
    for (const Case& c : cases) {
        CTrayIcon tray(kTrayId);
        tray.SetNotificationWnd(owner, c.msg);
        ASSERT_TRUE(tray.SetIcon(kIconId));
        EXPECT_EQ(tray.m_nid.uFlags, c.flags);
    }
}

TEST_F(TrayTest, ARefusedAddMarksTheIconNotShownAndTheNextCallTriesAgain) {
    // someone else holds the same (window, id): the shell refuses a second add
    NOTIFYICONDATAW other = {};
    other.cbSize = sizeof(other);
    other.hWnd = owner;
    other.uID = kTrayId;
    other.uFlags = NIF_ICON;
    other.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &other));

    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);
    EXPECT_FALSE(tray.SetIcon(kIconId));
    EXPECT_FALSE(tray.IsIconShown());

    ShellForgetsIcon(owner, kTrayId);
    EXPECT_TRUE(tray.SetIcon(kIconId));
    EXPECT_TRUE(tray.IsIconShown());
    EXPECT_TRUE(ShellHasIcon(owner, kTrayId));
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

// What the pop-up menu held while it was open, read from inside its own loop.
struct OpenMenu {
    std::vector<std::wstring> texts;
    std::vector<UINT> ids;
    int defaultItem = -2;
};
OpenMenu g_menu;

void CALLBACK ReadMenuAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32768", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) continue;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(w, 0x01E1 /* MN_GETHMENU */, 0, 0));
        const int n = GetMenuItemCount(menu);
        for (int i = 0; i < n; ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
            g_menu.texts.push_back(text);
            g_menu.ids.push_back(GetMenuItemID(menu, i));
        }
        g_menu.defaultItem = static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0));
        KillTimer(nullptr, timer);
        EndMenu();
        return;
    }
}

TEST_F(TrayTest, ARightClickShowsTheMenuInTheSettingsLanguage) {
    const std::wstring dir = wts::TempDir(L"tray-menu");
    const std::wstring ini = dir + L"\\config.ini";
    ASSERT_TRUE(wts::WriteFileBytes(ini, "[General]\r\nLanguage=English\r\nOverlapWindows=1\r\nAutomatics=0\r\n"
                                         "AutoUpdate=0\r\nExecuteHotkeyType=0\r\nShowHotkey=1\r\n"));
    CSettings settings(ini.c_str());
    CTrayIcon tray(kTrayId);
    tray.SetNotificationWnd(owner, kCallback);

    struct Case {
        const wchar_t* name;  // nullptr: no settings lent
        ELanguage shown;
    };
    const Case cases[] = {{L"English", UILANG_ENGLISH},   {L"Japanese", UILANG_JAPANESE},
                          {L"Chinese", UILANG_CHINESE},   {L"Netherland", UILANG_DUTCH},
                          {L"Germany", UILANG_GERMAN},    {L"Spain", UILANG_SPANISH},
                          {L"German", UILANG_ENGLISH},    {L"", UILANG_ENGLISH},
                          {nullptr, UILANG_ENGLISH}};
    const UINT ids[] = {32779, 32778, 57664, 32777};
    for (const Case& c : cases) {
        SCOPED_TRACE(wts::Wide2Narrow(c.name ? c.name : L"(no settings)"));
        if (c.name) {
            settings.m_strLanguage = c.name;
            tray.SetSettings(&settings);
        } else {
            tray.SetSettings(nullptr);
        }
        g_menu = {};
        g_seen = {};
        UINT_PTR timer = SetTimer(nullptr, 0, 30, ReadMenuAndClose);
        EXPECT_EQ(tray.OnTrayNotification(kTrayId, WM_RBUTTONUP), 1);
        KillTimer(nullptr, timer);
        ASSERT_EQ(g_menu.texts.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(g_menu.ids[i], ids[i]);
            EXPECT_EQ(g_menu.texts[i], LanguageText(c.shown, static_cast<int>(ids[i]))) << "item " << i;
        }
        EXPECT_EQ(g_menu.defaultItem, 0) << "Hide is the bold default";
        EXPECT_TRUE(g_seen.commands.empty()) << "closing the menu chooses nothing";
        EXPECT_EQ(tray.m_pLanguage->m_strLanguageName, c.name ? c.name : L"");
    }
    // the telling row of the texts, independent of the table
    EXPECT_STREQ(LanguageText(UILANG_CHINESE, 32778), L"选项(&O)");
    EXPECT_STREQ(LanguageText(UILANG_SPANISH, 32778), L"Opción (& O)");
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

// The start-up splash window.
#include <gtest/gtest.h>

#include "tests/e2e/TessoraRun.h"
#include "tests/e2e/UiSupport.h"

namespace {

TEST(UiSplash, ShowsCentredOnTopThenHidesForGood) {
    TessoraRun run(L"ui-splash");
    ASSERT_TRUE(run.Start());
    // the splash: the program's visible dialog of the picture's size
    HWND splash = nullptr;
    ASSERT_TRUE(wts::WaitUntil([&] {
        for (HWND h : wts::FindWindows(run.proc.Pid(), L"#32770")) {
            RECT rc;
            GetWindowRect(h, &rc);
            if (rc.right - rc.left == 362 && rc.bottom - rc.top == 120 && IsWindowVisible(h)) splash = h;
        }
        return splash != nullptr;
    }, 20000, 5));
    const ULONGLONG seen = GetTickCount64();
    RECT rc;
    GetWindowRect(splash, &rc);
    const LONG ex = GetWindowLongW(splash, GWL_EXSTYLE);
    Sleep(300);  // the X server shows the picture a moment after the window is flagged visible
    EXPECT_TRUE(ui::Screenshot(L"splash", RECT{rc.left - 20, rc.top - 20, rc.right + 20, rc.bottom + 20}));

    // centred on the primary screen, per-pixel alpha, on top, no taskbar button
    EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - 362) / 2);
    EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - 120) / 2);
    const LONG wanted = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    EXPECT_EQ(ex & wanted, wanted);
    EXPECT_EQ(GetWindowTextLengthW(splash), 0);

    // two seconds after it appeared it hides; we saw it a little after it appeared
    ASSERT_TRUE(wts::WaitUntil([&] { return !IsWindowVisible(splash); }, 10000, 5));
    const ULONGLONG shownMs = GetTickCount64() - seen;
    EXPECT_GE(shownMs, 1000u);
    EXPECT_LE(shownMs, 6000u);
    std::printf("splash visible for about %llu ms after it was first seen\n", shownMs);

    // and stays hidden, though the window lives on with the program
    ASSERT_TRUE(run.WaitMainWindow());
    Sleep(2500);
    EXPECT_TRUE(IsWindow(splash));
    EXPECT_FALSE(IsWindowVisible(splash));
    EXPECT_EQ(run.ExitByTray(), 0u);
}

}  // namespace

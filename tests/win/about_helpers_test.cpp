// The About box and PNG resources, with the shipped program's own resources. Centring on the work
// area: the tray scenario.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "app/LanguageTable.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"
#include "ui/AboutDlg.h"
#include "ui/DialogHelpers.h"

namespace {

struct GdiplusSession {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    GdiplusSession() { Gdiplus::GdiplusStartup(&token, &input, nullptr); }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
};

HMODULE ProgramResources() {
    return LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

TEST(LoadPngResource, FindsThePicturesAndLeavesTheOutputAloneWhenItCannot) {
    GdiplusSession gdiplus;
    HMODULE program = ProgramResources();
    ASSERT_TRUE(program);
    Gdiplus::Image* const untouched = reinterpret_cast<Gdiplus::Image*>(0x1234);
    struct Case {
        HMODULE module;
        WORD id;
        const wchar_t* type;
        int result;
        UINT width, height;  // 0 0 with result 1: an image object that carries the error
    };
    const Case cases[] = {
        {program, 235, L"PNG", 1, 345, 80},                 // About banner
        {program, 236, L"PNG", 1, 362, 120},                // splash
        {program, 1, MAKEINTRESOURCEW(24), 1, 0, 0},        // the manifest: a resource, but no picture
        {program, 4242, L"PNG", 0, 0, 0},                   // no such id
        {program, 235, L"GIF", 0, 0, 0},                    // no such type
        {GetModuleHandleW(nullptr), 235, L"PNG", 0, 0, 0},  // this program has none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "resource " << c.id << ", result " << c.result);
        Gdiplus::Image* image = untouched;
        EXPECT_EQ(LoadPngResource(c.module, c.id, c.type, &image), c.result);
        if (!c.result) {
            EXPECT_EQ(image, untouched);
            continue;
        }
        ASSERT_TRUE(image && image != untouched);
        std::unique_ptr<Gdiplus::Image> owned(image);
        EXPECT_EQ(image->GetWidth(), c.width);
        EXPECT_EQ(image->GetHeight(), c.height);
        EXPECT_EQ(image->GetLastStatus() == Gdiplus::Ok, c.width != 0);
        if (c.id != 236) continue;
        Gdiplus::Color corner, middle;
        auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
        ASSERT_EQ(bitmap->GetPixel(0, 0, &corner), Gdiplus::Ok);
        ASSERT_EQ(bitmap->GetPixel(181, 60, &middle), Gdiplus::Ok);
        EXPECT_LT(corner.GetA(), 255) << "the splash's rounded card must be see-through outside";
        EXPECT_EQ(middle.GetA(), 255);
    }
    FreeLibrary(program);
}

// The About box made from the shipped program's template; its texts: the tray scenario.
class AboutTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module = ProgramResources());
        app.m_hInstance = module;
    }
    void TearDown() override {
        dlg.reset();
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    void Create() {
        dlg = std::make_unique<CAboutDlg>();
        table.m_strLanguageName = L"English";
        dlg->SetLanguage(&table);
        ASSERT_TRUE(dlg->Create(133, nullptr));
    }

    GdiplusSession gdiplus;
    CWinApp app{L"Tessora"};
    HMODULE module = nullptr;
    CLanguageTable table;
    std::unique_ptr<CAboutDlg> dlg;
};

TEST_F(AboutTest, TheCloseBoxOnlyHidesTheBox) {  // as OK does, which the tray scenario shows
    Create();
    dlg->ShowWindow(SW_SHOW);
    ASSERT_TRUE(dlg->IsWindowVisible());
    SendMessageW(dlg->m_hWnd, WM_CLOSE, 0, 0);  // the dialog posts itself Cancel
    EXPECT_TRUE(wts::WaitUntil([&] { return !dlg->IsWindowVisible(); }, 2000));
    EXPECT_TRUE(IsWindow(dlg->m_hWnd));
}

TEST_F(AboutTest, TheBannerSpansTheTopAndAMissingBannerDrawsNothing) {
    Create();
    SetWindowPos(dlg->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Spot {
        int x, y;
        bool banner;
    };
    const Spot spots[] = {{3, 3, true}, {dlg->m_rcClient.right - 3, 40, true}, {3, 78, true}, {3, 83, false}};
    for (bool withBanner : {true, false}) {
        if (!withBanner) {
            delete dlg->m_pBanner;
            dlg->m_pBanner = nullptr;
        }
        RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(dlg->m_hWnd);
        for (const Spot& s : spots)
            EXPECT_EQ(GetPixel(dc, s.x, s.y) != face, withBanner && s.banner) << "at " << s.x << "," << s.y;
        ReleaseDC(dlg->m_hWnd, dc);
    }
}

}  // namespace

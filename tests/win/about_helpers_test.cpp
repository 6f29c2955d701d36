// The About box, PNG resources and centring on the work area, with the shipped program's own
// resources.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>
#include <string>

#include "app/LanguageTable.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"
#include "ui/AboutDlg.h"
#include "ui/DialogHelpers.h"

namespace {

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ~GdiplusSession() { Gdiplus::GdiplusShutdown(token); }
    ULONG_PTR token = 0;
};

HMODULE ProgramResources() {
    return LoadLibraryExW(TESSORA_DIST_DIR_W L"\\Tessora.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

Gdiplus::Image* const kUntouched = reinterpret_cast<Gdiplus::Image*>(0x1234);

TEST(LoadPngResource, FindsTheProgramsPicturesAndLeavesTheOutputAloneWhenItCannot) {
    GdiplusSession gdiplus;
    HMODULE program = ProgramResources();
    ASSERT_TRUE(program);
    struct Case {
        HMODULE module;
        WORD id;
        const wchar_t* type;
        int result;
        UINT width, height;  // 0 0: no image made
    };
    const Case cases[] = {
        {program, 235, L"PNG", 1, 345, 80},            // About banner
        {program, 236, L"PNG", 1, 362, 120},           // splash
        {program, 4242, L"PNG", 0, 0, 0},              // no such id
        {program, 235, L"GIF", 0, 0, 0},               // no such type
        {GetModuleHandleW(nullptr), 235, L"PNG", 0, 0, 0},  // this program has none
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " " << wts::Wide2Narrow(c.type));
        Gdiplus::Image* image = kUntouched;
        EXPECT_EQ(LoadPngResource(c.module, c.id, c.type, &image), c.result);
        if (!c.result) {
            EXPECT_EQ(image, kUntouched);
            continue;
        }
        ASSERT_NE(image, kUntouched);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetWidth(), c.width);
        EXPECT_EQ(image->GetHeight(), c.height);
        delete image;
    }
    // without an application object the framework's resources are this program's
    Gdiplus::Image* image = kUntouched;
    EXPECT_EQ(LoadPngResource(235, L"PNG", &image), 0);
    EXPECT_EQ(image, kUntouched);
    FreeLibrary(program);
}

TEST(LoadPngResource, TheSplashKeepsItsTransparencyAndBytesThatAreNoImageDrawNothing) {
    GdiplusSession gdiplus;
    HMODULE program = ProgramResources();
    ASSERT_TRUE(program);
    Gdiplus::Image* image = nullptr;
    ASSERT_EQ(LoadPngResource(program, 236, L"PNG", &image), 1);
    std::unique_ptr<Gdiplus::Bitmap> splash(static_cast<Gdiplus::Bitmap*>(image));
    Gdiplus::Color corner, middle;
    ASSERT_EQ(splash->GetPixel(0, 0, &corner), Gdiplus::Ok);
    ASSERT_EQ(splash->GetPixel(181, 60, &middle), Gdiplus::Ok);
    EXPECT_LT(corner.GetA(), 255) << "the rounded card's outside must be see-through";
    EXPECT_EQ(middle.GetA(), 255);

    // the manifest is a resource, but no picture: an image object that carries the error
    Gdiplus::Image* broken = nullptr;
    EXPECT_EQ(LoadPngResource(program, 1, MAKEINTRESOURCEW(24), &broken), 1);
    ASSERT_NE(broken, nullptr);
    EXPECT_NE(broken->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(broken->GetWidth(), 0u);
    delete broken;
    FreeLibrary(program);
}

TEST(CenterWindowOnWorkArea, CentresInTheWorkAreasSizeAndStaysOnTop) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int areaW = work.right - work.left, areaH = work.bottom - work.top;
    struct Case {
        int w, h;
    };
    const Case cases[] = {{300, 200}, {301, 201}, {areaW, areaH}, {areaW + 101, areaH + 51}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        HWND h = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 5, 5, c.w, c.h, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(h);
        CenterWindowOnWorkArea(h);
        RECT rc;
        GetWindowRect(h, &rc);
        // truncation toward zero, also for a window larger than the area
        EXPECT_EQ(rc.left, (areaW - c.w) / 2);
        EXPECT_EQ(rc.top, (areaH - c.h) / 2);
        EXPECT_EQ(rc.right - rc.left, c.w);
        EXPECT_EQ(rc.bottom - rc.top, c.h);
        EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
        DestroyWindow(h);
    }
    CenterWindowOnWorkArea(static_cast<HWND>(nullptr));  // nothing to do, nothing breaks
    CenterWindowOnWorkArea(static_cast<CWnd*>(nullptr));
}

// The About box made from the shipped program's template, with this test program's version.
class AboutTest : public testing::Test {
protected:
    void SetUp() override {
        module = ProgramResources();
        ASSERT_TRUE(module);
        app.m_hInstance = module;
    }
    void TearDown() override {
        dlg.reset();
        app.m_hInstance = nullptr;
        FreeLibrary(module);
    }
    void Create(const wchar_t* language) {
        dlg = std::make_unique<CAboutDlg>();
        if (language) {
            table.m_strLanguageName = language;
            dlg->SetLanguage(&table);
        }
        ASSERT_TRUE(dlg->Create(133, nullptr));
    }
    std::wstring Text(int id) { return wts::WindowText(GetDlgItem(dlg->m_hWnd, id)); }
    COLORREF PixelAt(int x, int y) {
        HDC dc = GetDC(dlg->m_hWnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(dlg->m_hWnd, dc);
        return c;
    }

    GdiplusSession gdiplus;
    CWinApp app{L"Tessora"};
    HMODULE module = nullptr;
    CLanguageTable table;
    std::unique_ptr<CAboutDlg> dlg;
};

TEST_F(AboutTest, ShowsTheVersionTheLinkAndTheTitleOfTheLanguage) {
    struct Case {
        const wchar_t* language;  // nullptr: no table lent
        const wchar_t* title;
    };
    const Case cases[] = {{L"English", L"About Tessora"}, {L"Germany", L"Über Tessora"},
                          {L"Japanese", L"Tessoraについて"}, {L"Klingon", L"About Tessora"},
                          {nullptr, L"About"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(wts::Wide2Narrow(c.language ? c.language : L"(no table)"));
        Create(c.language);
        EXPECT_EQ(wts::WindowText(dlg->m_hWnd), c.title);
        EXPECT_EQ(Text(1085), L"Tessora Ver 1.2.3.40");  // this test program's file version
        EXPECT_EQ(Text(1), L"OK") << "Japanese has no text for id 1, so the template's stays";
        EXPECT_NE(Text(1084).find(CAboutDlg::HomePage()), std::wstring::npos)
            << "the link shows the address it opens: " << wts::Wide2Narrow(Text(1084));
        EXPECT_EQ(Text(223), L"Homepage");
        EXPECT_FALSE(Text(224).empty());
        EXPECT_NE(dlg->m_pBanner, nullptr);
        dlg.reset();
    }
}

TEST_F(AboutTest, OkAndTheCloseBoxOnlyHideTheBox) {
    Create(L"English");
    for (UINT msg : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
        dlg->ShowWindow(SW_SHOW);
        ASSERT_TRUE(dlg->IsWindowVisible());
        if (msg == WM_COMMAND)
            SendMessageW(dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        else
            SendMessageW(dlg->m_hWnd, WM_CLOSE, 0, 0);  // the dialog posts itself Cancel
        EXPECT_TRUE(wts::WaitUntil([&] { return !dlg->IsWindowVisible(); }, 2000));
        EXPECT_TRUE(IsWindow(dlg->m_hWnd));
    }
}

TEST_F(AboutTest, TheBannerSpansTheTopAndAMissingBannerDrawsNothing) {
    Create(L"English");
    SetWindowPos(dlg->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int right = dlg->m_rcClient.right - 3;
    struct Spot {
        int x, y;
        bool banner;
    };
    const Spot spots[] = {{3, 3, true}, {right, 40, true}, {3, 78, true}, {3, 83, false}};

    RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (const Spot& s : spots)
        EXPECT_EQ(PixelAt(s.x, s.y) != face, s.banner) << "at " << s.x << "," << s.y;

    delete dlg->m_pBanner;
    dlg->m_pBanner = nullptr;
    RedrawWindow(dlg->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (const Spot& s : spots) EXPECT_EQ(PixelAt(s.x, s.y), face) << "at " << s.x << "," << s.y;
}

}  // namespace

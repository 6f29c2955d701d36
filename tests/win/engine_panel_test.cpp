// The hotkey panel built from the program's own resources (template 244, PNG 246): what its image
// holds. Where it goes and that it never takes the focus: the panel scenario.
#include <gtest/gtest.h>
#include <objidl.h>
#include <gdiplus.h>

#include "engine/ActKeyPanel.h"
#include "tests/e2e/LayoutSupport.h"

namespace {

// The program's resources, and GDI+, for the life of one test.
class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW((std::wstring(TESSORA_DIST_DIR_W) + L"\\Tessora.exe").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        app.m_hInstance = module;
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
        panel = new CActKeyPanel(nullptr);
        ASSERT_TRUE(panel->Create(244, nullptr));
    }
    void TearDown() override {
        delete panel;
        if (token) Gdiplus::GdiplusShutdown(token);
        app.m_hInstance = nullptr;
        if (module) FreeLibrary(module);
    }

    // Pixels of the image's rectangle that are bright: the white text.
    int BrightPixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const DWORD p = panel->ImageBits()[y * panel->ImageWidth() + x];
                if ((p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) > 0xC0 && ((p >> 16) & 0xFF) > 0xC0) ++n;
            }
        }
        return n;
    }

    CWinApp app;
    HMODULE module = nullptr;
    ULONG_PTR token = 0;
    CActKeyPanel* panel = nullptr;
};

TEST_F(PanelFixture, DrawsTheThreeTextsOverTheBackgroundAndShowsEmptyKeysAsUnknown) {
    panel->m_strActKeyName = L"Ctrl";
    panel->m_strFirstKey = L"";
    panel->MoveToMonitor(0, 0, 1920, 1040, 0, 0);
    ASSERT_TRUE(panel->ImageBits());
    EXPECT_EQ(panel->LastDrawStatus(), 0);
    // The artwork's alpha reaches the image: its rounded corners stay clear, its body is opaque.
    EXPECT_LT(panel->ImageBits()[0] >> 24, 0x80u);
    EXPECT_EQ(panel->ImageBits()[40 * 456 + 300] >> 24, 0xFFu);
    EXPECT_EQ(panel->m_strFirstKey, CString(L"Unknown"));
    EXPECT_GT(BrightPixels(7, 22, 150, 79), 20);   // "Ctrl"
    EXPECT_GT(BrightPixels(205, 19, 390, 79), 20); // "Unknown"
    EXPECT_EQ(BrightPixels(395, 0, 456, 79), 0);   // nothing in the second box yet

    panel->SetKeyText(CString(L"7"));
    EXPECT_EQ(panel->m_strSecondKey, CString(L"7"));
    EXPECT_GT(BrightPixels(395, 19, 456, 79), 10);
    panel->SetKeyText(CString());
    EXPECT_EQ(panel->m_strSecondKey, CString(L"Unknown"));
}

}  // namespace

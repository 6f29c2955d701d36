// config.ini through the real profile API. An empty file, key by key: the start-up scenario.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Settings.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"

namespace {

std::vector<std::wstring> g_boxes;

int RecordBox(const wchar_t* text, const wchar_t*, UINT) {
    g_boxes.push_back(text);
    return IDOK;
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override {
        g_boxes.clear();
        AfxSetMessageBoxHook(RecordBox);
        dir = wts::TempDir(L"settings");
        ini = dir + L"\\config.ini";
    }
    void TearDown() override { AfxSetMessageBoxHook(nullptr); }
    void WriteIni(const std::string& text) { ASSERT_TRUE(wts::WriteFileBytes(ini, text)); }

    std::wstring dir, ini;
};

TEST_F(SettingsTest, ValuesAreStoredWithoutRangeChecks) {
    WriteIni("[General]\r\nLanguage=French\r\nOverlapWindows=-1\r\nAutomatics=0\r\nAutoUpdate=abc\r\n"
             "ExecuteHotkeyType=7\r\nShowHotkey=3x\r\n");
    CSettings s(ini.c_str());
    // -1 reads like a missing key; text that is not a number reads as 0
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], L"The KeyValue of config.ini 'OverlapWindows' is error");
    EXPECT_EQ(s.m_nOverlapWindows, 1);
    EXPECT_EQ(s.m_strLanguage, L"French");
    EXPECT_EQ(s.m_nAutomatics, 0);
    EXPECT_EQ(s.m_nAutoUpdate, 0);
    EXPECT_EQ(s.m_nExecuteHotkeyType, 7);
    EXPECT_EQ(s.m_nShowHotkey, 3);
}

TEST_F(SettingsTest, LanguageTextEdgeCases) {
    WriteIni("[General]\r\nLanguage=Empty\r\nOverlapWindows=0\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
             "ExecuteHotkeyType=0\r\nShowHotkey=0\r\n");
    {
        CSettings s(ini.c_str());
        ASSERT_EQ(g_boxes.size(), 1u);
        EXPECT_EQ(g_boxes[0], L"The KeyValue of config.ini 'Language' is error");
        EXPECT_EQ(s.m_strLanguage, L"English");
    }
    g_boxes.clear();
    WriteIni("[General]\r\nLanguage=" + std::string(300, 'x') + "\r\n");
    CSettings longName(ini.c_str());
    EXPECT_EQ(longName.m_strLanguage.GetLength(), 259);
    WriteIni("[General]\r\nLanguage=\r\n");
    CSettings emptyName(ini.c_str());
    EXPECT_EQ(emptyName.m_strLanguage, L"");
}

TEST_F(SettingsTest, SaveReportsAFileThatCannotBeWritten) {
    WriteIni("[General]\r\nLanguage=Spain\r\nOverlapWindows=1\r\nAutomatics=0\r\nAutoUpdate=0\r\n"
             "ExecuteHotkeyType=0\r\nShowHotkey=1\r\n");
    CSettings s(ini.c_str());
    // a directory in the file's place cannot be written, whoever runs the test
    ASSERT_TRUE(DeleteFileW(ini.c_str()));
    ASSERT_TRUE(CreateDirectoryW(ini.c_str(), nullptr));
    s.m_nShowHotkey = 0;
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(s.m_nShowHotkey, 0);  // the in-memory value stays
    RemoveDirectoryW(ini.c_str());
}

}  // namespace

// The monthly UTF-16LE log: file choice, line format, purge, failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Log.h"
#include "framework/AfxWin.h"
#include "tests/support/WinTestSupport.h"

namespace {

int g_boxCount = 0;
int CountBox(const wchar_t*, const wchar_t*, UINT) { ++g_boxCount; return IDOK; }

// A log whose clock the test sets.
class ClockLog : public CLog {
public:
    SYSTEMTIME now = {};
    void Set(WORD y, WORD mo, WORD d, WORD h = 12, WORD mi = 0) { now = {y, mo, 0, d, h, mi, 5, 7}; }

protected:
    SYSTEMTIME Now() const override { return now; }
};

class LogTest : public testing::Test {
protected:
    void SetUp() override {
        g_boxCount = 0;
        AfxSetMessageBoxHook(CountBox);
        dir = wts::TempDir(L"log");
        log.m_strPrefix = L"Log_";
        log.m_strDirectory = (dir + L"\\Log\\").c_str();
        log.Set(2026, 12, 5, 16, 4);
    }
    void TearDown() override { AfxSetMessageBoxHook(nullptr); }
    std::wstring File(const wchar_t* name) { return dir + L"\\Log\\" + name; }

    std::wstring dir;
    ClockLog log;
};

TEST_F(LogTest, FirstLineCreatesDirectoryAndFileWithByteOrderMark) {
    ASSERT_TRUE(log.Log(L"The TESSORA is running..."));
    ASSERT_TRUE(log.Log(L""));
    std::string bytes;
    ASSERT_TRUE(wts::ReadFileBytes(File(L"Log_2026-12.log"), bytes));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    wchar_t thread[16];
    swprintf(thread, 16, L" %04lu]", GetCurrentThreadId());
    const std::wstring head = std::wstring(L"[2026-12-05 16:04:05.007") + thread + L" -> ";
    EXPECT_EQ(wts::ReadUtf16File(File(L"Log_2026-12.log")),
              head + L"The TESSORA is running...\r\n" + head + L"\r\n");
    EXPECT_EQ(g_boxCount, 0);
}

TEST_F(LogTest, ANewMonthGoesToItsOwnFileEvenOnTheSameDayNumber) {
    log.Set(2026, 3, 5);
    log.Log(L"march");
    log.Set(2026, 4, 5);
    log.Log(L"april");
    log.Set(2026, 4, 30, 23, 59);
    log.Log(L"april end");
    log.Set(2026, 5, 1, 0, 0);
    log.Log(L"may");
    auto has = [&](const wchar_t* file, const wchar_t* text) {
        return wts::ReadUtf16File(File(file)).find(text) != std::wstring::npos;
    };
    EXPECT_TRUE(has(L"Log_2026-03.log", L"march"));
    EXPECT_FALSE(has(L"Log_2026-03.log", L"april"));
    EXPECT_TRUE(has(L"Log_2026-04.log", L"april end"));
    EXPECT_TRUE(has(L"Log_2026-05.log", L"may"));
}

// A week counts from local midnight: a file of exactly seven days stays, one a second older goes.
TEST_F(LogTest, OpeningPurgesLogsOlderThanAWeekOfAnyPrefix) {
    ASSERT_TRUE(CreateDirectoryW((dir + L"\\Log").c_str(), nullptr));
    log.Set(2026, 3, 15, 12, 0);
    auto makeFile = [&](const wchar_t* name, int day, int hour, int mi, int sec) {
        std::wstring path = File(name);
        wts::WriteFileBytes(path, "x");
        SYSTEMTIME local = {2026, 3, 0, static_cast<WORD>(day), static_cast<WORD>(hour), static_cast<WORD>(mi),
                            static_cast<WORD>(sec), 0};
        SYSTEMTIME utc;
        FILETIME written;
        TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
        SystemTimeToFileTime(&utc, &written);
        HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SetFileTime(h, nullptr, nullptr, &written);
        CloseHandle(h);
    };
    makeFile(L"Log_old.log", 7, 23, 59, 59);
    makeFile(L"other.log", 7, 23, 59, 59);
    makeFile(L"Log_midnight.log", 8, 0, 0, 0);
    makeFile(L"Log_week.log", 8, 12, 0, 0);
    makeFile(L"notes.txt", 1, 0, 0, 0);
    ASSERT_TRUE(log.Log(L"purge"));
    std::string keep;
    EXPECT_FALSE(wts::ReadFileBytes(File(L"Log_old.log"), keep));
    EXPECT_FALSE(wts::ReadFileBytes(File(L"other.log"), keep));
    EXPECT_TRUE(wts::ReadFileBytes(File(L"Log_midnight.log"), keep));
    EXPECT_TRUE(wts::ReadFileBytes(File(L"Log_week.log"), keep));
    EXPECT_TRUE(wts::ReadFileBytes(File(L"notes.txt"), keep));
    EXPECT_NE(wts::ReadUtf16File(File(log.m_strFileName.GetString())).find(L"purge"), std::wstring::npos);
}

TEST_F(LogTest, ALogPathThatIsAFileReportsOnceThenStaysQuiet) {
    ASSERT_TRUE(wts::WriteFileBytes(dir + L"\\Log", "not a directory"));
    EXPECT_FALSE(log.Log(L"one"));
    EXPECT_FALSE(log.Log(L"two"));
    EXPECT_FALSE(log.Log(L"three"));
    EXPECT_EQ(g_boxCount, 1);
    // the next day tries again, and a directory that now exists works
    DeleteFileW((dir + L"\\Log").c_str());
    log.Set(2026, 12, 6);
    EXPECT_TRUE(log.Log(L"four"));
    EXPECT_EQ(g_boxCount, 1);
}

}  // namespace

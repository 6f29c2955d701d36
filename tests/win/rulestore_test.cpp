// The rule store as the program uses it: qomb100.dll beside the program, a copy of the shipped
// database, the program's own host.
#include <gtest/gtest.h>

#include "app/AppFiles.h"
#include "rules/SqliteLibrary.h"
#include "tests/support/WinTestSupport.h"

namespace {

// A program folder of its own: the engine library and a copy of the shipped database.
class WinStoreTest : public testing::Test {
protected:
    void SetUp() override {
        dir = wts::TempDir(L"store");
        ASSERT_TRUE(CopyFileW((wts::ExeDir() + L"\\qomb100.dll").c_str(), (dir + L"\\qomb100.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((wts::ExeDir() + L"\\pomlet64.dll").c_str(), (dir + L"\\pomlet64.dll").c_str(), FALSE));
    }
    RuleStoreHost Host(int* fatalCount) {
        return MakeRuleStoreHost((dir + L"\\").c_str(), [fatalCount] { ++*fatalCount; });
    }
    std::wstring dir;
};

TEST_F(WinStoreTest, ARuleRoundTripsThroughTheShippedEngine) {
    int fatal = 0;
    CRuleStore store(Host(&fatal));
    ASSERT_EQ(fatal, 0);
    ASSERT_TRUE(store.IsOpen());
    EXPECT_EQ(store.LoadTypes(3).size(), 3u);  // left half and two right quarters

    // quotes, a backslash and a character beyond the basic plane, in a long name
    CString name = CString(L"it's \\ \U0001F600 ") + CString(L'x', 1000);
    std::vector<ScreenTypeEntry> entries(1);
    entries[0].type_id = 3;
    entries[0].active = 1;
    int id = 0;
    ASSERT_EQ(store.AddRule(name, L"Q3", entries, RegionList(), &id), 0);
    EXPECT_GT(id, 0);
    EXPECT_EQ(store.FindRuleByHotkey(L"Q3"), id);
    ASSERT_TRUE(store.Reload(0));
    auto names = store.GetRuleNames();
    ASSERT_TRUE(names);
    ASSERT_EQ(names->GetSize(), 1);
    EXPECT_EQ(names->GetAt(0), name);

    auto details = store.LoadActiveDetails(id);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_EQ(details[0].type_id, 3);

    ASSERT_EQ(store.DeleteRule(), 0);
    EXPECT_LE(store.FindRuleByHotkey(L"Q3"), 0);
    EXPECT_EQ(store.LoadTypes(3).size(), 3u);  // presets stay
}

TEST_F(WinStoreTest, AMissingDatabaseIsFatalAndNeverCreated) {
    ASSERT_TRUE(DeleteFileW((dir + L"\\pomlet64.dll").c_str()));
    int fatal = 0;
    CRuleStore store(Host(&fatal));
    EXPECT_EQ(fatal, 1);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(FileExists((dir + L"\\pomlet64.dll").c_str()));
    EXPECT_EQ(store.CheckRuleFile((dir + L"\\nothing.data").c_str()), -1);
    EXPECT_FALSE(FileExists((dir + L"\\nothing.data").c_str()));
}

TEST_F(WinStoreTest, AMissingOrForeignEngineLibraryIsFatal) {
    ASSERT_TRUE(DeleteFileW((dir + L"\\qomb100.dll").c_str()));
    int fatal = 0;
    CRuleStore store(Host(&fatal));
    EXPECT_EQ(fatal, 1);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(store.FindRuleByHotkey(L"Q1"), store.FindRuleByHotkey(L"Q9"));
}

TEST_F(WinStoreTest, ADamagedDatabaseIsFatalNotACrash) {
    ASSERT_TRUE(wts::WriteFileBytes(dir + L"\\pomlet64.dll", std::string("SQLite format 3\0garbage", 23) +
                                                                std::string(4000, '\x5a')));
    int fatal = 0;
    CRuleStore store(Host(&fatal));
    EXPECT_EQ(fatal, 1);
    EXPECT_TRUE(store.LoadExcludes().empty());
}

}  // namespace

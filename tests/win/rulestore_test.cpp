// The rule store as the program loads it: qomb100.dll beside the program. The statements run in
// the native tests on the same engine, and every scenario opens the shipped database.
#include <gtest/gtest.h>

#include "rules/SqliteLibrary.h"
#include "tests/support/WinTestSupport.h"

namespace {

// Without the engine library beside the program start-up is fatal; with it the shipped database
// opens. In that order: a library once loaded stays loaded.
TEST(WinStore, OpensThroughTheEngineBesideTheProgramAndIsFatalWithoutIt) {
    const std::wstring dir = wts::TempDir(L"store");
    ASSERT_TRUE(CopyFileW((wts::ExeDir() + L"\\pomlet64.dll").c_str(), (dir + L"\\pomlet64.dll").c_str(), FALSE));
    for (bool engine : {false, true}) {
        if (engine) {
            ASSERT_TRUE(CopyFileW((wts::ExeDir() + L"\\qomb100.dll").c_str(), (dir + L"\\qomb100.dll").c_str(), FALSE));
        }
        int fatal = 0;
        CRuleStore store(MakeRuleStoreHost((dir + L"\\").c_str(), [&fatal] { ++fatal; }));
        EXPECT_EQ(fatal, engine ? 0 : 1);
        EXPECT_EQ(store.IsOpen(), engine);
        EXPECT_EQ(store.LoadTypes(3).size(), engine ? 3u : 0u);  // left half and two right quarters
    }
}

}  // namespace

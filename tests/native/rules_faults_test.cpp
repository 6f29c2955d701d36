// Broken, locked, read-only and missing databases: failures come back as return values, nothing
// crashes, nothing is created, and no rule is lost.
#include <gtest/gtest.h>

#include <cstring>

#include "rules_test_support.h"

using namespace rules_test;

namespace {

// Every operation once, on whatever the store has; none may crash and none may report a write.
void ExerciseEverything(CRuleStore& store, bool expectWritesFail) {
    store.Reload(0);
    store.Reload(5);
    store.GetRuleNames();
    store.GetRuleHotkey(0);
    store.GetFreeHotkeys();
    CString name, key;
    auto entries = store.LoadRule(name, key);
    store.ReadDetail(1);
    store.LoadTypes(-1);
    store.LoadTypes(3);
    store.FindRuleByHotkey(CString(L"Q1"));
    store.LoadExcludes();
    store.ReadTitles(1, 1);
    store.GetScreenTitles(1);
    store.LoadActiveDetails(1);

    int id = -7;
    std::vector<ScreenTypeEntry> mine = Entries({{-1, 1}});
    RegionList regions{Zone(99, -1, 0, 0, 1, 1)};
    const int writes[] = {
        store.AddRule(CString(L"n"), CString(L"Q4"), mine, regions, &id),
        store.UpdateRule(CString(L"n"), CString(L"Q4"), mine, regions),
        store.SetDetailActive(1, 1),
        store.AddExclude(CString(L"x"), &id, 0),
        store.DeleteExclude(1),
        store.AddTitle(1, 1, CString(L"t"), &id),
        store.DeleteTitle(1),
        store.DeleteRule(),
    };
    if (expectWritesFail) {
        for (size_t i = 0; i < std::size(writes); ++i) EXPECT_NE(writes[i], 0) << "write " << i;
        EXPECT_EQ(id, -7);
        EXPECT_EQ(mine[0].type_id, -1) << "a failed update leaves the editor's entries as they were";
    }
}

TEST(RulesFaults, MissingDatabaseIsFatalAndNeverCreated) {
    TempDir dir;
    StoreHarness h(dir);
    EXPECT_EQ(h.fatalCalls, 1);
    EXPECT_FALSE(h.store->IsOpen());
    ExerciseEverything(*h.store, true);
    EXPECT_FALSE(Exists(dir.File("pomlet64.dll")));
    EXPECT_EQ(h.store->CheckRuleFile(dir.Dir() + L"pomlet64.dll"), -1);
    EXPECT_FALSE(Exists(dir.File("pomlet64.dll")));
}

TEST(RulesFaults, MissingEngineIsFatal) {
    TempDir dir;
    CopyShippedDb(dir);
    StoreHarness h(dir, 1, nullptr);
    EXPECT_EQ(h.fatalCalls, 1);
    ExerciseEverything(*h.store, true);

    SqliteApi partial = *NativeSqliteApi();
    partial.GetTable = nullptr;
    StoreHarness p(dir, 1, &partial);
    EXPECT_EQ(p.fatalCalls, 1);
}

// Files that are not (whole) rule databases: refused at start, left exactly as they were.
TEST(RulesFaults, UnusableFilesAreFatalAndUntouched) {
    TempDir source;
    const std::string shipped = ReadBytes(CopyShippedDb(source));
    std::string header = shipped;
    std::memset(&header[0], 'x', 100);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"text", "[General]\r\nLanguage=English\r\n"},
        {"header destroyed", header},
        {"cut to 100 bytes", shipped.substr(0, 100)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        WriteBytes(dir.File("pomlet64.dll"), c.bytes);
        StoreHarness h(dir);
        EXPECT_EQ(h.fatalCalls, 1) << c.what;
        ExerciseEverything(*h.store, true);
        EXPECT_EQ(ReadBytes(dir.File("pomlet64.dll")), c.bytes) << c.what;
    }

    TempDir dir;
    Peer(CopyShippedDb(dir)).Exec("DROP TABLE select_file");
    StoreHarness wrongSchema(dir);
    EXPECT_EQ(wrongSchema.fatalCalls, 1);
}

// A file whose first pages survive but whose table pages are cut off or overwritten opens, then
// every statement that meets the damage fails; nothing crashes.
TEST(RulesFaults, DamagedTablePagesReadAsFailures) {
    TempDir seed;
    const std::string path = CopyShippedDb(seed);
    {
        Peer peer(path);
        peer.Exec("BEGIN");
        for (int i = 0; i < 300; ++i)
            peer.Exec("INSERT INTO user_define (name, hotkey) VALUES ('" + std::string(200, 'n') + "', 'Q1')");
        for (int i = 0; i < 300; ++i)
            peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('" + std::string(300, 'e') + "', '', '0')");
        peer.Exec("COMMIT");
    }
    const std::string full = ReadBytes(path);
    std::string scribbled = full;
    for (size_t i = 8192; i < scribbled.size(); i += 3) scribbled[i] = static_cast<char>(i * 31);
    for (const std::string& bytes : {full.substr(0, full.size() / 3), scribbled}) {
        TempDir dir;
        WriteBytes(dir.File("pomlet64.dll"), bytes);
        StoreHarness h(dir);
        ExerciseEverything(*h.store, false);
        EXPECT_EQ(h.store->CheckRuleFile(dir.Dir() + L"pomlet64.dll"), -1);
    }
}

// The program's engine falls back to read-only when the file cannot be written; opening read-only
// on purpose gives the same connection here, where tests run with rights that ignore file modes.
int OpenReadOnly(const char* name, sqlite3** db) { return sqlite3_open_v2(name, db, SQLITE_OPEN_READONLY, nullptr); }

struct FilledDb {
    TempDir dir;
    std::string path = CopyShippedDb(dir);
    int rule = 0;
    FilledDb() {
        Peer peer(path);
        peer.Exec("INSERT INTO user_define (name, hotkey) VALUES ('kept', 'Q1');"
                  "INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (1, 1, 100, 1);"
                  "INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) VALUES (99, 100, 0, 0, 1, 1);"
                  "INSERT INTO select_file (define_id, screen_id, region_id, file_path, type) VALUES (1, 1, 1, 'a', 'a');"
                  "INSERT INTO exclude_file (name, file_path, type) VALUES ('x', '', '0');");
        rule = 1;
    }
};

TEST(RulesFaults, ReadOnlyDatabaseRefusesEveryWriteAndKeepsTheRules) {
    FilledDb db;
    const auto before = Peer(db.path).Snapshot();
    SqliteApi readOnly = *NativeSqliteApi();
    readOnly.Open = OpenReadOnly;
    StoreHarness h(db.dir, 1, &readOnly);
    ASSERT_EQ(h.fatalCalls, 0);
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"q1")), db.rule);
    EXPECT_EQ(h.store->LoadExcludes().size(), 1u);
    ExerciseEverything(*h.store, true);
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->ReadDetail(2).type_id, 1) << "the missing row is shown as the default";
    EXPECT_EQ(Peer(db.path).Snapshot(), before);
}

TEST(RulesFaults, LockedDatabaseRefusesWritesUntilReleased) {
    FilledDb db;
    const auto before = Peer(db.path).Snapshot();
    StoreHarness h(db.dir);
    ASSERT_TRUE(h.store->Reload(0));
    {
        Peer locker(db.path);
        ASSERT_EQ(locker.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        ExerciseEverything(*h.store, true);
        locker.Exec("ROLLBACK");
    }
    EXPECT_EQ(Peer(db.path).Snapshot(), before);
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->DeleteRule(), 0);
    EXPECT_EQ(Peer(db.path).Count("user_define"), 0);
}

// Restoring a backup replaces the file while nothing holds it.
TEST(RulesFaults, CloseReplaceReopen) {
    FilledDb db;
    StoreHarness h(db.dir);
    ASSERT_EQ(h.store->FindRuleByHotkey(CString(L"Q1")), db.rule);
    EXPECT_EQ(h.store->CloseDatabase(), 0);
    EXPECT_FALSE(h.store->IsOpen());
    ExerciseEverything(*h.store, true);
    CopyShippedDb(db.dir);  // the "backup": an empty rule database
    ASSERT_EQ(h.store->ReopenDatabase(), 0);
    EXPECT_FALSE(h.store->Reload(0));
    EXPECT_EQ(h.store->m_nRuleRows, 0);
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"Q1")), -1);
    WriteBytes(db.path, "garbage");
    h.store->CloseDatabase();
    EXPECT_NE(h.store->ReopenDatabase(), 0);
    EXPECT_EQ(h.fatalCalls, 0) << "only the start-up open is fatal";
}

// An engine that fails the first statement matching a pattern, to break operations midway.
const char* g_failPattern = nullptr;
int FailingExec(sqlite3* db, const char* sql, int (*cb)(void*, int, char**, char**), void* arg, char** err) {
    if (g_failPattern && std::strstr(sql, g_failPattern)) {
        g_failPattern = nullptr;
        return SQLITE_ERROR;
    }
    return sqlite3_exec(db, sql, cb, arg, err);
}

struct MidwayFailure : ::testing::Test {
    FilledDb db;
    SqliteApi api = *NativeSqliteApi();
    void SetUp() override { api.Exec = FailingExec; }
    void TearDown() override { g_failPattern = nullptr; }
};

TEST_F(MidwayFailure, RuleDeleteIsAllOrNothing) {
    const auto before = Peer(db.path).Snapshot();
    StoreHarness h(db.dir, 1, &api);
    ASSERT_TRUE(h.store->Reload(0));
    for (const char* step : {"DELETE FROM user_define WHERE", "DELETE FROM user_define_detail", "DELETE FROM select_file"}) {
        g_failPattern = step;
        EXPECT_NE(h.store->DeleteRule(), 0) << step;
        EXPECT_EQ(Peer(db.path).Snapshot(), before) << "the captured zones must survive a failed " << step;
    }
}

TEST_F(MidwayFailure, RuleUpdateIsAllOrNothing) {
    const auto before = Peer(db.path).Snapshot();
    StoreHarness h(db.dir, 1, &api);
    ASSERT_TRUE(h.store->Reload(0));
    CString name, key;
    for (const char* step : {"INSERT INTO user_define_type", "UPDATE user_define SET", "UPDATE user_define_detail",
                             "COMMIT"}) {
        auto entries = h.store->LoadRule(name, key);
        ASSERT_EQ(entries.size(), 1u);
        RegionList regions{Zone(99, 100, 0, 0, 0.5, 1), Zone(99, 100, 0.5, 0, 0.5, 1)};
        g_failPattern = step;
        EXPECT_NE(h.store->UpdateRule(CString(L"new name"), CString(L"Q2"), entries, regions), 0) << step;
        EXPECT_EQ(Peer(db.path).Snapshot(), before) << step;

        entries[0].type_id = -1;
        regions.push_back(Zone(99, -1, 0, 0, 1, 1));
        g_failPattern = step;
        EXPECT_NE(h.store->UpdateRule(CString(L"new name"), CString(L"Q2"), entries, regions), 0) << step;
        EXPECT_EQ(entries[0].type_id, -1) << step;
        EXPECT_EQ(Peer(db.path).Snapshot(), before) << step;
    }
}

TEST_F(MidwayFailure, RuleAddIsAllOrNothing) {
    const auto before = Peer(db.path).Snapshot();
    StoreHarness h(db.dir, 2, &api);
    for (const char* step : {"INSERT INTO user_define_type", "INSERT INTO user_define_detail", "COMMIT"}) {
        int id = -1;
        g_failPattern = step;
        EXPECT_NE(h.store->AddRule(CString(L"n"), CString(L"Q3"), Entries({{-1, 1}, {2, 0}}),
                                   {Zone(99, -1, 0, 0, 1, 1)}, &id),
                  0)
            << step;
        EXPECT_EQ(id, -1);
        EXPECT_EQ(Peer(db.path).Snapshot(), before) << step;
    }
}

}  // namespace

// Broken, locked, read-only and missing databases: failures come back as return values, nothing
// crashes, nothing is created, and no rule is lost.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <thread>

#include "rules_test_support.h"

using namespace rules_test;

namespace {

// Every operation once, on whatever the store has; none may crash.
void ExerciseEverything(CRuleStore& store, bool expectWritesFail) {
    store.Reload(0);
    store.Reload(5);
    store.GetRuleNames();
    store.GetRuleHotkey(0);
    store.GetFreeHotkeys();
    CString name, key;
    store.LoadRule(name, key);
    store.ReadDetail(1);
    store.LoadTypes(-1);
    store.LoadTypes(3);
    store.FindRuleByHotkey(L"Q1");
    store.LoadExcludes();
    store.ReadTitles(1, 1);
    store.GetScreenTitles(1);
    store.LoadActiveDetails(1);

    int id = -7;
    std::vector<ScreenTypeEntry> mine = Entries({{-1, 1}});
    RegionList regions{Zone(-1, 0, 0, 1, 1)};
    const int writes[] = {store.AddRule(L"n", L"Q4", mine, regions, &id), store.UpdateRule(L"n", L"Q4", mine, regions),
                          store.SetDetailActive(1, 1),   store.AddExclude(L"x", &id, 0),
                          store.DeleteExclude(1),        store.AddTitle(1, 1, L"t", &id),
                          store.DeleteTitle(1),          store.DeleteRule()};
    if (!expectWritesFail) return;
    for (size_t i = 0; i < std::size(writes); ++i) EXPECT_NE(writes[i], 0) << "write " << i;
    EXPECT_EQ(id, -7);
    EXPECT_EQ(mine[0].type_id, -1) << "a failed update leaves the editor's entries as they were";
}

// Refused at start (fatal), every write fails, and the file is neither created nor changed.
TEST(RulesFaults, UnusableStartIsFatalAndTouchesNothing) {
    TempDir seed;
    const std::string shipped = ReadBytes(CopyShippedDb(seed));
    std::string header = shipped;
    std::memset(&header[0], 'x', 100);
    Peer(CopyShippedDb(seed, "no-table")).Exec("DROP TABLE select_file");
    SqliteApi partial = *NativeSqliteApi();
    partial.GetTable = nullptr;
    const struct {
        const char* what;
        std::optional<std::string> bytes;  // none: no file at all
        const SqliteApi* api;
    } cases[] = {
        {"missing file", std::nullopt, NativeSqliteApi()},
        {"no engine", shipped, nullptr},
        {"partial engine", shipped, &partial},
        {"empty", std::string(), NativeSqliteApi()},
        {"text", std::string("[General]\r\nLanguage=English\r\n"), NativeSqliteApi()},
        {"header destroyed", header, NativeSqliteApi()},
        {"cut to 100 bytes", shipped.substr(0, 100), NativeSqliteApi()},
        {"table missing", ReadBytes(seed.File("no-table")), NativeSqliteApi()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.File("pomlet64.dll");
        if (c.bytes) WriteBytes(path, *c.bytes);
        StoreHarness h(dir, 1, c.api);
        EXPECT_EQ(h.fatalCalls, 1);
        EXPECT_FALSE(h.store->IsOpen());
        ExerciseEverything(*h.store, true);
        EXPECT_EQ(h.store->CheckRuleFile(dir.Dir() + L"pomlet64.dll"), -1);
        EXPECT_EQ(fs::exists(path), c.bytes.has_value());
        EXPECT_EQ(ReadBytes(path), c.bytes.value_or(""));
    }
}

// A file whose first pages survive but whose table pages are cut off or overwritten opens, then
// every statement that meets the damage fails; nothing crashes.
TEST(RulesFaults, DamagedTablePagesReadAsFailures) {
    TempDir seed;
    const std::string path = CopyShippedDb(seed);
    {
        Peer peer(path);
        peer.Exec("BEGIN");
        for (int i = 0; i < 300; ++i) {
            peer.Exec("INSERT INTO user_define (name, hotkey) VALUES ('" + std::string(200, 'n') + "', 'Q1')");
            peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('" + std::string(300, 'e') + "', '', '0')");
        }
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

// One rule with a captured layout, a title binding and an exclude entry.
struct FilledDb {
    TempDir dir;
    std::string path = CopyShippedDb(dir);
    FilledDb() {
        Peer peer(path);
        peer.PutRule("Q1", {{100, 1}});
        peer.PutZones(100, 1);
        peer.PutTitle(1, 1, 1, "a");
        peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('x', '', '0')");
    }
    std::vector<std::string> Snapshot() { return Peer(path).Snapshot(); }
};

// The program's engine falls back to read-only when the file cannot be written; opening read-only
// on purpose gives the same connection here, where tests run with rights that ignore file modes.
int OpenReadOnly(const char* name, sqlite3** db) { return sqlite3_open_v2(name, db, SQLITE_OPEN_READONLY, nullptr); }

// Read-only, locked by another process in the middle of a write, or held by another process's
// read (a write then fails at its commit): the rules still read, every write fails, nothing
// changes until the hold is gone, and then everything works again.
TEST(RulesFaults, ReadOnlyOrLockedDatabaseKeepsTheRules) {
    enum Hold { kReadOnly, kLocked, kReading };
    for (Hold hold : {kReadOnly, kLocked, kReading}) {
        SCOPED_TRACE(hold);
        const bool readOnly = hold == kReadOnly;
        FilledDb db;
        const auto before = db.Snapshot();
        SqliteApi api = *NativeSqliteApi();
        if (readOnly) api.Open = OpenReadOnly;
        StoreHarness h(db.dir, 1, &api);
        ASSERT_EQ(h.fatalCalls, 0);
        ASSERT_TRUE(h.store->Reload(0));
        {
            Peer locker(db.path);
            const char* take[] = {"", "BEGIN EXCLUSIVE", "BEGIN; SELECT COUNT(*) FROM user_define;"};
            ASSERT_EQ(locker.Exec(take[hold]), SQLITE_OK);
            ExerciseEverything(*h.store, true);
            // a list that cannot be read is not an empty one: the cached rules stay
            EXPECT_EQ(h.store->Reload(0), hold != kLocked);
            EXPECT_EQ(h.store->m_nRuleRows, 1);
            EXPECT_EQ(h.store->GetRuleNames()->GetSize(), 1);
        }
        EXPECT_EQ(db.Snapshot(), before);
        ASSERT_TRUE(h.store->Reload(0));
        EXPECT_EQ(h.store->FindRuleByHotkey(L"q1"), 1);
        EXPECT_EQ(h.store->LoadExcludes().size(), 1u);
        EXPECT_EQ(h.store->ReadDetail(2).type_id, 1) << "the missing row is shown as the default";
        int id = 0;
        EXPECT_EQ(h.store->AddRule(L"after", L"Q2", Entries({{2, 1}}), {}, &id) == 0, !readOnly);
        EXPECT_EQ(h.store->DeleteRule() == 0, !readOnly);
        EXPECT_EQ(Peer(db.path).Rows("SELECT name FROM user_define"),
                  std::vector<std::string>{readOnly ? "rQ1" : "after"});
    }
}

// Another program in the middle of a write at start-up: the program waits for it a few seconds,
// and only a lock held longer ends in the fatal message.
TEST(RulesFaults, StartUpWaitsForALockHeldAFewSeconds) {
    for (int holdMs : {1500, kRuleDbOpenWaitMs + 1500}) {
        FilledDb db;
        Peer locker(db.path);
        ASSERT_EQ(locker.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            locker.Exec("COMMIT");
        });
        StoreHarness h(db.dir);
        release.join();
        const bool waited = holdMs < kRuleDbOpenWaitMs;
        EXPECT_EQ(h.fatalCalls, waited ? 0 : 1) << holdMs;
        EXPECT_EQ(h.store->FindRuleByHotkey(L"Q1"), waited ? 1 : -1) << holdMs;
    }
}

// Restoring a backup replaces the file while nothing holds it.
TEST(RulesFaults, CloseReplaceReopen) {
    FilledDb db;
    StoreHarness h(db.dir);
    ASSERT_EQ(h.store->FindRuleByHotkey(L"Q1"), 1);
    EXPECT_EQ(h.store->CloseDatabase(), 0);
    EXPECT_FALSE(h.store->IsOpen());
    ExerciseEverything(*h.store, true);
    CopyShippedDb(db.dir);  // the "backup": an empty rule database
    ASSERT_EQ(h.store->ReopenDatabase(), 0);
    EXPECT_FALSE(h.store->Reload(0));
    EXPECT_EQ(h.store->m_nRuleRows, 0);
    EXPECT_EQ(h.store->FindRuleByHotkey(L"Q1"), -1);
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

TEST(RulesFaults, FailureMidwayStoresNothing) {
    FilledDb db;
    const auto before = db.Snapshot();
    SqliteApi api = *NativeSqliteApi();
    api.Exec = FailingExec;
    StoreHarness h(db.dir, 2, &api);
    ASSERT_TRUE(h.store->Reload(0));
    auto failsAt = [&](const char* step, auto operation) {
        g_failPattern = step;
        EXPECT_NE(operation(), 0) << step;
        EXPECT_EQ(g_failPattern, nullptr) << step << " was never run";
        g_failPattern = nullptr;
        EXPECT_EQ(db.Snapshot(), before) << step;
    };
    // The captured zones go first and must survive any later failure.
    for (const char* step : {"DELETE FROM user_define WHERE", "DELETE FROM user_define_detail", "DELETE FROM select_file"})
        failsAt(step, [&] { return h.store->DeleteRule(); });
    for (const char* step : {"INSERT INTO user_define_type", "UPDATE user_define SET", "UPDATE user_define_detail",
                             "COMMIT"}) {
        for (bool recapture : {false, true}) {
            failsAt(step, [&] {
                CString name, key;
                auto entries = h.store->LoadRule(name, key);
                RegionList regions{Zone(100, 0, 0, 0.5, 1), Zone(100, 0.5, 0, 0.5, 1)};
                if (recapture) {
                    entries[0].type_id = -1;
                    regions.push_back(Zone(-1, 0, 0, 1, 1));
                }
                const int rc = h.store->UpdateRule(L"new name", L"Q2", entries, regions);
                EXPECT_EQ(entries[0].type_id, recapture ? -1 : 100) << step;
                return rc;
            });
        }
    }
    for (const char* step : {"INSERT INTO user_define_type", "INSERT INTO user_define_detail", "COMMIT"}) {
        int id = -1;
        failsAt(step, [&] {
            return h.store->AddRule(L"n", L"Q3", Entries({{-1, 1}, {2, 0}}), {Zone(-1, 0, 0, 1, 1)}, &id);
        });
        EXPECT_EQ(id, -1);
    }
}

}  // namespace

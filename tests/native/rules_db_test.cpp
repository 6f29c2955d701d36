// The shipped database and the statement layer, on temporary copies of the generated file.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "rules_test_support.h"

using namespace rules_test;

namespace {

TEST(RulesDb, ShippedSchemaHasTheColumnOrderTheReadersUse) {
    TempDir dir;
    Peer peer(CopyShippedDb(dir));
    const std::map<std::string, std::string> want = {
        {"user_define", "id|name|hotkey"},
        {"user_define_detail", "id|define_id|screen_id|type_id|active|del_flg"},
        {"user_define_type", "id|type_flg|type_id|x|y|width|height"},
        {"select_file", "id|define_id|screen_id|region_id|file_path|type"},
        {"exclude_file", "id|name|file_path|type|del_flg"},
    };
    for (const auto& [table, columns] : want) {
        std::string got;
        for (auto& row : peer.Rows("SELECT name FROM pragma_table_info('" + table + "') ORDER BY cid"))
            got += (got.empty() ? "" : "|") + row;
        EXPECT_EQ(got, columns) << table;
    }
    for (const char* t : {"user_define", "user_define_detail", "select_file", "exclude_file"})
        EXPECT_EQ(peer.Count(t), 0) << t << " ships empty";
    // inserts never give del_flg; quoted numbers must still match the compared columns
    peer.Exec("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (5, 1, 2, 1)");
    peer.Exec("INSERT INTO select_file (define_id, screen_id, region_id, file_path, type) VALUES (5, 1, 2, 'a', 'a')");
    EXPECT_EQ(peer.One("SELECT del_flg FROM user_define_detail"), "0");
    EXPECT_EQ(peer.Count("select_file", "define_id='5' AND screen_id='1' AND region_id='2'"), 1);
}

// Every preset tiles the monitor: zones inside the unit square, no overlap, areas adding up to 1.
TEST(RulesDb, PresetTypesTileTheMonitor) {
    TempDir dir;
    Peer peer(CopyShippedDb(dir));
    const int zoneCounts[] = {1, 2, 3, 2, 4, 3, 2, 2, 3, 4};
    EXPECT_EQ(peer.Count("user_define_type", "type_flg<>1"), 0);
    for (int type = 1; type <= PRESET_TYPE_COUNT; ++type) {
        struct Z {
            double x, y, w, h;
        };
        std::vector<Z> zones;
        for (auto& row : peer.Rows("SELECT x||' '||y||' '||width||' '||height FROM user_define_type WHERE type_id=" +
                                   std::to_string(type) + " ORDER BY id")) {
            Z z{};
            ASSERT_EQ(std::sscanf(row.c_str(), "%lf %lf %lf %lf", &z.x, &z.y, &z.w, &z.h), 4);
            zones.push_back(z);
        }
        ASSERT_EQ(static_cast<int>(zones.size()), zoneCounts[type - 1]) << "type " << type;
        double area = 0;
        for (size_t i = 0; i < zones.size(); ++i) {
            const Z& a = zones[i];
            EXPECT_GE(a.x, 0.0);
            EXPECT_GE(a.y, 0.0);
            EXPECT_LE(a.x + a.w, 1.0 + 1e-12);
            EXPECT_LE(a.y + a.h, 1.0 + 1e-12);
            area += a.w * a.h;
            for (size_t j = i + 1; j < zones.size(); ++j) {
                const Z& b = zones[j];
                const double ox = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
                const double oy = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
                EXPECT_FALSE(ox > 1e-9 && oy > 1e-9) << "type " << type << " zones " << i + 1 << "/" << j + 1;
            }
        }
        EXPECT_NEAR(area, 1.0, 1e-9) << "type " << type;
    }
    // Type 3: left half, then the right quarters top and bottom.
    EXPECT_EQ(peer.Rows("SELECT x, y, width, height FROM user_define_type WHERE type_id=3 ORDER BY id"),
              (std::vector<std::string>{"0.0|0.0|0.5|1.0", "0.5|0.0|0.5|0.5", "0.5|0.5|0.5|0.5"}));
}

struct DbHarness {
    TempDir dir;
    std::string path = CopyShippedDb(dir);
    CSqliteDb db{NativeSqliteApi(), NativeIsRegularFile};
    DbHarness() { EXPECT_EQ(db.OpenRuleDb(dir.Dir()), 0); }
};

TEST(RulesDb, StatementEdges) {
    DbHarness h;
    int maxType = -5;
    EXPECT_EQ(h.db.GetMaxTypeId(&maxType), 0);
    EXPECT_EQ(maxType, 0) << "no detail rows: MAX is NULL";

    ResultTable none = h.db.FindUserDefineByHotkey(CString(L"Q7"));
    EXPECT_FALSE(none.IsNull());
    EXPECT_EQ(none.Rows(), 0);

    int id = -9;
    EXPECT_EQ(h.db.InsertUserDefine(CString(L"a"), CString(L"Q1"), &id), 0);
    EXPECT_EQ(id, 1);
    // the read-back takes the first of one row per table row, all the new id
    EXPECT_EQ(h.db.InsertUserDefine(CString(L"b"), CString(L"Q2"), &id), 0);
    EXPECT_EQ(id, 2);

    ResultTable rules = h.db.GetUserDefines();
    ASSERT_EQ(rules.Rows(), 2);
    EXPECT_EQ(rules.Text(1, 1), CString(L"b")) << "newest first";
    EXPECT_EQ(rules.Cell(3, 0), nullptr) << "outside the table";
    EXPECT_EQ(rules.Cell(1, 3), nullptr);
    EXPECT_EQ(rules.Cell(0, 1), std::string("name")) << "row 0 holds the column names";
}

TEST(RulesDb, DeletingAPresetOnlyRuleLeavesTypesAlone) {
    DbHarness h;
    Peer peer(h.path);
    const auto before = peer.Rows("SELECT * FROM user_define_type ORDER BY id");
    int id = 0;
    ASSERT_EQ(h.db.InsertUserDefine(CString(L"r"), CString(L"Q1"), &id), 0);
    ASSERT_EQ(h.db.InsertUserDefineDetail(id, 1, 3, 1), 0);
    ASSERT_EQ(h.db.InsertUserDefineDetail(id, 2, 10, 0), 0);
    EXPECT_EQ(h.db.DeleteUserDefine(id), 0);
    EXPECT_EQ(peer.Rows("SELECT * FROM user_define_type ORDER BY id"), before);
    EXPECT_EQ(peer.Count("user_define"), 0);
    EXPECT_EQ(peer.Count("user_define_detail"), 0);
}

TEST(RulesDb, MissingTableMakesInsertFailAndKeepsTheId) {
    DbHarness h;
    Peer peer(h.path);
    ASSERT_EQ(peer.Exec("DROP TABLE user_define"), SQLITE_OK);
    int id = 77;
    EXPECT_EQ(h.db.InsertUserDefine(CString(L"x"), CString(L"Q1"), &id), 1);
    EXPECT_EQ(id, 77);
    EXPECT_TRUE(h.db.GetUserDefines().IsNull());
    int maxType = 5;
    ASSERT_EQ(peer.Exec("DROP TABLE user_define_detail"), SQLITE_OK);
    EXPECT_EQ(h.db.GetMaxTypeId(&maxType), 1);
    EXPECT_EQ(maxType, 5);
}

// Builds a small database with a schema script into dir/name.
std::string MakeDb(const TempDir& dir, const std::string& name, const std::string& script) {
    const std::string path = dir.File(name);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

TEST(RulesDb, CheckRuleFileAcceptsOnlyWholeRuleDatabases) {
    TempDir dir;
    const std::string shipped = CopyShippedDb(dir, "backup.data");
    const std::string full = ReadBytes(shipped);
    WriteBytes(dir.File("empty.data"), "");
    WriteBytes(dir.File("text.data"), "user_define\nnot a database\n");
    WriteBytes(dir.File("truncated.data"), full.substr(0, full.size() / 2));
    std::string damaged = full;
    for (size_t i = 4096; i < damaged.size(); i += 7) damaged[i] = static_cast<char>(0xA5);
    WriteBytes(dir.File("damaged.data"), damaged);
    MakeDb(dir, "one-table.data", "CREATE TABLE user_define(id INTEGER PRIMARY KEY, name TEXT, hotkey TEXT);");
    // the shipped schema with one change each
    const std::string schema = ReadBytes(std::string(TESSORA_SOURCE_DIR) + "/rules/schema.sql");
    auto variant = [&](const std::string& from, const std::string& to) {
        std::string s = schema;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    MakeDb(dir, "text-region.data", variant("region_id INTEGER", "region_id TEXT"));
    MakeDb(dir, "no-active.data", variant("    active    INTEGER,\n", ""));
    MakeDb(dir, "swapped.data", variant("    x        REAL,\n    y        REAL,", "    y        REAL,\n    x        REAL,"));
    MakeDb(dir, "extra-column.data", variant("    hotkey TEXT\n", "    hotkey TEXT,\n    note TEXT\n"));
    fs::create_directory(dir.File("folder.data"));

    Peer(shipped).Exec("INSERT INTO user_define (name, hotkey) VALUES ('kept', 'Q1')");

    const struct {
        const char* name;
        int want;
    } cases[] = {
        {"backup.data", 0},   {"extra-column.data", 0}, {"empty.data", -1},    {"text.data", -1},
        {"truncated.data", -1}, {"damaged.data", -1},   {"one-table.data", -1}, {"text-region.data", -1},
        {"no-active.data", -1}, {"swapped.data", -1},   {"folder.data", -1},    {"missing.data", -1},
    };
    CSqliteDb db(NativeSqliteApi(), NativeIsRegularFile);
    for (const auto& c : cases) {
        const std::string path = dir.File(c.name);
        const bool existed = Exists(path);
        const std::string bytes = existed && !fs::is_directory(path) ? ReadBytes(path) : std::string();
        EXPECT_EQ(db.CheckRuleFile(W(path.c_str())), c.want) << c.name;
        EXPECT_EQ(Exists(path), existed) << c.name << ": the check must create nothing";
        if (existed && !fs::is_directory(path)) {
            EXPECT_EQ(ReadBytes(path), bytes) << c.name << " was modified";
        }
    }
    EXPECT_FALSE(db.IsOpen()) << "the check never uses the object's own connection";
}

TEST(RulesDb, OpenRefusesWhatCheckRefusesAndCreatesNothing) {
    TempDir dir;
    CSqliteDb db(NativeSqliteApi(), NativeIsRegularFile);
    EXPECT_NE(db.OpenRuleDb(dir.Dir()), 0);
    EXPECT_FALSE(Exists(dir.File("pomlet64.dll")));
    EXPECT_FALSE(db.IsOpen());

    WriteBytes(dir.File("pomlet64.dll"), "");
    EXPECT_NE(db.OpenRuleDb(dir.Dir()), 0);
    EXPECT_EQ(ReadBytes(dir.File("pomlet64.dll")), "");

    CSqliteDb noEngine(nullptr, NativeIsRegularFile);
    CopyShippedDb(dir);
    EXPECT_NE(noEngine.OpenRuleDb(dir.Dir()), 0);
    EXPECT_EQ(noEngine.GetUserDefines().Rows(), 0);
    EXPECT_NE(noEngine.DeleteExcludeFile(1), 0);
    EXPECT_EQ(noEngine.CheckRuleFile(dir.Dir() + L"pomlet64.dll"), -1);

    EXPECT_EQ(db.OpenRuleDb(dir.Dir()), 0);
    EXPECT_EQ(db.Close(), 0);
    EXPECT_EQ(db.Close(), 0) << "closing twice is harmless";
}

}  // namespace

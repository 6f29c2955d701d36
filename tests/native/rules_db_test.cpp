// The shipped database and the statement layer, on temporary copies of the generated file.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/Zones.h"
#include "rules_test_support.h"

using namespace rules_test;

namespace {

using Rows = std::vector<std::string>;

// Only the presets ship, and each one tiles the monitor: zones inside the unit square, no two
// overlapping, areas adding up to 1.
TEST(RulesDb, ShippedPresetsTileTheMonitor) {
    TempDir dir;
    Peer peer(CopyShippedDb(dir));
    for (const char* t : {"user_define", "user_define_detail", "select_file", "exclude_file"})
        EXPECT_EQ(peer.Count(t), 0) << t << " ships empty";
    EXPECT_EQ(peer.Count("user_define_type", "type_flg<>1 OR x<0 OR y<0 OR x+width>1+1e-12 OR y+height>1+1e-12"), 0);
    EXPECT_EQ(peer.Rows("SELECT a.type_id, a.id, b.id FROM user_define_type a JOIN user_define_type b ON "
                        "a.type_id=b.type_id AND a.id<b.id WHERE min(a.x+a.width, b.x+b.width)-max(a.x, b.x)>1e-9 "
                        "AND min(a.y+a.height, b.y+b.height)-max(a.y, b.y)>1e-9"), Rows{});
    // type id, zone count, total area
    EXPECT_EQ(peer.Rows("SELECT type_id, COUNT(*), ROUND(SUM(width*height), 9) FROM user_define_type GROUP BY type_id"),
              (Rows{"1|1|1.0", "2|2|1.0", "3|3|1.0", "4|2|1.0", "5|4|1.0", "6|3|1.0", "7|2|1.0", "8|2|1.0", "9|3|1.0",
                    "10|4|1.0"}));
    // Type 3: left half, then the right quarters top and bottom.
    EXPECT_EQ(peer.Rows("SELECT x, y, width, height FROM user_define_type WHERE type_id=3 ORDER BY id"),
              (Rows{"0.0|0.0|0.5|1.0", "0.5|0.0|0.5|0.5", "0.5|0.5|0.5|0.5"}));
    // Thirds read back through the store split 1920 pixels into three whole 640s (an engine that
    // prints 15 digits gives 639).
    StoreHarness h(dir);
    std::vector<int> px;
    for (const RegionNode& z : h.store->LoadTypes(6)) {
        px.push_back(engine::TruncToInt32(z.x * 1920));
        px.push_back(engine::TruncToInt32(z.width * 1920));
    }
    EXPECT_EQ(px, (std::vector<int>{0, 640, 640, 640, 1280, 640}));
}

TEST(RulesDb, StatementEdges) {
    TempDir dir;
    CopyShippedDb(dir);
    CSqliteDb db(NativeSqliteApi(), NativeIsRegularFile);
    ASSERT_EQ(db.OpenRuleDb(dir.Dir()), 0);
    int maxType = -5;
    EXPECT_EQ(db.GetMaxTypeId(&maxType), 0);
    EXPECT_EQ(maxType, 0) << "no detail rows: MAX is NULL";

    int id = -9;
    ASSERT_EQ(db.InsertUserDefine(L"a", L"Q1", &id), 0);
    ASSERT_EQ(db.InsertUserDefine(L"b", L"Q2", &id), 0);
    EXPECT_EQ(id, 2);
    ResultTable rules = db.GetUserDefines();
    ASSERT_EQ(rules.Rows(), 2);
    EXPECT_EQ(rules.Text(1, 1), L"b") << "newest first";
    EXPECT_EQ(rules.Cell(3, 0), nullptr) << "outside the table";
    EXPECT_EQ(rules.Cell(1, 3), nullptr);
    EXPECT_EQ(rules.Cell(0, 1), std::string("name")) << "row 0 holds the column names";

    EXPECT_EQ(db.Close(), 0);
    EXPECT_EQ(db.Close(), 0) << "closing twice is harmless";
}

std::string MakeDb(const TempDir& dir, const std::string& name, const std::string& script) {
    sqlite3* db = nullptr;
    sqlite3_open(dir.File(name).c_str(), &db);
    sqlite3_exec(db, script.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return dir.File(name);
}

TEST(RulesDb, CheckRuleFileAcceptsOnlyWholeRuleDatabases) {
    TempDir dir;
    const std::string full = ReadBytes(CopyShippedDb(dir, "backup.data"));
    Peer(dir.File("backup.data")).Exec("INSERT INTO user_define (name, hotkey) VALUES ('kept', 'Q1')");
    WriteBytes(dir.File("empty.data"), "");
    WriteBytes(dir.File("text.data"), "user_define\nnot a database\n");
    WriteBytes(dir.File("truncated.data"), full.substr(0, full.size() / 2));
    std::string damaged = full;
    for (size_t i = 4096; i < damaged.size(); i += 7) damaged[i] = static_cast<char>(0xA5);
    WriteBytes(dir.File("damaged.data"), damaged);
    // every table and column intact, one page of the exclude list wrecked: only the engine's own
    // check sees it
    {
        Peer peer(CopyShippedDb(dir, "pages.data"));
        for (int i = 0; i < 100; ++i)
            peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('" + std::string(300, 'e') + "', '', '0')");
    }
    std::string pages = ReadBytes(dir.File("pages.data"));
    std::memset(&pages[pages.size() - 4096], 0xFF, 8);  // the last leaf's page header
    WriteBytes(dir.File("pages.data"), pages);
    MakeDb(dir, "one-table.data", "CREATE TABLE user_define(id INTEGER PRIMARY KEY, name TEXT, hotkey TEXT);");
    // the shipped schema with one change each
    const std::string schema = ReadBytes(std::string(TESSORA_SOURCE_DIR) + "/rules/schema.sql");
    auto variant = [&](const char* name, const std::string& from, const std::string& to) {
        std::string s = schema;
        MakeDb(dir, name, s.replace(s.find(from), from.size(), to));
    };
    variant("text-region.data", "region_id INTEGER", "region_id TEXT");
    variant("no-active.data", "    active    INTEGER,\n", "");
    variant("swapped.data", "    x        REAL,\n    y        REAL,", "    y        REAL,\n    x        REAL,");
    variant("extra-column.data", "    hotkey TEXT\n", "    hotkey TEXT,\n    note TEXT\n");
    fs::create_directory(dir.File("folder.data"));

    const std::pair<const char*, int> cases[] = {
        {"backup.data", 0},     {"extra-column.data", 0}, {"empty.data", -1},     {"text.data", -1},
        {"truncated.data", -1}, {"damaged.data", -1},     {"one-table.data", -1}, {"text-region.data", -1},
        {"no-active.data", -1}, {"swapped.data", -1},     {"folder.data", -1},    {"missing.data", -1},
        {"pages.data", -1},
    };
    CSqliteDb db(NativeSqliteApi(), NativeIsRegularFile);
    for (const auto& [name, want] : cases) {
        const std::string path = dir.File(name);
        const bool existed = fs::exists(path);
        const std::string bytes = fs::is_regular_file(path) ? ReadBytes(path) : std::string();
        EXPECT_EQ(db.CheckRuleFile(WideFromUtf8(path.c_str())), want) << name;
        EXPECT_EQ(fs::exists(path), existed) << name << ": the check must create nothing";
        EXPECT_EQ(fs::is_regular_file(path) ? ReadBytes(path) : std::string(), bytes) << name << " was modified";
    }
    EXPECT_FALSE(db.IsOpen()) << "the check never uses the object's own connection";
}

}  // namespace

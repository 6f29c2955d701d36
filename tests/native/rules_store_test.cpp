// The rule store's operations on temporary copies of the generated database.
#include <gtest/gtest.h>

#include "rules_test_support.h"

using namespace rules_test;

namespace {

struct StoreTest : ::testing::Test {
    TempDir dir;
    std::string path = CopyShippedDb(dir);
    Peer peer{path};

    // A rule written behind the store's back: name, hotkey, then (type, active) per screen.
    int PutRule(const std::string& hotkey, std::initializer_list<std::pair<int, int>> screens) {
        peer.Exec("INSERT INTO user_define (name, hotkey) VALUES ('r" + hotkey + "', '" + hotkey + "')");
        const std::string id = peer.One("SELECT MAX(id) FROM user_define");
        int s = 1;
        for (auto [type, active] : screens)
            peer.Exec("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (" + id + ", " +
                      std::to_string(s++) + ", " + std::to_string(type) + ", " + std::to_string(active) + ")");
        return std::stoi(id);
    }
    void PutZones(int typeId, int count) {
        for (int i = 0; i < count; ++i)
            peer.Exec("INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) VALUES (99, " +
                      std::to_string(typeId) + ", 0.1, 0.2, 0.3, 0.4)");
    }
    void PutTitle(int rule, int screen, int region, const std::string& path) {
        peer.Exec("INSERT INTO select_file (define_id, screen_id, region_id, file_path, type) VALUES (" +
                  std::to_string(rule) + ", " + std::to_string(screen) + ", " + std::to_string(region) + ", '" +
                  path + "', 'x')");
    }
    std::vector<std::string> Presets() { return peer.Rows("SELECT * FROM user_define_type WHERE type_flg<99 ORDER BY id"); }
};

TEST_F(StoreTest, OpensTheShippedDatabase) {
    StoreHarness h(dir, 3);
    EXPECT_TRUE(h.store->IsOpen());
    EXPECT_EQ(h.fatalCalls, 0);
    EXPECT_EQ(h.store->m_nScreenCount, 3);
    EXPECT_EQ(h.store->m_nPresetTypeCount, 10);
    EXPECT_EQ(h.store->m_nEditMode, RULE_EDIT_ADD);
    int count = 0;
    EXPECT_EQ(h.store->LoadTypes(-1, &count).size(), 26u);
    EXPECT_EQ(count, 26);
    RegionList type3 = h.store->LoadTypes(3, &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(type3.back().number, 3);
    EXPECT_EQ(type3.back().x, 0.5);
    EXPECT_EQ(type3.back().y, 0.5);
    EXPECT_EQ(type3.back().flag, 1);
}

TEST_F(StoreTest, HotkeyLookupAndFreeDigits) {
    StoreHarness h(dir);
    auto freeDigits = [&] {
        h.store->Reload(0);
        std::string s;
        auto digits = h.store->GetFreeHotkeys();
        for (int i = 0; i < digits->GetSize(); ++i) s += U(digits->GetAt(i));
        return s;
    };
    EXPECT_EQ(freeDigits(), "0123456789");
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"q3")), -1);

    const int q3 = PutRule("Q3", {{1, 1}});
    PutRule("Q1", {{2, 1}});
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"q3")), q3);
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"Q3")), q3);
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"Q4")), -1);
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"Q3' OR '1'='1")), -1) << "quotes stay inside the literal";
    EXPECT_EQ(freeDigits(), "02456789");

    // two rules on one key: the last row wins
    const int second = PutRule("Q3", {{1, 1}});
    EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"q3")), second);

    for (int d = 0; d <= 9; ++d) PutRule("Q" + std::to_string(d), {{1, 1}});
    EXPECT_EQ(freeDigits(), "");
    PutRule("Q", {{1, 1}});  // a key without digit binds nothing
    h.store->Reload(0);
    EXPECT_EQ(h.store->GetRuleHotkey(0), CString(L"Q"));
    EXPECT_EQ(h.store->GetRuleHotkey(-1), CString());
    EXPECT_EQ(h.store->GetRuleHotkey(h.store->m_nRuleRows), CString());
}

TEST(RulesStoreText, FormatHotkeyText) {
    const struct {
        const wchar_t* hotkey;
        const wchar_t* want;
    } cases[] = {{L"Q5", L"[ActKey] + Q + 5"}, {L"", L"None"}, {L"Q", L"None"}, {L"Q10", L"None"}, {L"%s", L"[ActKey] + % + s"}};
    for (const auto& c : cases) EXPECT_EQ(CRuleStore::FormatHotkeyText(c.hotkey), CString(c.want)) << c.hotkey;
}

TEST_F(StoreTest, AddRuleWithCaptureStoresOnlyThisCapture) {
    StoreHarness h(dir, 2);
    const int other = PutRule("Q1", {{100, 1}});
    PutZones(100, 4);
    const auto presets = Presets();

    RegionList regions = h.store->LoadTypes(-1);  // every preset and the other rule's captured zones
    for (auto& n : regions)
        if (n.type_flg == TYPE_FLG_USER) n.deleted = 1;  // as a capture marks them
    regions.push_back(Zone(99, -1, 0.0, 0.0, 0.5, 1.0));
    regions.push_back(Zone(99, -1, 0.5, 0.0, 0.5, 0.5));
    regions.push_back(Zone(99, -1, 0.5, 0.5, 0.5, 0.5, 1));  // dropped with "Delete window"
    regions.push_back(Zone(99, -1, 0.5, 0.5, 0.25, 0.5));
    int id = 0;
    ASSERT_EQ(h.store->AddRule(CString(L"mine"), CString(L"Q2"), Entries({{-1, 1}, {1, 0}}), regions, &id), 0);
    EXPECT_GT(id, other);
    EXPECT_EQ(peer.Rows("SELECT type_flg, type_id, x, y, width, height FROM user_define_type WHERE type_id=101 "
                        "ORDER BY id"),
              (std::vector<std::string>{"99|101|0.0|0.0|0.5|1.0", "99|101|0.5|0.0|0.5|0.5",
                                        "99|101|0.5|0.5|0.25|0.5"}));
    EXPECT_EQ(peer.Rows("SELECT screen_id, type_id, active, del_flg FROM user_define_detail WHERE define_id=" +
                        std::to_string(id) + " ORDER BY screen_id"),
              (std::vector<std::string>{"1|101|1|0", "2|1|0|0"}));
    EXPECT_EQ(peer.Count("user_define_type", "type_id=100"), 4) << "the other rule's layout is untouched";
    EXPECT_EQ(Presets(), presets);
}

TEST_F(StoreTest, FirstCapturedTypeIsHundredAndUserTypeWithoutCaptureStoresNoZones) {
    StoreHarness h(dir);
    PutRule("Q9", {});  // a rule with no detail rows
    PutZones(150, 2);   // another rule's zones in the editor's list, not marked deleted
    RegionList regions = h.store->LoadTypes(-1);
    int id = 0;
    ASSERT_EQ(h.store->AddRule(CString(L"empty capture"), CString(L"Q1"), Entries({{-1, 1}}), regions, &id), 0);
    EXPECT_EQ(peer.One("SELECT type_id FROM user_define_detail WHERE define_id=" + std::to_string(id)), "100");
    EXPECT_EQ(peer.Count("user_define_type", "type_id=100"), 0);
    EXPECT_EQ(peer.Count("user_define_type", "type_id=150"), 2);

    regions.push_back(Zone(99, -1, 0, 0, 1, 1));
    ASSERT_EQ(h.store->AddRule(CString(L"next"), CString(L"Q2"), Entries({{-1, 1}}), regions, &id), 0);
    EXPECT_EQ(peer.One("SELECT type_id FROM user_define_detail WHERE define_id=" + std::to_string(id)), "101");
    EXPECT_EQ(peer.Count("user_define_type", "type_id=101"), 1);
}

TEST_F(StoreTest, NewCapturedIdNeverAdoptsLeftOverZones) {
    StoreHarness h(dir);
    PutRule("Q1", {{100, 1}});
    PutZones(100, 1);
    PutZones(101, 3);  // left behind by an interrupted save: no rule uses 101
    RegionList regions{Zone(99, -1, 0, 0, 1, 1)};
    int id = 0;
    ASSERT_EQ(h.store->AddRule(CString(L"n"), CString(L"Q2"), Entries({{-1, 1}}), regions, &id), 0);
    EXPECT_EQ(peer.Count("user_define_type", "type_id=101"), 1);
}

TEST_F(StoreTest, UpdateRuleCases) {
    StoreHarness h(dir, 2);
    const int keep = PutRule("Q1", {{100, 1}, {2, 0}});
    PutZones(100, 3);
    const int other = PutRule("Q2", {{101, 1}});
    PutZones(101, 2);
    const auto presets = Presets();
    const auto otherRows = peer.Rows("SELECT * FROM user_define_type WHERE type_id=101 ORDER BY id");

    ASSERT_TRUE(h.store->Reload(1));  // newest first: index 1 is Q1
    ASSERT_EQ(h.store->m_nCurRuleId, keep);
    CString name, key;
    std::vector<ScreenTypeEntry> entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(name, CString(L"rQ1"));
    EXPECT_EQ(key, CString(L"1"));
    EXPECT_EQ(entries[0].prev_type_id, 100);
    EXPECT_EQ(entries[1].type_id, 2);

    // 1: same captured type, one zone dropped: exactly the live zones remain
    RegionList regions = h.store->LoadTypes(-1);
    int seen = 0;
    for (auto& n : regions)
        if (n.type_id == 100 && ++seen == 2) n.deleted = 1;
    ASSERT_EQ(h.store->UpdateRule(CString(L"renamed"), CString(L"Q5"), entries, regions), 0);
    EXPECT_EQ(peer.Count("user_define_type", "type_id=100 AND type_flg=99"), 2);
    EXPECT_EQ(peer.One("SELECT name||hotkey FROM user_define WHERE id=" + std::to_string(keep)), "renamedQ5");

    // 2: a new capture replaces the stored one
    entries = h.store->LoadRule(name, key);
    entries[0].type_id = -1;
    regions = h.store->LoadTypes(-1);
    regions.push_back(Zone(99, -1, 0.0, 0.0, 1.0, 0.5));
    ASSERT_EQ(h.store->UpdateRule(name, CString(L"Q5"), entries, regions), 0);
    EXPECT_EQ(entries[0].type_id, 102) << "the editor sees the id it got";
    EXPECT_EQ(peer.Count("user_define_type", "type_id=100"), 0);
    EXPECT_EQ(peer.Count("user_define_type", "type_id=102"), 1);
    EXPECT_EQ(peer.One("SELECT type_id FROM user_define_detail WHERE define_id=" + std::to_string(keep) +
                       " AND screen_id=1"),
              "102");

    // 3: captured -> preset 3 drops the captured rows; screen 2 keeps its own values
    entries = h.store->LoadRule(name, key);
    entries[0].type_id = 3;
    entries[1].active = 1;
    ASSERT_EQ(h.store->UpdateRule(name, CString(L"Q5"), entries, h.store->LoadTypes(-1)), 0);
    EXPECT_EQ(peer.Count("user_define_type", "type_id=102"), 0);
    EXPECT_EQ(peer.Rows("SELECT screen_id, type_id, active FROM user_define_detail WHERE define_id=" +
                        std::to_string(keep) + " ORDER BY screen_id"),
              (std::vector<std::string>{"1|3|1", "2|2|1"}));

    // preset -> same preset rewrites nothing
    entries = h.store->LoadRule(name, key);
    ASSERT_EQ(h.store->UpdateRule(name, CString(L"Q5"), entries, h.store->LoadTypes(-1)), 0);

    EXPECT_EQ(Presets(), presets);
    EXPECT_EQ(peer.Rows("SELECT * FROM user_define_type WHERE type_id=101 ORDER BY id"), otherRows);
    EXPECT_EQ(peer.Count("user_define_detail", "define_id=" + std::to_string(other)), 1);
}

TEST_F(StoreTest, UpdateRuleLeavesAScreenWithoutRowWithoutOne) {
    StoreHarness h(dir, 3);
    const int id = PutRule("Q1", {{1, 1}});
    ASSERT_TRUE(h.store->Reload(0));
    CString name, key;
    auto entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 3u);
    entries[2] = {0, 4, 1, 0};
    ASSERT_EQ(h.store->UpdateRule(name, CString(L"Q1"), entries, {}), 0);
    EXPECT_EQ(peer.Count("user_define_detail", "define_id=" + std::to_string(id)), 1);
}

TEST_F(StoreTest, DeleteRuleRemovesExactlyItsRows) {
    StoreHarness h(dir, 2);
    const int gone = PutRule("Q1", {{100, 1}, {3, 1}});
    PutZones(100, 3);
    PutTitle(gone, 1, 1, "a.txt");
    PutTitle(gone, 2, 2, "b.txt");
    const int stays = PutRule("Q2", {{101, 1}});
    PutZones(101, 2);
    PutTitle(stays, 1, 1, "c.txt");
    peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('x', '', '0')");

    // what must remain: everything but the deleted rule's rows
    const auto expected = [&] {
        TempDir scratch;
        const std::string copy = scratch.File("x.db");
        WriteBytes(copy, ReadBytes(path));
        Peer p(copy);
        const std::string g = std::to_string(gone);
        p.Exec("DELETE FROM user_define WHERE id=" + g + "; DELETE FROM user_define_detail WHERE define_id=" + g +
               "; DELETE FROM select_file WHERE define_id=" + g + "; DELETE FROM user_define_type WHERE type_id=100;");
        return p.Snapshot();
    }();

    ASSERT_TRUE(h.store->Reload(1));
    ASSERT_EQ(h.store->m_nCurRuleId, gone);
    EXPECT_EQ(h.store->DeleteRule(), 0);
    EXPECT_EQ(peer.Snapshot(), expected);

    // the list now holds one rule; reloading past it changes nothing current
    EXPECT_FALSE(h.store->Reload(1));
    EXPECT_EQ(h.store->m_nRuleRows, 1);
    EXPECT_EQ(h.store->m_nCurRuleId, gone);
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->DeleteRule(), 0);
    EXPECT_FALSE(h.store->Reload(0));
    EXPECT_EQ(h.store->m_nRuleRows, 0);
    EXPECT_EQ(h.store->m_nCurRuleId, stays) << "an empty list keeps the old current rule";
    EXPECT_EQ(h.store->GetRuleNames()->GetSize(), 0);
    EXPECT_EQ(h.store->GetRuleHotkey(0), CString());
}

TEST_F(StoreTest, ReadDetailCreatesAMissingRowAndFindsRowsByScreen) {
    StoreHarness h(dir, 3);
    const int id = PutRule("Q1", {});
    // rows stored out of screen order, as another tool might leave them
    for (auto row : {"3, 7, 1", "1, 5, 0"})
        peer.Exec("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (" +
                  std::to_string(id) + ", " + row + ")");
    ASSERT_TRUE(h.store->Reload(0));
    const DetailRecord s1 = h.store->ReadDetail(1);
    EXPECT_EQ(s1.type_id, 5);
    EXPECT_EQ(s1.active, 0);
    const DetailRecord s3 = h.store->ReadDetail(3);
    EXPECT_EQ(s3.type_id, 7);
    EXPECT_EQ(s3.active, 1);

    DetailRecord s2;
    EXPECT_EQ(h.store->ReadDetail(&s2, 2), &s2);
    EXPECT_EQ(s2.define_id, id);
    EXPECT_EQ(s2.screen_id, 2);
    EXPECT_EQ(s2.type_id, 1);
    EXPECT_EQ(s2.active, 0);
    EXPECT_EQ(peer.One("SELECT type_id||active FROM user_define_detail WHERE define_id=" + std::to_string(id) +
                       " AND screen_id=2"),
              "10");
    EXPECT_EQ(h.store->ReadDetail(2).type_id, 1);
    EXPECT_EQ(peer.Count("user_define_detail", "screen_id=2"), 1) << "created once";

    EXPECT_EQ(h.store->SetDetailActive(2, 1), 0);
    EXPECT_EQ(h.store->ReadDetail(2).active, 1);

    // a rule deleted behind the page's back gets no new rows
    peer.Exec("DELETE FROM user_define; DELETE FROM user_define_detail;");
    h.store->Reload(0);
    EXPECT_EQ(h.store->ReadDetail(1).type_id, 0);
    EXPECT_EQ(peer.Count("user_define_detail"), 0);
}

TEST_F(StoreTest, LoadRuleShapes) {
    StoreHarness h(dir, 2);
    const int three = PutRule("Q1", {{2, 1}, {3, 0}, {4, 1}});
    h.store->Reload(0);
    CString name(L"untouched"), key(L"untouched");
    auto entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 3u) << "max(rows, monitors)";
    EXPECT_EQ(entries[0].type_id, 2);
    EXPECT_EQ(entries[1].prev_type_id, 3);
    EXPECT_EQ(entries[2].type_id, 0) << "only as many rows as monitors are read";

    const int bare = PutRule("Q2", {});
    h.store->Reload(0);
    ASSERT_EQ(h.store->m_nCurRuleId, bare);
    entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type_id, 0);
    EXPECT_EQ(entries[0].active, 0);

    peer.Exec("DELETE FROM user_define WHERE id=" + std::to_string(bare));
    name = L"untouched";
    EXPECT_TRUE(h.store->LoadRule(name, key).empty());
    EXPECT_EQ(name, CString(L"untouched"));
    (void)three;
}

TEST_F(StoreTest, ExcludeList) {
    StoreHarness h(dir);
    struct Case {
        const wchar_t* text;
        int kind;
        int rc;  // 0 stored
        const char* row;  // name|file_path|type|del_flg
    } cases[] = {
        {L"Notepad", 0, 0, "Notepad||0|0"},
        {L"C:\\Tools\\calc.exe", 1, 0, "calc.exe|C:\\Tools\\calc.exe|exe|0"},
        {L"C:\\Tools\\README", 1, 0, "README|C:\\Tools\\README|README|0"},
        {L"it's \"quoted\" \\ back", 0, 0, "it's \"quoted\" \\ back||0|0"},
        {L"D:\\", 1, 1, nullptr},  // a drive root has no name: it would exclude every window
        {L"", 0, 1, nullptr},
        {L"x", 2, 1, nullptr},
    };
    for (const auto& c : cases) {
        int id = -3;
        EXPECT_EQ(h.store->AddExclude(c.text, &id, c.kind) == 0, c.rc == 0) << U(c.text);
        if (c.row) {
            EXPECT_EQ(peer.One("SELECT name, file_path, type, del_flg FROM exclude_file WHERE id=" + std::to_string(id)),
                      c.row);
        } else {
            EXPECT_EQ(id, -3) << "a refused entry leaves the id alone";
        }
    }
    peer.Exec("INSERT INTO exclude_file (name, file_path, type, del_flg) VALUES ('flagged', '', '0', 1)");
    const auto& list = h.store->LoadExcludes();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(h.store->m_nExcludeCount, 4);
    EXPECT_EQ(h.store->m_pExcludes, list.data());
    EXPECT_EQ(h.store->m_pExcludes[1].name, CString(L"calc.exe"));
    EXPECT_EQ(h.store->m_pExcludes[3].name, CString(L"it's \"quoted\" \\ back"));

    EXPECT_EQ(h.store->DeleteExclude(list[0].id), 0);
    EXPECT_EQ(h.store->LoadExcludes().size(), 3u);
    peer.Exec("DELETE FROM exclude_file");
    EXPECT_TRUE(h.store->LoadExcludes().empty());
    EXPECT_EQ(h.store->m_pExcludes, nullptr);
    EXPECT_EQ(h.store->m_nExcludeCount, 0);
}

TEST_F(StoreTest, TitlesOfZones) {
    StoreHarness h(dir, 2);
    const int rule = PutRule("Q1", {{3, 1}, {2, 1}});
    const int other = PutRule("Q2", {{3, 1}});
    PutTitle(other, 1, 1, "other");
    ASSERT_TRUE(h.store->Reload(1));
    ASSERT_EQ(h.store->m_nCurRuleId, rule);

    int count = -1;
    EXPECT_TRUE(h.store->ReadTitles(1, 2, &count).empty());
    EXPECT_EQ(count, 0);

    int a = 0, b = 0, c = 0;
    ASSERT_EQ(h.store->AddTitle(1, 2, CString(L"Untitled - Notepad"), &a), 0);
    ASSERT_EQ(h.store->AddTitle(1, 2, CString(L"C:\\dir\\it's.txt"), &b), 0);
    ASSERT_EQ(h.store->AddTitle(1, 3, CString(L"D:\\"), &c), 0);  // a bare drive root is stored as given
    int refused = -1;
    EXPECT_NE(h.store->AddTitle(1, 1, CString(), &refused), 0);
    EXPECT_EQ(refused, -1);

    auto titles = h.store->ReadTitles(1, 2, &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(titles[0].id, a) << "storage order";
    EXPECT_EQ(titles[0].type, CString(L"Untitled - Notepad"));
    EXPECT_EQ(titles[1].file_path, CString(L"C:\\dir\\it's.txt"));
    EXPECT_EQ(titles[1].type, CString(L"txt"));
    EXPECT_EQ(titles[1].define_id, rule);
    titles = h.store->ReadTitles(1, 3, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(titles[0].file_path, CString(L"D:\\"));
    EXPECT_EQ(titles[0].type, CString());

    // cached bindings, kept in place per screen
    ASSERT_TRUE(h.store->Reload(1));
    EXPECT_EQ(h.store->m_nTitleRows, 3);
    auto screen1 = h.store->GetScreenTitles(1);
    ASSERT_EQ(screen1.size(), 3u);
    EXPECT_EQ(screen1[2].region_id, 3);
    auto screen2 = h.store->GetScreenTitles(2);
    ASSERT_EQ(screen2.size(), 3u);
    for (const auto& t : screen2) EXPECT_EQ(t.id, 0);

    EXPECT_EQ(h.store->DeleteTitle(a), 0);
    EXPECT_EQ(h.store->ReadTitles(1, 2, &count).size(), 1u);
    EXPECT_EQ(peer.Count("select_file", "define_id=" + std::to_string(other)), 1);
}

TEST_F(StoreTest, ActiveDetailRows) {
    StoreHarness h(dir, 2);
    const int rule = PutRule("Q1", {{3, 1}, {2, 1}});
    PutTitle(rule, 1, 3, "late");
    PutTitle(rule, 1, 1, "early");
    PutTitle(rule, 1, 2, "D:\\");
    int count = 0;
    auto rows = h.store->LoadActiveDetails(rule, &count);
    ASSERT_EQ(count, 4);
    const std::pair<int, int> want[] = {{1, 1}, {1, 2}, {1, 3}, {2, 0}};  // screen, region
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i].screen_id, want[i].first) << i;
        EXPECT_EQ(rows[i].region_id, want[i].second) << i;
        EXPECT_EQ(rows[i].active, 1);
    }
    EXPECT_EQ(rows[0].file_path, CString(L"early"));
    EXPECT_EQ(rows[1].file_path, CString(L"D:\\"));
    EXPECT_EQ(rows[3].type_id, 2);
    EXPECT_TRUE(rows[3].file_path.IsEmpty());
    EXPECT_TRUE(rows[3].type.IsEmpty());

    const int inactive = PutRule("Q2", {{3, 0}, {2, 0}});
    EXPECT_TRUE(h.store->LoadActiveDetails(inactive, &count).empty());
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(h.store->LoadActiveDetails(9999, &count).empty());
}

// Long texts with quotes, backslashes and characters outside the BMP come back unchanged and never
// reach another row (a statement cut short could lose its WHERE clause).
TEST_F(StoreTest, LongAwkwardTextsRoundTrip) {
    StoreHarness h(dir);
    const int bystander = PutRule("Q9", {{1, 1}});
    PutTitle(bystander, 1, 1, "bystander");
    peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('bystander', '', '0')");

    std::wstring piece = L"a'b\\c\"d\U0001F600e''%s%d;--\u00E9";
    std::wstring text;
    while (text.size() < 1000) text += piece;
    text.resize(1000);
    if (text.back() >= 0xD800 && text.back() <= 0xDFFF) text.back() = L'z';
    const CString big(text);
    for (int length : {200, 450, 1000}) {
        const CString value = big.Left(length);
        int id = 0;
        ASSERT_EQ(h.store->AddRule(value, CString(L"Q1"), Entries({{2, 1}}), {}, &id), 0) << length;
        ASSERT_TRUE(h.store->Reload(0));
        EXPECT_EQ(h.store->GetRuleNames()->GetAt(0), value);
        CString name, key;
        auto entries = h.store->LoadRule(name, key);
        EXPECT_EQ(name, value);
        const CString renamed = value + L"'";
        ASSERT_EQ(h.store->UpdateRule(renamed, CString(L"Q1"), entries, {}), 0);
        EXPECT_EQ(h.store->LoadRule(name, key).size(), 1u);
        EXPECT_EQ(name, renamed);

        int titleId = 0, excludeId = 0;
        ASSERT_EQ(h.store->AddTitle(1, 1, value, &titleId), 0);
        int count = 0;
        auto titles = h.store->ReadTitles(1, 1, &count);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(titles[0].file_path, value);
        ASSERT_EQ(h.store->AddExclude(value, &excludeId, 0), 0);
        ASSERT_EQ(h.store->AddExclude(value, &excludeId, 1), 0);
        EXPECT_EQ(h.store->LoadExcludes().back().file_path, value);

        EXPECT_EQ(peer.One("SELECT name FROM user_define WHERE id=" + std::to_string(bystander)), "rQ9");
        EXPECT_EQ(peer.One("SELECT file_path FROM select_file WHERE define_id=" + std::to_string(bystander)),
                  "bystander");
        EXPECT_EQ(peer.One("SELECT name FROM exclude_file ORDER BY id LIMIT 1"), "bystander");
        EXPECT_EQ(h.store->DeleteRule(), 0);
        EXPECT_EQ(h.store->FindRuleByHotkey(CString(L"Q9")), bystander);
    }
}

// Far more zones and bindings than the pages' 100 buttons or the engine's 500 zones.
TEST_F(StoreTest, LargeTablesAreReadWhole) {
    StoreHarness h(dir);
    const int rule = PutRule("Q1", {{100, 1}});
    peer.Exec("BEGIN");
    PutZones(100, 600);
    for (int i = 0; i < 150; ++i) PutTitle(rule, 1, i % 120 + 1, "t" + std::to_string(i));
    peer.Exec("COMMIT");
    int count = 0;
    RegionList zones = h.store->LoadTypes(100, &count);
    EXPECT_EQ(count, 600);
    EXPECT_EQ(zones.back().number, 600);
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->GetScreenTitles(1).size(), 150u);
    EXPECT_EQ(h.store->LoadActiveDetails(rule, &count).size(), 150u);
    EXPECT_EQ(h.store->ReadTitles(1, 120, &count).size(), 1u);
}

}  // namespace

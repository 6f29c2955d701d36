// The rule store's operations on temporary copies of the generated database.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/Zones.h"
#include "rules_test_support.h"
#include "ui/core/RuleLayout.h"

using namespace rules_test;

namespace {

using Rows = std::vector<std::string>;

struct StoreTest : ::testing::Test {
    TempDir dir;
    std::string path = CopyShippedDb(dir);
    Peer peer{path};

    Rows Zones(int type) { return peer.Rows(Str("SELECT * FROM user_define_type WHERE type_id=", type, " ORDER BY id")); }
    Rows Presets() { return peer.Rows("SELECT * FROM user_define_type WHERE type_flg<99 ORDER BY id"); }
    Rows Details(int rule) {
        return peer.Rows(
            Str("SELECT screen_id, type_id, active FROM user_define_detail WHERE define_id=", rule, " ORDER BY screen_id"));
    }
};

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
    const int q3 = peer.PutRule("Q3", {{1, 1}});
    peer.PutRule("Q1", {{2, 1}});
    EXPECT_EQ(h.store->FindRuleByHotkey(L"q3"), q3);
    EXPECT_EQ(h.store->FindRuleByHotkey(L"Q4"), -1);
    EXPECT_EQ(h.store->FindRuleByHotkey(L"Q3' OR '1'='1"), -1) << "quotes stay inside the literal";
    EXPECT_EQ(freeDigits(), "02456789");
    const int second = peer.PutRule("Q3", {{1, 1}});
    EXPECT_EQ(h.store->FindRuleByHotkey(L"q3"), second) << "two rules on one key: the last row wins";

    for (int d = 0; d <= 9; ++d) peer.PutRule(Str("Q", d), {{1, 1}});
    EXPECT_EQ(freeDigits(), "");
    peer.PutRule("Q", {{1, 1}});  // a key without digit binds nothing
    h.store->Reload(0);
    EXPECT_EQ(h.store->GetRuleHotkey(0), L"Q");
    EXPECT_EQ(h.store->GetRuleHotkey(-1), CString());
    EXPECT_EQ(h.store->GetRuleHotkey(h.store->m_nRuleRows), CString());
}

TEST(RulesStoreText, FormatHotkeyText) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Q5", L"[ActKey] + Q + 5"}, {L"", L"None"}, {L"Q", L"None"}, {L"Q10", L"None"}, {L"%s", L"[ActKey] + % + s"}};
    for (const auto& [hotkey, want] : cases) EXPECT_EQ(CRuleStore::FormatHotkeyText(hotkey), want) << U(hotkey);
}

// A capture stores exactly its own live zones under a new type id of 100 or more. The editor's list
// also holds every preset and other rules' captured zones; an interrupted save may have left zones
// under the id that the new type gets.
TEST_F(StoreTest, AddRuleStoresOnlyThisCapture) {
    StoreHarness h(dir, 2);
    peer.PutRule("Q9", {{3, 1}});  // presets only: the first captured type is still 100
    peer.PutZones(100, 2);         // left behind: no rule uses 100
    const Rows presets = Presets();
    RegionList regions = h.store->LoadTypes(-1);
    regions.push_back(Zone(-1, 0.0, 0.0, 0.5, 1.0));
    regions.push_back(Zone(-1, 0.5, 0.0, 0.5, 0.5));
    regions.push_back(Zone(-1, 0.5, 0.5, 0.5, 0.5, 1));  // dropped with "Delete window"
    regions.push_back(Zone(-1, 0.5, 0.5, 0.25, 0.5));
    int first = 0;
    ASSERT_EQ(h.store->AddRule(L"mine", L"Q1", Entries({{-1, 1}, {1, 0}}), regions, &first), 0);
    EXPECT_EQ(peer.Rows("SELECT type_flg, type_id, x, y, width, height FROM user_define_type WHERE type_id=100 "
                        "ORDER BY id"),
              (Rows{"99|100|0.0|0.0|0.5|1.0", "99|100|0.5|0.0|0.5|0.5", "99|100|0.5|0.5|0.25|0.5"}));
    EXPECT_EQ(peer.Rows(Str("SELECT del_flg FROM user_define_detail WHERE define_id=", first)), (Rows{"0", "0"}));
    EXPECT_EQ(Details(first), (Rows{"1|100|1", "2|1|0"}));

    // The next capture, with the first rule's zones live in the list, gets 101 and only its zone.
    regions = h.store->LoadTypes(-1);
    regions.push_back(Zone(-1, 0, 0, 1, 1));
    int next = 0;
    ASSERT_EQ(h.store->AddRule(L"next", L"Q2", Entries({{-1, 1}}), regions, &next), 0);
    EXPECT_GT(next, first);
    EXPECT_EQ(Details(next), Rows{"1|101|1"});
    EXPECT_EQ(Zones(101).size(), 1u);
    EXPECT_EQ(Zones(100).size(), 3u) << "the first rule's layout is untouched";
    EXPECT_EQ(Presets(), presets);
}

TEST_F(StoreTest, UpdateRuleCases) {
    StoreHarness h(dir, 3);
    const int keep = peer.PutRule("Q1", {{100, 1}, {2, 0}});  // no row for screen 3
    peer.PutZones(100, 3);
    const int other = peer.PutRule("Q2", {{101, 1}});
    peer.PutZones(101, 2);
    const Rows presets = Presets(), otherZones = Zones(101);

    ASSERT_TRUE(h.store->Reload(1));  // newest first: index 1 is Q1
    ASSERT_EQ(h.store->m_nCurRuleId, keep);
    CString name, key;
    std::vector<ScreenTypeEntry> entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(name, L"rQ1");
    EXPECT_EQ(key, L"1");
    EXPECT_EQ(entries[0].prev_type_id, 100);
    EXPECT_EQ(entries[1].type_id, 2);

    // same captured type, one zone dropped: exactly the live zones remain
    RegionList regions = h.store->LoadTypes(-1);
    int seen = 0;
    for (auto& n : regions)
        if (n.type_id == 100 && ++seen == 2) n.deleted = 1;
    ASSERT_EQ(h.store->UpdateRule(L"renamed", L"Q5", entries, regions), 0);
    EXPECT_EQ(Zones(100).size(), 2u);
    EXPECT_EQ(peer.One(Str("SELECT name||hotkey FROM user_define WHERE id=", keep)), "renamedQ5");

    // a new capture replaces the stored one, and the editor sees the id it got
    entries = h.store->LoadRule(name, key);
    entries[0].type_id = -1;
    regions = h.store->LoadTypes(-1);
    regions.push_back(Zone(-1, 0.0, 0.0, 1.0, 0.5));
    ASSERT_EQ(h.store->UpdateRule(name, L"Q5", entries, regions), 0);
    EXPECT_EQ(entries[0].type_id, 102);
    EXPECT_TRUE(Zones(100).empty());
    EXPECT_EQ(Zones(102).size(), 1u);
    EXPECT_EQ(Details(keep), (Rows{"1|102|1", "2|2|0"}));

    // captured -> preset drops the captured rows; a screen without a row gets none
    entries = h.store->LoadRule(name, key);
    entries[0].type_id = 3;
    entries[1].active = 1;
    entries[2] = {0, 4, 1, 0};
    ASSERT_EQ(h.store->UpdateRule(name, L"Q5", entries, h.store->LoadTypes(-1)), 0);
    EXPECT_TRUE(Zones(102).empty());
    EXPECT_EQ(Details(keep), (Rows{"1|3|1", "2|2|1"}));

    // preset -> same preset rewrites no zones
    entries = h.store->LoadRule(name, key);
    ASSERT_EQ(h.store->UpdateRule(name, L"Q5", entries, h.store->LoadTypes(-1)), 0);
    EXPECT_EQ(Presets(), presets);
    EXPECT_EQ(Zones(101), otherZones);
    EXPECT_EQ(Details(other), Rows{"1|101|1"});
}

TEST_F(StoreTest, DeleteRuleRemovesExactlyItsRows) {
    StoreHarness h(dir, 2);
    const int gone = peer.PutRule("Q1", {{100, 1}, {3, 1}});
    peer.PutZones(100, 3);
    peer.PutTitle(gone, 1, 1, "a.txt");
    peer.PutTitle(gone, 2, 2, "b.txt");
    const int stays = peer.PutRule("Q2", {{101, 1}});
    peer.PutZones(101, 2);
    peer.PutTitle(stays, 1, 1, "c.txt");
    peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('x', '', '0')");
    // what must remain: everything but the deleted rule's rows (the preset it uses included)
    peer.Exec(Str("BEGIN; DELETE FROM user_define WHERE id=", gone, "; DELETE FROM user_define_detail WHERE define_id=",
                  gone, "; DELETE FROM select_file WHERE define_id=", gone,
                  "; DELETE FROM user_define_type WHERE type_id=100;"));
    const Rows expected = peer.Snapshot();
    peer.Exec("ROLLBACK");

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
}

TEST_F(StoreTest, DetailsPerScreen) {
    StoreHarness h(dir, 3);
    const int id = peer.PutRule("Q1", {});
    ASSERT_TRUE(h.store->Reload(0));
    CString name, key;
    auto entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 3u) << "a rule without rows: one empty entry per monitor";
    EXPECT_EQ(entries[0].type_id, 0);
    EXPECT_EQ(entries[0].active, 0);

    // rows stored out of screen order, as another tool might leave them
    for (auto row : {"3, 7, 1", "1, 5, 0"})
        peer.Exec(Str("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (", id, ",", row, ")"));
    ASSERT_TRUE(h.store->Reload(0));
    auto text = [](const DetailRecord& d) { return Str(d.define_id, "|", d.screen_id, "|", d.type_id, "|", d.active); };
    EXPECT_EQ(text(h.store->ReadDetail(1)), Str(id, "|1|5|0"));
    EXPECT_EQ(text(h.store->ReadDetail(3)), Str(id, "|3|7|1"));
    DetailRecord s2;
    EXPECT_EQ(h.store->ReadDetail(&s2, 2), &s2);
    EXPECT_EQ(text(s2), Str(id, "|2|1|0"));
    EXPECT_EQ(text(h.store->ReadDetail(2)), Str(id, "|2|1|0"));
    EXPECT_EQ(Details(id), (Rows{"1|5|0", "2|1|0", "3|7|1"})) << "the missing row is created once";
    EXPECT_EQ(h.store->SetDetailActive(2, 1), 0);
    EXPECT_EQ(h.store->ReadDetail(2).active, 1);

    // more rows than monitors: an entry per row, but only as many rows read as there are monitors
    h.monitorCount = 2;
    ASSERT_TRUE(h.store->Reload(0));
    entries = h.store->LoadRule(name, key);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].prev_type_id, 1);
    EXPECT_EQ(entries[1].active, 1);
    EXPECT_EQ(entries[2].type_id, 0);

    // a rule deleted behind the page's back loads nothing and collects no orphan rows
    peer.Exec("DELETE FROM user_define; DELETE FROM user_define_detail;");
    const Rows empty = peer.Snapshot();
    h.store->Reload(0);
    EXPECT_EQ(h.store->ReadDetail(1).type_id, 0);
    entries[0].type_id = -1;
    EXPECT_NE(h.store->UpdateRule(name, L"Q1", entries, {Zone(-1, 0, 0, 1, 1)}), 0);
    int title = 0;
    EXPECT_NE(h.store->AddTitle(1, 1, L"t", &title), 0);
    EXPECT_EQ(peer.Snapshot(), empty);
    name = L"untouched";
    EXPECT_TRUE(h.store->LoadRule(name, key).empty());
    EXPECT_EQ(name, L"untouched");
}

// Another program deletes the rule the page shows: a title typed or a file dropped for it and
// its Active switch are refused, and the next rule, which gets the same id, starts with nothing
// of it, also of what a deletion elsewhere left behind.
TEST_F(StoreTest, WritesForARuleDeletedElsewhereAreRefusedAndItsIdStartsClean) {
    StoreHarness h(dir, 2);
    peer.PutRule("Q1", {{3, 1}});
    const int shown = peer.PutRule("Q2", {{5, 1}, {2, 0}});
    ASSERT_TRUE(h.store->Reload(0));
    ASSERT_EQ(h.store->m_nCurRuleId, shown);
    int id = -1;
    ASSERT_EQ(h.store->AddTitle(1, 2, L"kept", &id), 0);

    // deleted elsewhere, leaving its bindings and a detail row behind as a careless tool would
    peer.Exec(Str("DELETE FROM user_define WHERE id=", shown, "; DELETE FROM user_define_detail WHERE define_id=",
                  shown, " AND screen_id=1;"));
    const Rows before = peer.Snapshot();
    id = -1;
    EXPECT_NE(h.store->AddTitle(1, 1, L"typed", &id), 0);
    EXPECT_NE(h.store->AddTitle(1, 3, L"C:\\Docs\\dropped.txt", &id), 0);
    EXPECT_EQ(id, -1);
    EXPECT_NE(h.store->SetDetailActive(2, 1), 0);
    EXPECT_EQ(h.store->ReadDetail(1).type_id, 0) << "no detail row is made up for it";
    EXPECT_EQ(peer.Snapshot(), before);

    // the next rule takes the id: no binding, no detail but its own
    int added = 0;
    ASSERT_EQ(h.store->AddRule(L"new", L"Q3", Entries({{4, 1}, {1, 0}}), {}, &added), 0);
    ASSERT_EQ(added, shown);
    EXPECT_EQ(peer.Count("select_file", Str("define_id=", added)), 0);
    EXPECT_EQ(Details(added), (Rows{"1|4|1", "2|1|0"}));
    ASSERT_TRUE(h.store->Reload(0));
    EXPECT_EQ(h.store->m_nTitleRows, 0);
    EXPECT_EQ(h.store->SetDetailActive(2, 1), 0);
    EXPECT_EQ(h.store->AddTitle(1, 1, L"mine", &id), 0);
    EXPECT_EQ(Details(added), (Rows{"1|4|1", "2|1|1"}));
}

// A capture stored and applied on the monitor it was taken on puts every window back to the
// pixel: thirds, odd offsets, the second monitor and one left of the primary.
TEST_F(StoreTest, ACapturedLayoutComesBackToThePixel) {
    StoreHarness h(dir);
    const engine::ScreenRect monitors[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}, {-1440, -120, 1440, 900}};
    int hotkey = 0;
    for (const engine::ScreenRect& m : monitors) {
        SCOPED_TRACE(m.x);
        const int w3 = m.width / 3, h3 = m.height / 3;
        const std::vector<engine::WinRect> windows = {
            {m.x + w3, m.y + h3, m.x + 2 * w3, m.y + 2 * h3},                   // (640, 360, 640, 360) on 1920 x 1080
            {m.x, m.y, m.x + w3, m.y + m.height},                               // the left third
            {m.x + 2 * w3, m.y + 123, m.x + m.width, m.y + 123 + 245},          // odd offsets
            {m.x + 777, m.y + 39, m.x + 777 + 491, m.y + 39 + 187},
            {m.x + m.width - 1, m.y + m.height - 1, m.x + m.width + 7, m.y + m.height + 5},  // its last pixel
        };
        RegionList regions;
        for (const RegionNode& r : ruleui::CaptureRegions(windows, m)) regions.push_back(r);
        ASSERT_EQ(regions.size(), windows.size());
        const CString key = CString(L"Q") + CString(std::to_wstring(++hotkey).c_str());
        int rule = 0;
        ASSERT_EQ(h.store->AddRule(L"captured", key, Entries({{-1, 1}}), regions, &rule), 0);
        ASSERT_TRUE(h.store->Reload(0));
        const int type = h.store->ReadDetail(1).type_id;
        std::vector<engine::RegionFraction> stored;
        for (const RegionNode& r : h.store->LoadTypes(type)) stored.push_back({r.x, r.y, r.width, r.height});
        std::vector<engine::ZoneRect> zones;
        engine::AppendRegionZones(m, stored, zones);
        std::vector<engine::ZoneRect> want;
        for (const RegionNode& r : regions) {
            // the capture's own order (by columns), mapped back to the window it came from
            for (const engine::WinRect& w : windows)
                if (std::lround(r.x * m.width) + m.x == w.left && std::lround(r.y * m.height) + m.y == w.top)
                    want.push_back({w.left, w.top, w.right - w.left, w.bottom - w.top});
        }
        EXPECT_EQ(zones, want);
    }
}

TEST_F(StoreTest, ExcludeList) {
    StoreHarness h(dir);
    const struct {
        const wchar_t* text;
        int kind;
        const char* row;  // name|file_path|type|del_flg; null: refused
    } cases[] = {
        {L"Notepad", 0, "Notepad||0|0"},
        {L"C:\\Tools\\calc.exe", 1, "calc.exe|C:\\Tools\\calc.exe|exe|0"},
        {L"C:\\Tools\\README", 1, "README|C:\\Tools\\README|README|0"},
        {L"it's \"quoted\" \\ back", 0, "it's \"quoted\" \\ back||0|0"},
        {L"D:\\", 1, nullptr},  // a drive root has no name: it would exclude every window
        {L"", 0, nullptr},
        {L"x", 2, nullptr},
    };
    for (const auto& c : cases) {
        int id = -3;
        EXPECT_EQ(h.store->AddExclude(c.text, &id, c.kind) == 0, c.row != nullptr) << U(c.text);
        EXPECT_EQ(peer.One(Str("SELECT name, file_path, type, del_flg FROM exclude_file WHERE id=", id)),
                  c.row ? c.row : "");
        EXPECT_TRUE(c.row || id == -3) << "a refused entry leaves the id alone";
    }
    peer.Exec("INSERT INTO exclude_file (name, file_path, type, del_flg) VALUES ('flagged', '', '0', 1)");
    const auto& list = h.store->LoadExcludes();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(h.store->m_nExcludeCount, 4);
    EXPECT_EQ(h.store->m_pExcludes, list.data());
    EXPECT_EQ(list[3].name, L"it's \"quoted\" \\ back");

    EXPECT_EQ(h.store->DeleteExclude(list[0].id), 0);
    EXPECT_EQ(h.store->LoadExcludes().size(), 3u);
    peer.Exec("DELETE FROM exclude_file");
    EXPECT_TRUE(h.store->LoadExcludes().empty());
    EXPECT_EQ(h.store->m_pExcludes, nullptr);
    EXPECT_EQ(h.store->m_nExcludeCount, 0);
}

// Bindings added through the store, read per zone, per screen from the cache, and as the rows a
// hotkey applies.
TEST_F(StoreTest, TitleBindings) {
    StoreHarness h(dir, 2);
    const int rule = peer.PutRule("Q1", {{3, 1}, {2, 1}});
    const int other = peer.PutRule("Q2", {{3, 1}});
    peer.PutTitle(other, 1, 1, "other");
    ASSERT_TRUE(h.store->Reload(1));
    ASSERT_EQ(h.store->m_nCurRuleId, rule);
    int count = -1;
    EXPECT_TRUE(h.store->ReadTitles(1, 2, &count).empty());
    EXPECT_EQ(count, 0);

    int a = 0, b = 0, c = 0, refused = -1;
    ASSERT_EQ(h.store->AddTitle(1, 3, L"Untitled - Notepad", &a), 0);
    ASSERT_EQ(h.store->AddTitle(1, 3, L"C:\\dir\\it's.txt", &b), 0);
    ASSERT_EQ(h.store->AddTitle(1, 2, L"D:\\", &c), 0);  // a bare drive root is stored as given
    EXPECT_NE(h.store->AddTitle(1, 1, CString(), &refused), 0);
    EXPECT_EQ(refused, -1);

    auto texts = [](const std::vector<TitleRecord>& list) {
        Rows rows;
        for (const auto& t : list)
            rows.push_back(
                Str(t.id, "|", t.define_id, "|", t.screen_id, "|", t.region_id, "|", U(t.file_path), "|", U(t.type)));
        return rows;
    };
    const std::string ra = Str(a, "|", rule, "|1|3|Untitled - Notepad|Untitled - Notepad"),
                      rb = Str(b, "|", rule, "|1|3|C:\\dir\\it's.txt|txt"), rc = Str(c, "|", rule, "|1|2|D:\\|");
    EXPECT_EQ(texts(h.store->ReadTitles(1, 3, &count)), (Rows{ra, rb})) << "storage order";
    EXPECT_EQ(count, 2);
    // cached bindings, kept in place per screen
    ASSERT_TRUE(h.store->Reload(1));
    EXPECT_EQ(h.store->m_nTitleRows, 3);
    EXPECT_EQ(texts(h.store->GetScreenTitles(1)), (Rows{ra, rb, rc}));
    EXPECT_EQ(texts(h.store->GetScreenTitles(2)), Rows(3, "0|0|0|0||"));

    // active screens by screen and region; a screen without bindings has one row of its own
    Rows active;
    for (const auto& r : h.store->LoadActiveDetails(rule, &count))
        active.push_back(Str(r.screen_id, "|", r.type_id, "|", r.active, "|", r.region_id, "|", U(r.type), "|",
                             U(r.file_path)));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(active, (Rows{"1|3|1|2||D:\\", "1|3|1|3|Untitled - Notepad|Untitled - Notepad",
                            "1|3|1|3|txt|C:\\dir\\it's.txt", "2|2|1|0||"}));
    EXPECT_TRUE(h.store->LoadActiveDetails(9999, &count).empty());
    h.store->SetDetailActive(1, 0);
    h.store->SetDetailActive(2, 0);
    EXPECT_TRUE(h.store->LoadActiveDetails(rule, &count).empty());
    EXPECT_EQ(count, 0);

    EXPECT_EQ(h.store->DeleteTitle(a), 0);
    EXPECT_EQ(h.store->ReadTitles(1, 3, &count).size(), 1u);
    EXPECT_EQ(peer.Count("select_file", Str("define_id=", other)), 1);
}

// Long texts with quotes, backslashes and characters outside the BMP come back unchanged and never
// reach another row (a statement cut short could lose its WHERE clause).
TEST_F(StoreTest, LongAwkwardTextsRoundTrip) {
    StoreHarness h(dir);
    const int bystander = peer.PutRule("Q9", {{1, 1}});
    peer.PutTitle(bystander, 1, 1, "bystander");
    peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('bystander', '', '0')");
    const Rows untouched = peer.Snapshot();

    std::wstring text;
    while (text.size() < 1000) text += L"a'b\\c\"d\U0001F600e''%s%d;--\u00E9";
    text.resize(1000);
    if (text.back() >= 0xD800 && text.back() <= 0xDFFF) text.back() = L'z';
    for (int length : {200, 450, 1000}) {
        SCOPED_TRACE(length);
        const CString value = CString(text.c_str()).Left(length);
        int id = 0;
        ASSERT_EQ(h.store->AddRule(value, L"Q1", Entries({{2, 1}}), {}, &id), 0);
        ASSERT_TRUE(h.store->Reload(0));
        EXPECT_EQ(h.store->GetRuleNames()->GetAt(0), value);
        CString name, key;
        auto entries = h.store->LoadRule(name, key);
        EXPECT_EQ(name, value);
        const CString renamed = value + L"'";
        ASSERT_EQ(h.store->UpdateRule(renamed, L"Q1", entries, {}), 0);
        EXPECT_EQ(h.store->LoadRule(name, key).size(), 1u);
        EXPECT_EQ(name, renamed);

        int titleId = 0, typed = 0, dropped = 0, count = 0;
        ASSERT_EQ(h.store->AddTitle(1, 1, value, &titleId), 0);
        const auto titles = h.store->ReadTitles(1, 1, &count);
        ASSERT_EQ(count, 1);
        EXPECT_EQ(titles[0].file_path, value);
        ASSERT_EQ(h.store->AddExclude(value, &typed, 0), 0);
        ASSERT_EQ(h.store->AddExclude(value, &dropped, 1), 0);
        EXPECT_EQ(h.store->LoadExcludes().back().file_path, value);

        EXPECT_EQ(h.store->DeleteRule(), 0);
        EXPECT_EQ(h.store->DeleteExclude(typed), 0);
        EXPECT_EQ(h.store->DeleteExclude(dropped), 0);
        EXPECT_EQ(peer.Snapshot(), untouched);
    }
}

// Far more zones and bindings than the pages' 100 buttons or the engine's 500 zones: all read whole,
// presets first, each zone numbered in order. The monitor count stays within the table's capacity.
TEST_F(StoreTest, TablesAreReadWhole) {
    StoreHarness h(dir);
    const int rule = peer.PutRule("Q1", {{100, 1}});
    peer.Exec("BEGIN");
    peer.PutZones(100, 600);
    for (int i = 0; i < 150; ++i) peer.PutTitle(rule, 1, i % 120 + 1, Str("t", i));
    peer.Exec("COMMIT");
    int count = 0;
    const RegionList all = h.store->LoadTypes(-1, &count);
    EXPECT_EQ(count, 626);
    EXPECT_EQ(all.size(), 626u);
    EXPECT_EQ(Str(all.front().type_flg, " ", all.front().type_id, " ", all.back().type_flg), "1 1 99");
    const RegionNode last = h.store->LoadTypes(100, &count).back();
    EXPECT_EQ(count, 600);
    EXPECT_EQ(Str(last.number, " ", last.type_flg, " ", last.type_id, " ", last.x, " ", last.y, " ", last.width, " ",
                  last.height, " ", last.deleted), "600 99 100 0.1 0.2 0.3 0.4 0");
    for (int monitors : {0, 500}) {
        h.monitorCount = monitors;
        ASSERT_TRUE(h.store->Reload(0));
        EXPECT_EQ(h.store->m_nScreenCount, monitors ? MAX_SCREEN_COUNT : 1);
    }
    EXPECT_EQ(h.store->GetScreenTitles(1).size(), 150u);
    EXPECT_EQ(h.store->LoadActiveDetails(rule, &count).size(), 150u);
    EXPECT_EQ(h.store->ReadTitles(1, 120, &count).size(), 1u);
}

}  // namespace

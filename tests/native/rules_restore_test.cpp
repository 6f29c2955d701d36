// Restoring a backup over the running store: a good backup is what the store reads next; every
// refused or failed restore leaves the rules in use exactly as they were and the store working.
#include <gtest/gtest.h>

#include "rules/core/RuleRestore.h"
#include "rules_test_support.h"

using namespace rules_test;

namespace {

std::string P(const CString& path) { return U(path); }
bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The host's files, with one step that can be made to fail.
RestoreFiles MakeFiles(std::string& failStep) {
    RestoreFiles f;
    f.copy = [&failStep](const CString& from, const CString& to) {
        const std::string bytes = ReadBytes(P(from));
        const bool half = failStep == "half copy" || failStep == "silent half copy";
        WriteBytes(P(to), half ? bytes.substr(0, bytes.size() / 2) : bytes);
        return failStep != "copy" && failStep != "half copy";
    };
    f.move = [&failStep](const CString& from, const CString& to) {
        if (failStep == "move in" && EndsWith(P(to), ".dll")) {
            failStep.clear();  // once: putting the old file back must work
            return false;
        }
        std::error_code ec;
        fs::rename(P(from), P(to), ec);
        return !ec;
    };
    f.remove = [&failStep](const CString& path) {
        std::error_code ec;
        if (failStep != "journal" || !EndsWith(P(path), "-journal")) fs::remove(P(path), ec);
        return !fs::exists(P(path));
    };
    f.sameFile = [](const CString& a, const CString& b) {
        std::error_code ec;
        return fs::equivalent(P(a), P(b), ec);
    };
    return f;
}

}  // namespace

TEST(RulesRestore, OnlyAGoodBackupReplacesTheRulesInUse) {
    TempDir backups;
    // the backup: a different rule on Q7 and another exclude entry
    const std::string good = CopyShippedDb(backups, "good.data");
    {
        Peer peer(good);
        peer.PutRule("Q7", {{2, 1}});
        peer.Exec("INSERT INTO exclude_file (name, file_path, type) VALUES ('from backup', '', '0')");
    }
    Peer(CopyShippedDb(backups, "one-table.data")).Exec(
        "DROP TABLE user_define_detail; DROP TABLE user_define_type; DROP TABLE select_file; DROP TABLE exclude_file");
    WriteBytes(backups.File("text.data"), "[General]\r\nLanguage=English\r\n");

    const struct {
        const char* what;
        std::string source;  // "" = the database itself
        std::string failStep;
        RestoreResult expected;
    } cases[] = {
        {"good backup", good, "", RestoreResult::Restored},
        {"good backup over a stale journal", good, "", RestoreResult::Restored},
        {"not SQLite", backups.File("text.data"), "", RestoreResult::WrongFile},
        {"SQLite without the rule tables", backups.File("one-table.data"), "", RestoreResult::WrongFile},
        {"missing file", backups.File("gone.data"), "", RestoreResult::WrongFile},
        {"the database itself", "", "", RestoreResult::WrongFile},
        {"a working file of an earlier restore", ".restore", "", RestoreResult::WrongFile},
        {"copy fails", good, "copy", RestoreResult::Failed},
        {"copy fails half-way", good, "half copy", RestoreResult::Failed},
        {"copy cut short without an error", good, "silent half copy", RestoreResult::Failed},
        {"journal cannot be removed", good, "journal", RestoreResult::Failed},
        {"new file cannot be moved in", good, "move in", RestoreResult::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string db = CopyShippedDb(dir);
        const int shown = Peer(db).PutRule("Q1", {{1, 1}});
        Peer(db).PutRule("Q2", {{1, 1}});
        const auto before = Peer(db).Snapshot();
        StoreHarness h(dir);
        ASSERT_TRUE(h.store->Reload(1));  // the rules page shows the older rule
        ASSERT_EQ(h.store->m_nCurRuleId, shown);
        h.store->LoadExcludes();
        const bool staleJournal = std::string(c.what).find("journal") != std::string::npos;
        if (staleJournal) WriteBytes(db + "-journal", "left by a crash");
        std::string failStep = c.failStep;
        // "" names the database itself, a leading "." a file beside it
        const std::string source = c.source.empty() || c.source[0] == '.' ? db + c.source : c.source;
        if (c.source == ".restore") WriteBytes(source, ReadBytes(good));

        EXPECT_EQ(RestoreRuleDatabase(*h.store, WideFromUtf8(source.c_str()), MakeFiles(failStep)), c.expected);

        const bool restored = c.expected == RestoreResult::Restored;
        EXPECT_EQ(ReadBytes(db) == ReadBytes(good), restored);
        if (!restored) {
            EXPECT_EQ(Peer(db).Snapshot(), before);
        }
        EXPECT_TRUE(h.store->IsOpen());
        EXPECT_EQ(h.store->FindRuleByHotkey(L"Q7") > 0, restored) << "the next Q hotkey reads the file in use";
        EXPECT_EQ(h.store->FindRuleByHotkey(L"Q1") > 0, !restored);
        EXPECT_EQ(h.store->m_nExcludeCount, restored ? 1 : 0) << "the exclude list is reloaded";
        EXPECT_EQ(h.store->GetRuleHotkey(0), restored ? L"Q7" : L"Q2");
        if (!restored) {
            EXPECT_EQ(h.store->m_nCurRuleId, shown) << "a title bound next goes to the rule on screen";
        }
        int id = 0;
        EXPECT_EQ(h.store->AddExclude(L"after", &id, 0), 0) << "the store still writes";
        for (const char* leftover : {".restore", ".previous"})
            EXPECT_EQ(fs::exists(db + leftover), c.source == leftover) << leftover;
        EXPECT_FALSE(fs::exists(backups.File("gone.data")));
        if (restored && staleJournal) {
            EXPECT_FALSE(fs::exists(db + "-journal"));
        }
    }
}

// Shared by the rule store tests: temporary copies of the generated rule database and a second
// connection (the system's SQLite) to look at or lock the file behind the store's back.
#pragma once

#include <sqlite3.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "rules/core/RuleStore.h"
#include "rules/core/SqliteApi.h"

#ifndef TESSORA_RULE_DB_PATH
#error "TESSORA_RULE_DB_PATH must name the generated rule database"
#endif

static inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << Utf8FromWide(s.GetString()) << '"'; }

namespace rules_test {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it.
class TempDir {
public:
    TempDir() : m_path((fs::temp_directory_path() / "tessora-rules-XXXXXX").string()) {
        if (!mkdtemp(m_path.data())) throw std::runtime_error("mkdtemp failed");
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;

    std::string File(const std::string& name) const { return m_path + "/" + name; }
    CString Dir() const { return WideFromUtf8((m_path + "/").c_str()); }

private:
    std::string m_path;
};

// The parts streamed one after another: Str("id=", 5) is "id=5".
template <typename... T>
std::string Str(const T&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string CopyShippedDb(const TempDir& dir, const std::string& name = "pomlet64.dll") {
    WriteBytes(dir.File(name), ReadBytes(TESSORA_RULE_DB_PATH));
    return dir.File(name);
}

// A second connection to a database file, for setting up, inspecting and locking.
class Peer {
public:
    explicit Peer(const std::string& path) { sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr); }
    ~Peer() { sqlite3_close(m_db); }
    Peer(const Peer&) = delete;

    int Exec(const std::string& sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }
    // Rows as text, cells joined by '|', NULL as "~".
    std::vector<std::string> Rows(const std::string& sql) {
        std::vector<std::string> rows;
        auto collect = [](void* arg, int n, char** cells, char**) {
            std::string row;
            for (int i = 0; i < n; ++i) row += (i ? "|" : "") + std::string(cells[i] ? cells[i] : "~");
            static_cast<std::vector<std::string>*>(arg)->push_back(row);
            return 0;
        };
        sqlite3_exec(m_db, sql.c_str(), collect, &rows, nullptr);
        return rows;
    }
    std::string One(const std::string& sql) {
        auto rows = Rows(sql);
        return rows.empty() ? std::string() : rows.front();
    }
    long long Count(const std::string& table, const std::string& where = "1") {
        return std::atoll(One("SELECT COUNT(*) FROM " + table + " WHERE " + where).c_str());
    }
    // A rule written behind the store's back: name "r" + hotkey, then (type, active) per screen.
    int PutRule(const std::string& hotkey, std::initializer_list<std::pair<int, int>> screens) {
        Exec(Str("INSERT INTO user_define (name, hotkey) VALUES ('r", hotkey, "', '", hotkey, "')"));
        const int id = std::stoi(One("SELECT MAX(id) FROM user_define"));
        int s = 1;
        for (auto [type, active] : screens)
            Exec(Str("INSERT INTO user_define_detail (define_id, screen_id, type_id, active) VALUES (", id, ",", s++, ",",
                     type, ",", active, ")"));
        return id;
    }
    void PutZones(int typeId, int count) {
        for (int i = 0; i < count; ++i)
            Exec(Str("INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) VALUES (99, ", typeId,
                     ", 0.1, 0.2, 0.3, 0.4)"));
    }
    void PutTitle(int rule, int screen, int region, const std::string& text) {
        Exec(Str("INSERT INTO select_file (define_id, screen_id, region_id, file_path, type) VALUES (", rule, ",", screen,
                 ",", region, ",'", text, "','x')"));
    }
    // Every row of the five tables, for before/after comparisons.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> all;
        for (const char* t : {"user_define", "user_define_detail", "user_define_type", "select_file", "exclude_file"})
            for (auto& r : Rows(std::string("SELECT '") + t + "', * FROM " + t + " ORDER BY id")) all.push_back(r);
        return all;
    }

private:
    sqlite3* m_db = nullptr;
};

// The rule store over the database in dir, with a fixed monitor count; counts fatal calls.
struct StoreHarness {
    explicit StoreHarness(const TempDir& dir, int monitors = 1, const SqliteApi* api = NativeSqliteApi())
        : monitorCount(monitors) {
        RuleStoreHost host;
        host.sqlite = api;
        host.programDir = dir.Dir();
        host.isFile = NativeIsRegularFile;
        host.monitorCount = [this] { return monitorCount; };
        host.fatalStartError = [this] { ++fatalCalls; };
        store = std::make_unique<CRuleStore>(host);
    }
    int monitorCount;
    int fatalCalls = 0;
    std::unique_ptr<CRuleStore> store;
};

// A captured zone as the editor holds it.
inline RegionNode Zone(int typeId, double x, double y, double w, double h, int deleted = 0) {
    return {0, 1, TYPE_FLG_USER, typeId, x, y, w, h, deleted};
}

inline std::vector<ScreenTypeEntry> Entries(std::initializer_list<std::pair<int, int>> typeAndActive) {
    std::vector<ScreenTypeEntry> v;
    for (auto [type, active] : typeAndActive) v.push_back({0, type, active, 0});
    return v;
}

inline std::string U(const CString& s) { return Utf8FromWide(s.GetString()); }

}  // namespace rules_test

// Shared by the rule store tests: temporary copies of the generated rule database and a second
// connection (the system's SQLite) to look at or lock the file behind the store's back.
#pragma once

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "rules/core/RuleStore.h"
#include "rules/core/SqliteApi.h"

#ifndef TESSORA_RULE_DB_PATH
#error "TESSORA_RULE_DB_PATH must name the generated rule database"
#endif

// Readable failure messages for texts.
static inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << Utf8FromWide(s.GetString()) << '"'; }

namespace rules_test {

namespace fs = std::filesystem;

// A fresh directory that is removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "tessora-rules-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) m_path = buf.data();
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_path.empty()) {
            fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
            fs::remove_all(m_path, ec);
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    CString Dir() const { return WideFromUtf8((m_path + "/").c_str()); }

private:
    std::string m_path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The generated database copied into dir as pomlet64.dll.
inline std::string CopyShippedDb(const TempDir& dir, const std::string& name = "pomlet64.dll") {
    const std::string target = dir.File(name);
    WriteBytes(target, ReadBytes(TESSORA_RULE_DB_PATH));
    return target;
}

// A second connection to a database file, for setting up, inspecting and locking.
class Peer {
public:
    explicit Peer(const std::string& path) { sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr); }
    ~Peer() { sqlite3_close(m_db); }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    int Exec(const std::string& sql) { return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr); }

    // Rows as text, cells joined by '|', NULL as "~".
    std::vector<std::string> Rows(const std::string& sql) {
        std::vector<std::string> rows;
        sqlite3_exec(
            m_db, sql.c_str(),
            [](void* arg, int n, char** cells, char**) {
                std::string row;
                for (int i = 0; i < n; ++i) row += (i ? "|" : "") + std::string(cells[i] ? cells[i] : "~");
                static_cast<std::vector<std::string>*>(arg)->push_back(row);
                return 0;
            },
            &rows, nullptr);
        return rows;
    }

    std::string One(const std::string& sql) {
        auto rows = Rows(sql);
        return rows.empty() ? std::string() : rows.front();
    }

    long long Count(const std::string& table, const std::string& where = "1") {
        return std::atoll(One("SELECT COUNT(*) FROM " + table + " WHERE " + where).c_str());
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

// The rule store over a database in dir, with a fixed monitor count. Counts fatal calls.
struct StoreHarness {
    explicit StoreHarness(const TempDir& dir, int monitors = 1, const SqliteApi* api = NativeSqliteApi()) {
        RuleStoreHost host;
        host.sqlite = api;
        host.programDir = dir.Dir();
        host.isFile = NativeIsRegularFile;
        host.monitorCount = [this] { return monitorCount; };
        host.fatalStartError = [this] { ++fatalCalls; };
        monitorCount = monitors;
        store = std::make_unique<CRuleStore>(host);
    }
    int monitorCount = 1;
    int fatalCalls = 0;
    std::unique_ptr<CRuleStore> store;
};

inline RegionNode Zone(int typeFlg, int typeId, double x, double y, double w, double h, int deleted = 0) {
    RegionNode n;
    n.type_flg = typeFlg;
    n.type_id = typeId;
    n.x = x;
    n.y = y;
    n.width = w;
    n.height = h;
    n.deleted = deleted;
    return n;
}

inline std::vector<ScreenTypeEntry> Entries(std::initializer_list<std::pair<int, int>> typeAndActive) {
    std::vector<ScreenTypeEntry> v;
    for (auto [type, active] : typeAndActive) v.push_back({0, type, active, 0});
    return v;
}

inline CString W(const char* utf8) { return WideFromUtf8(utf8); }
inline std::string U(const CString& s) { return Utf8FromWide(s.GetString()); }

}  // namespace rules_test

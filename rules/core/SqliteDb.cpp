#include "rules/core/SqliteDb.h"

#include <cstring>
#include <utility>

#include "rules/core/SqlText.h"

const wchar_t RULE_DB_FILE_NAME[] = L"pomlet64.dll";

namespace {

// Every statement the store runs, kept together. Text values go into '%s' already escaped.
namespace sql {
const char DeleteExcludeFile[] = "DELETE FROM exclude_file WHERE id=%d;";
const char DeleteSelectFile[] = "DELETE FROM select_file WHERE id=%d;";
const char DeleteUserDefineType[] = "DELETE FROM user_define_type WHERE type_flg = 99 AND type_id=%d;";
// Captured types first: they are found through the rule's detail rows.
const char DeleteRuleTypes[] =
    "DELETE FROM user_define_type WHERE type_flg>=99 AND type_id IN (SELECT type_id FROM user_define_detail "
    "WHERE del_flg=0 AND define_id=%d);";
const char DeleteRule[] = "DELETE FROM user_define WHERE id=%d;";
const char DeleteRuleDetails[] = "DELETE FROM user_define_detail WHERE define_id=%d;";
const char DeleteRuleTitles[] = "DELETE FROM select_file WHERE define_id=%d;";
const char InsertUserDefineType[] =
    "INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) values(%d, %d, %f, %f, %f, %f);";
const char InsertUserDefineDetail[] =
    "INSERT INTO user_define_detail (define_id, screen_id, type_id, active) values(%d, %d, %d, %d);";
const char UpdateUserDefineDetail[] =
    "UPDATE user_define_detail SET type_id=%d, active=%d WHERE define_id=%d AND screen_id=%d;";
const char SetUserDefineDetailActive[] = "UPDATE user_define_detail SET active=%d WHERE define_id=%d AND screen_id=%d;";
const char UpdateUserDefine[] = "UPDATE user_define SET name='%s', hotkey='%s' WHERE id=%d;";
const char InsertUserDefine[] =
    "INSERT into user_define (name, hotkey) values('%s','%s'); select last_insert_rowid() FROM user_define;";
const char InsertExcludeFile[] =
    "INSERT into exclude_file (name, file_path, type) values('%s','%s','%s'); select last_insert_rowid() FROM "
    "exclude_file;";
const char InsertSelectFile[] =
    "insert into select_file (define_id, screen_id, region_id, file_path, type) values(%d,%d,%d,'%s','%s');"
    "select last_insert_rowid() FROM select_file;";
const char GetUserDefines[] = "SELECT * FROM user_define ORDER BY id DESC";
const char FindUserDefineByHotkey[] = "SELECT id FROM user_define WHERE hotkey='%s';";
const char GetUserDefineWithDetails[] =
    "SELECT ud.name, ud.hotkey, udd.type_id, udd.active FROM user_define ud LEFT JOIN user_define_detail udd ON "
    "ud.id=udd.define_id WHERE ud.id=%d ORDER BY udd.screen_id;";
const char GetUserDefineDetails[] = "SELECT * FROM user_define_detail WHERE define_id = %d;";
const char GetUserDefineDetailByScreen[] = "SELECT * FROM user_define_detail WHERE define_id = %d AND screen_id = %d;";
const char GetUserDefineTypes[] = "SELECT * FROM user_define_type ORDER BY type_flg, id";
const char GetUserDefineTypeById[] = "SELECT * FROM user_define_type WHERE type_id = %d ORDER BY id;";
const char GetSelectFiles[] = "SELECT * FROM select_file WHERE define_id = %d;";
const char GetSelectFilesByRegion[] =
    "SELECT id, define_id, screen_id, region_id, file_path, type FROM select_file WHERE define_id='%d' AND "
    "screen_id='%d' AND region_id='%d';";
const char GetActiveLayout[] =
    "SELECT udd.screen_id, udd.type_id, udd.active, sf.region_id, sf.type, sf.file_path FROM user_define_detail udd "
    "LEFT JOIN select_file sf ON udd.define_id=sf.define_id AND udd.screen_id = sf.screen_id WHERE "
    "udd.define_id='%d' AND udd.active = 1 ORDER BY udd.screen_id, udd.type_id, sf.region_id;";
const char GetExcludeFiles[] = "SELECT * FROM exclude_file WHERE del_flg = 0;";
const char GetMaxTypeId[] = "SELECT MAX(type_id) FROM user_define_detail;";
const char CheckUserDefine[] = "SELECT * FROM user_define";
const char TableInfo[] = "PRAGMA table_info(%s);";
const char QuickCheck[] = "PRAGMA quick_check;";
const char BusyTimeout[] = "PRAGMA busy_timeout=%d;";
const char Begin[] = "BEGIN IMMEDIATE;";
const char Commit[] = "COMMIT;";
const char Rollback[] = "ROLLBACK;";
}  // namespace sql

// The rule tables as the readers take them: columns by position, and the columns that are
// compared with quoted numbers need integer affinity (a declared type containing "INT").
struct ColumnSpec {
    const char* name;
    bool integerAffinity;
};
struct TableSpec {
    const char* name;
    ColumnSpec columns[8];
};
const TableSpec kRuleTables[] = {
    {"user_define", {{"id", false}, {"name", false}, {"hotkey", false}}},
    {"user_define_detail",
     {{"id", false}, {"define_id", true}, {"screen_id", false}, {"type_id", false}, {"active", false},
      {"del_flg", false}}},
    {"user_define_type",
     {{"id", false}, {"type_flg", false}, {"type_id", false}, {"x", false}, {"y", false}, {"width", false},
      {"height", false}}},
    {"select_file",
     {{"id", false}, {"define_id", true}, {"screen_id", true}, {"region_id", true}, {"file_path", false},
      {"type", false}}},
    {"exclude_file", {{"id", false}, {"name", false}, {"file_path", false}, {"type", false}, {"del_flg", false}}},
};

bool SameName(const char* a, const char* b) {
    if (!a || !b) return false;
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return *a == *b;
}

bool HasIntegerAffinity(const char* declaredType) {
    if (!declaredType) return false;
    for (const char* p = declaredType; p[0] && p[1] && p[2]; ++p)
        if ((p[0] | 0x20) == 'i' && (p[1] | 0x20) == 'n' && (p[2] | 0x20) == 't') return true;
    return false;
}

}  // namespace

// ---- ResultTable

ResultTable::ResultTable(const SqliteApi* api, char** cells, int rows, int cols)
    : m_api(api), m_cells(cells), m_rows(cells && rows > 0 ? rows : 0), m_cols(cells && cols > 0 ? cols : 0) {}

ResultTable::ResultTable(ResultTable&& other) noexcept
    : m_api(other.m_api), m_cells(std::exchange(other.m_cells, nullptr)), m_rows(std::exchange(other.m_rows, 0)),
      m_cols(std::exchange(other.m_cols, 0)) {}

ResultTable& ResultTable::operator=(ResultTable&& other) noexcept {
    if (this != &other) {
        Reset();
        m_api = other.m_api;
        m_cells = std::exchange(other.m_cells, nullptr);
        m_rows = std::exchange(other.m_rows, 0);
        m_cols = std::exchange(other.m_cols, 0);
    }
    return *this;
}

void ResultTable::Reset() {
    if (m_cells && m_api && m_api->FreeTable) m_api->FreeTable(m_cells);
    m_cells = nullptr;
    m_rows = m_cols = 0;
}

const char* ResultTable::Cell(int r, int c) const {
    if (!m_cells || r < 0 || r > m_rows || c < 0 || c >= m_cols) return nullptr;
    return m_cells[static_cast<size_t>(r) * m_cols + c];
}

int ResultTable::Int(int r, int c) const { return CellToInt(Cell(r, c)); }
double ResultTable::Real(int r, int c) const { return CellToDouble(Cell(r, c)); }
CString ResultTable::Text(int r, int c) const { return CellToText(Cell(r, c)); }

// ---- connection

CSqliteDb::CSqliteDb(const SqliteApi* api, FileCheck isFile) : m_api(api), m_isFile(std::move(isFile)) {}

int CSqliteDb::Close() {
    if (!m_pDb) return SQLITE_RESULT_OK;
    const int rc = ApiReady() ? m_api->Close(m_pDb) : SQLITE_RESULT_OK;
    m_pDb = nullptr;
    return rc;
}

int CSqliteDb::OpenRuleDb(const CString& programDir) {
    Close();
    const CString path = programDir + RULE_DB_FILE_NAME;
    if (!ApiReady() || !m_isFile || !m_isFile(path)) return SQLITE_RESULT_CANTOPEN;
    sqlite3* db = nullptr;
    const int rc = m_api->Open(Utf8FromWide(path.GetString()).c_str(), &db);
    if (rc != SQLITE_RESULT_OK) {
        if (db) m_api->Close(db);
        return rc;
    }
    // An empty or foreign file opens without complaint; every statement would then fail and
    // every edit be lost, so it is refused like a missing one. The wait covers only this first
    // read: a later statement that met a lock would hold the window thread.
    ExecOn(db, BuildSql(sql::BusyTimeout, {kRuleDbOpenWaitMs}));
    const bool usable = HasRuleTables(db);
    ExecOn(db, BuildSql(sql::BusyTimeout, {0}));
    if (!usable) {
        m_api->Close(db);
        return SQLITE_RESULT_NOTADB;
    }
    m_pDb = db;
    return SQLITE_RESULT_OK;
}

int CSqliteDb::CheckRuleFile(const CString& path) {
    if (!ApiReady() || !m_isFile || !m_isFile(path)) return -1;
    sqlite3* db = nullptr;
    const int rc = m_api->Open(Utf8FromWide(path.GetString()).c_str(), &db);
    bool usable = rc == SQLITE_RESULT_OK && db;
    if (usable) usable = !QueryOn(db, sql::CheckUserDefine).IsNull();
    if (usable) usable = HasRuleTables(db);
    if (usable) {
        const ResultTable check = QueryOn(db, sql::QuickCheck);
        usable = check.Rows() == 1 && SameName(check.Cell(1, 0), "ok");
    }
    if (db) m_api->Close(db);
    return usable ? 0 : -1;
}

bool CSqliteDb::HasRuleTables(sqlite3* db) {
    for (const TableSpec& table : kRuleTables) {
        const CString name = WideFromUtf8(table.name);
        const ResultTable info = QueryOn(db, BuildSql(sql::TableInfo, {name}));
        // PRAGMA table_info: cid, name, type, notnull, dflt_value, pk; no rows for a missing table.
        int expected = 0;
        while (expected < 8 && table.columns[expected].name) ++expected;
        if (info.IsNull() || info.Rows() < expected || info.Cols() < 3) return false;
        for (int i = 0; i < expected; ++i) {
            if (!SameName(info.Cell(i + 1, 1), table.columns[i].name)) return false;
            if (table.columns[i].integerAffinity && !HasIntegerAffinity(info.Cell(i + 1, 2))) return false;
        }
    }
    return true;
}

int CSqliteDb::ExecOn(sqlite3* db, const std::string& text) {
    if (!db || !ApiReady()) return SQLITE_RESULT_ERROR;
    m_pszErrMsg = nullptr;
    const int rc = m_api->Exec(db, text.c_str(), nullptr, nullptr, &m_pszErrMsg);
    if (m_pszErrMsg) m_api->Free(m_pszErrMsg);
    m_pszErrMsg = nullptr;
    return rc;
}

ResultTable CSqliteDb::QueryOn(sqlite3* db, const std::string& text) {
    if (!db || !ApiReady()) return ResultTable();
    char** cells = nullptr;
    int rows = 0, cols = 0;
    m_pszErrMsg = nullptr;
    const int rc = m_api->GetTable(db, text.c_str(), &cells, &rows, &cols, &m_pszErrMsg);
    if (m_pszErrMsg) m_api->Free(m_pszErrMsg);
    m_pszErrMsg = nullptr;
    if (rc != SQLITE_RESULT_OK) {
        if (cells) m_api->FreeTable(cells);
        return ResultTable();
    }
    return ResultTable(m_api, cells, rows, cols);
}

int CSqliteDb::InsertReadBack(const std::string& text, int* newId) {
    const ResultTable table = Query(text);
    // The read-back yields one row per row of the table, each the new id; the first is taken.
    if (table.IsNull() || table.Rows() < 1) return 1;
    if (newId) *newId = table.Int(1, 0);
    return 0;
}

// ---- writes

int CSqliteDb::DeleteExcludeFile(int id) { return Exec(BuildSql(sql::DeleteExcludeFile, {id})); }

int CSqliteDb::DeleteSelectFile(int id) { return Exec(BuildSql(sql::DeleteSelectFile, {id})); }

int CSqliteDb::DeleteUserDefineType(int typeId) { return Exec(BuildSql(sql::DeleteUserDefineType, {typeId})); }

int CSqliteDb::DeleteUserDefine(int ruleId) {
    CSqliteTransaction tx(*this);
    if (tx.Result() != SQLITE_RESULT_OK) return tx.Result();
    for (const char* statement : {sql::DeleteRuleTypes, sql::DeleteRule, sql::DeleteRuleDetails, sql::DeleteRuleTitles}) {
        const int rc = Exec(BuildSql(statement, {ruleId}));
        if (rc != SQLITE_RESULT_OK) return rc;
    }
    return tx.Commit();
}

int CSqliteDb::DeleteRuleLeftovers(int ruleId) {
    for (const char* statement : {sql::DeleteRuleDetails, sql::DeleteRuleTitles}) {
        const int rc = Exec(BuildSql(statement, {ruleId}));
        if (rc != SQLITE_RESULT_OK) return rc;
    }
    return SQLITE_RESULT_OK;
}

int CSqliteDb::InsertUserDefineType(int typeFlg, int typeId, double x, double y, double width, double height) {
    return Exec(BuildSql(sql::InsertUserDefineType, {typeFlg, typeId, x, y, width, height}));
}

int CSqliteDb::InsertUserDefineDetail(int defineId, int screenId, int typeId, int active) {
    return Exec(BuildSql(sql::InsertUserDefineDetail, {defineId, screenId, typeId, active}));
}

int CSqliteDb::UpdateUserDefineDetail(int defineId, int screenId, int typeId, int active) {
    return Exec(BuildSql(sql::UpdateUserDefineDetail, {typeId, active, defineId, screenId}));
}

int CSqliteDb::SetUserDefineDetailActive(int defineId, int screenId, int active) {
    return Exec(BuildSql(sql::SetUserDefineDetailActive, {active, defineId, screenId}));
}

int CSqliteDb::UpdateUserDefine(const CString& name, const CString& hotkey, int id) {
    return Exec(BuildSql(sql::UpdateUserDefine, {name, hotkey, id}));
}

int CSqliteDb::InsertUserDefine(const CString& name, const CString& hotkey, int* newId) {
    return InsertReadBack(BuildSql(sql::InsertUserDefine, {name, hotkey}), newId);
}

int CSqliteDb::InsertExcludeFile(const CString& name, const CString& filePath, const CString& type, int* newId) {
    return InsertReadBack(BuildSql(sql::InsertExcludeFile, {name, filePath, type}), newId);
}

int CSqliteDb::InsertSelectFile(int defineId, int screenId, int regionId, const CString& filePath,
                                const CString& type, int* newId) {
    return InsertReadBack(BuildSql(sql::InsertSelectFile, {defineId, screenId, regionId, filePath, type}), newId);
}

// ---- queries

ResultTable CSqliteDb::GetUserDefines() { return Query(sql::GetUserDefines); }

ResultTable CSqliteDb::FindUserDefineByHotkey(const CString& hotkey) {
    return Query(BuildSql(sql::FindUserDefineByHotkey, {hotkey}));
}

ResultTable CSqliteDb::GetUserDefineWithDetails(int ruleId) {
    return Query(BuildSql(sql::GetUserDefineWithDetails, {ruleId}));
}

ResultTable CSqliteDb::GetUserDefineDetails(int ruleId) { return Query(BuildSql(sql::GetUserDefineDetails, {ruleId})); }

ResultTable CSqliteDb::GetUserDefineDetailByScreen(int ruleId, int screenId) {
    return Query(BuildSql(sql::GetUserDefineDetailByScreen, {ruleId, screenId}));
}

ResultTable CSqliteDb::GetUserDefineTypes() { return Query(sql::GetUserDefineTypes); }

ResultTable CSqliteDb::GetUserDefineTypeById(int typeId) { return Query(BuildSql(sql::GetUserDefineTypeById, {typeId})); }

ResultTable CSqliteDb::GetSelectFiles(int ruleId) { return Query(BuildSql(sql::GetSelectFiles, {ruleId})); }

ResultTable CSqliteDb::GetSelectFilesByRegion(int ruleId, int screenId, int regionId) {
    return Query(BuildSql(sql::GetSelectFilesByRegion, {ruleId, screenId, regionId}));
}

ResultTable CSqliteDb::GetActiveLayout(int ruleId) { return Query(BuildSql(sql::GetActiveLayout, {ruleId})); }

ResultTable CSqliteDb::GetExcludeFiles() { return Query(sql::GetExcludeFiles); }

int CSqliteDb::GetMaxTypeId(int* maxTypeId) {
    const ResultTable table = Query(sql::GetMaxTypeId);
    if (table.IsNull()) return 1;
    // MAX over no rows is NULL, which reads as 0.
    if (maxTypeId) *maxTypeId = table.Int(1, 0);
    return 0;
}

// ---- transactions

int CSqliteDb::BeginTransaction() { return Exec(sql::Begin); }
int CSqliteDb::CommitTransaction() { return Exec(sql::Commit); }
void CSqliteDb::RollbackTransaction() { Exec(sql::Rollback); }

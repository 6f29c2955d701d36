// The connection to the rule database and one operation per statement the rule store runs.
#pragma once

#include <functional>
#include <string>

#include "framework/CString.h"
#include "rules/core/SqliteApi.h"

// File name of the rule database in the program directory.
extern const wchar_t RULE_DB_FILE_NAME[];

// Non-zero open results of our own (the engine's codes for the same conditions).
constexpr int SQLITE_RESULT_CANTOPEN = 14;  // the file is missing or the engine is not loaded
constexpr int SQLITE_RESULT_NOTADB = 26;    // not a database, or not one with the rule tables

// How long opening waits for a lock that another program (a backup tool, an SQLite browser
// mid-write) holds on the file before giving up.
constexpr int kRuleDbOpenWaitMs = 5000;

// A table as the engine's get_table call returns it: row 0 holds the column names, rows
// 1..Rows() the data, each cell UTF-8 text or null for SQL NULL. Owns and frees the engine's
// memory; an empty (null) table stands for a failed query.
class ResultTable {
public:
    ResultTable() = default;
    ResultTable(const SqliteApi* api, char** cells, int rows, int cols);
    ~ResultTable() { Reset(); }
    ResultTable(ResultTable&& other) noexcept;
    ResultTable& operator=(ResultTable&& other) noexcept;
    ResultTable(const ResultTable&) = delete;
    ResultTable& operator=(const ResultTable&) = delete;

    bool IsNull() const { return m_cells == nullptr; }
    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    // Cell (r, c) for r = 1..Rows(), c = 0..Cols()-1; null outside the table or for SQL NULL.
    const char* Cell(int r, int c) const;
    int Int(int r, int c) const;
    double Real(int r, int c) const;
    CString Text(int r, int c) const;
    void Reset();

private:
    const SqliteApi* m_api = nullptr;
    char** m_cells = nullptr;
    int m_rows = 0;
    int m_cols = 0;
};

// True when the path names an existing regular file (not a directory). The program passes a
// GetFileAttributesW test; the engine itself would create a missing file.
using FileCheck = std::function<bool(const CString& path)>;

class CSqliteDb {
public:
    CSqliteDb(const SqliteApi* api, FileCheck isFile);
    ~CSqliteDb() { Close(); }
    CSqliteDb(const CSqliteDb&) = delete;
    CSqliteDb& operator=(const CSqliteDb&) = delete;

    // Opens programDir + "pomlet64.dll" (programDir ends in a separator). 0 = open. A missing
    // file, a file that is not a database or lacks the rule tables, and a missing engine all
    // fail; nothing is ever created. A lock held by another program is waited for up to
    // kRuleDbOpenWaitMs; later statements never wait.
    int OpenRuleDb(const CString& programDir);
    // 0 when the path names a usable rule database (all five tables with their columns, an
    // intact file), -1 otherwise. Uses a connection of its own and never creates a file.
    int CheckRuleFile(const CString& path);
    int Close();
    bool IsOpen() const { return m_pDb != nullptr; }

    // Writes: the engine's result, 0 = success.
    int DeleteExcludeFile(int id);
    int DeleteSelectFile(int id);
    int DeleteUserDefineType(int typeId);
    // The rule's captured types, the rule, its details and its title bindings, in one
    // transaction: all or nothing. Presets are never touched.
    int DeleteUserDefine(int ruleId);
    // Detail rows and title bindings that name a rule id no rule holds (left by a deletion
    // elsewhere), before a new rule takes the id.
    int DeleteRuleLeftovers(int ruleId);
    int InsertUserDefineType(int typeFlg, int typeId, double x, double y, double width, double height);
    int InsertUserDefineDetail(int defineId, int screenId, int typeId, int active);
    int UpdateUserDefineDetail(int defineId, int screenId, int typeId, int active);
    int SetUserDefineDetailActive(int defineId, int screenId, int active);
    int UpdateUserDefine(const CString& name, const CString& hotkey, int id);

    // Inserts that read the new id back: 0 = success (id written), 1 = failure (id untouched).
    int InsertUserDefine(const CString& name, const CString& hotkey, int* newId);
    int InsertExcludeFile(const CString& name, const CString& filePath, const CString& type, int* newId);
    int InsertSelectFile(int defineId, int screenId, int regionId, const CString& filePath, const CString& type,
                         int* newId);

    // Queries: the table, or a null table when the engine reports an error.
    ResultTable GetUserDefines();
    ResultTable FindUserDefineByHotkey(const CString& hotkey);
    ResultTable GetUserDefineWithDetails(int ruleId);
    ResultTable GetUserDefineDetails(int ruleId);
    ResultTable GetUserDefineDetailByScreen(int ruleId, int screenId);
    ResultTable GetUserDefineTypes();
    ResultTable GetUserDefineTypeById(int typeId);
    ResultTable GetSelectFiles(int ruleId);
    ResultTable GetSelectFilesByRegion(int ruleId, int screenId, int regionId);
    ResultTable GetActiveLayout(int ruleId);
    ResultTable GetExcludeFiles();
    // 0 and the largest type id that a rule uses (0 for none); 1 on failure, value untouched.
    int GetMaxTypeId(int* maxTypeId);

    // A write transaction around several statements. BEGIN IMMEDIATE takes the write lock at
    // once, so a locked or read-only file fails before anything is changed.
    int BeginTransaction();
    int CommitTransaction();
    void RollbackTransaction();

    sqlite3* m_pDb = nullptr;
    // Error text of the statement just run; released at once and never shown.
    char* m_pszErrMsg = nullptr;

private:
    int ExecOn(sqlite3* db, const std::string& sql);
    ResultTable QueryOn(sqlite3* db, const std::string& sql);
    int Exec(const std::string& sql) { return ExecOn(m_pDb, sql); }
    ResultTable Query(const std::string& sql) { return QueryOn(m_pDb, sql); }
    int InsertReadBack(const std::string& sql, int* newId);
    bool HasRuleTables(sqlite3* db);
    bool ApiReady() const { return m_api && m_api->IsComplete(); }

    const SqliteApi* m_api;
    FileCheck m_isFile;
};

// Commits on Commit(); rolls back when it goes out of scope uncommitted.
class CSqliteTransaction {
public:
    explicit CSqliteTransaction(CSqliteDb& db) : m_db(db), m_result(db.BeginTransaction()) {}
    ~CSqliteTransaction() {
        if (m_result == SQLITE_RESULT_OK && !m_committed) m_db.RollbackTransaction();
    }
    CSqliteTransaction(const CSqliteTransaction&) = delete;
    CSqliteTransaction& operator=(const CSqliteTransaction&) = delete;

    // The result of BEGIN: 0 when the transaction is open.
    int Result() const { return m_result; }
    int Commit() {
        if (m_result != SQLITE_RESULT_OK) return m_result;
        const int rc = m_db.CommitTransaction();
        m_committed = rc == SQLITE_RESULT_OK;
        return rc;
    }

private:
    CSqliteDb& m_db;
    int m_result;
    bool m_committed = false;
};

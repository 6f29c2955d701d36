// The SQLite engine as the rule store reaches it: six entry points of its C interface behind a
// table of function pointers. The program fills the table from qomb100.dll (rules/SqliteLibrary),
// the native build from the same engine linked in (NativeSqliteApi); tests may substitute entries.
#pragma once

struct sqlite3;  // the engine's connection, opaque here

struct SqliteApi {
    int (*Open)(const char* fileNameUtf8, sqlite3** db);
    int (*Exec)(sqlite3* db, const char* sql, int (*callback)(void*, int, char**, char**), void* arg,
                char** errMsg);
    int (*GetTable)(sqlite3* db, const char* sql, char*** result, int* rows, int* cols, char** errMsg);
    void (*FreeTable)(char** result);
    void (*Free)(void* p);
    int (*Close)(sqlite3* db);

    bool IsComplete() const { return Open && Exec && GetTable && FreeTable && Free && Close; }
};

// Engine result codes the store looks at.
constexpr int SQLITE_RESULT_OK = 0;
constexpr int SQLITE_RESULT_ERROR = 1;

#ifndef _WIN32
class CString;
// The shipped engine, built natively from the same pinned source and linked in.
const SqliteApi* NativeSqliteApi();
// The native counterpart of the program's file test: an existing regular file.
bool NativeIsRegularFile(const CString& path);
#endif

// Native builds link the system's SQLite; this fills the entry-point table from it. The program
// never compiles this: it loads the engine from its own library file at run time.
#ifndef _WIN32

#include "rules/core/SqliteApi.h"

#include <sys/stat.h>

#include "framework/CString.h"

extern "C" {
int sqlite3_open(const char* filename, sqlite3** db);
int sqlite3_exec(sqlite3* db, const char* sql, int (*callback)(void*, int, char**, char**), void* arg,
                 char** errmsg);
int sqlite3_get_table(sqlite3* db, const char* sql, char*** result, int* rows, int* cols, char** errmsg);
void sqlite3_free_table(char** result);
void sqlite3_free(void* p);
int sqlite3_close(sqlite3* db);
}

const SqliteApi* NativeSqliteApi() {
    static const SqliteApi api = {sqlite3_open,       sqlite3_exec, sqlite3_get_table,
                                  sqlite3_free_table, sqlite3_free, sqlite3_close};
    return &api;
}

bool NativeIsRegularFile(const CString& path) {
    struct stat st {};
    return stat(Utf8FromWide(path.GetString()).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

#endif

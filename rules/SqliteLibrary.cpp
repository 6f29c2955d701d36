#include "rules/SqliteLibrary.h"

#include <windows.h>

namespace {

const wchar_t SQLITE_LIBRARY_NAME[] = L"qomb100.dll";

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return slot != nullptr;
}

}  // namespace

const SqliteApi* LoadSqliteLibrary(const CString& programDir) {
    static SqliteApi api = {};
    static bool loaded = false;
    if (loaded) return &api;

    // A full path, so that no other copy of the engine on the search path is picked up.
    const CString path = programDir + SQLITE_LIBRARY_NAME;
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return nullptr;
    SqliteApi candidate = {};
    const bool complete = Resolve(module, "sqlite3_open", candidate.Open) &&
                          Resolve(module, "sqlite3_exec", candidate.Exec) &&
                          Resolve(module, "sqlite3_get_table", candidate.GetTable) &&
                          Resolve(module, "sqlite3_free_table", candidate.FreeTable) &&
                          Resolve(module, "sqlite3_free", candidate.Free) &&
                          Resolve(module, "sqlite3_close", candidate.Close);
    if (!complete) {
        FreeLibrary(module);
        return nullptr;
    }
    api = candidate;
    loaded = true;
    return &api;
}

bool IsExistingFile(const CString& path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

RuleStoreHost MakeRuleStoreHost(const CString& programDir, std::function<void()> fatalStartError) {
    RuleStoreHost host;
    host.sqlite = LoadSqliteLibrary(programDir);
    host.programDir = programDir;
    host.isFile = IsExistingFile;
    host.monitorCount = [] { return GetSystemMetrics(SM_CMONITORS); };
    host.fatalStartError = std::move(fatalStartError);
    return host;
}

#include "rules/RuleFiles.h"

#include <windows.h>

namespace {

bool SameFile(const CString& a, const CString& b) {
    // By identity, so that another spelling, a short name or a link of the database is caught.
    auto open = [](const CString& path) {
        return CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    HANDLE ha = open(a);
    HANDLE hb = open(b);
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    bool same = false;
    if (ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE && GetFileInformationByHandle(ha, &ia) &&
        GetFileInformationByHandle(hb, &ib))
        same = ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
               ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
    if (same) return true;
    wchar_t fa[MAX_PATH * 4] = {}, fb[MAX_PATH * 4] = {};
    return GetFullPathNameW(a, MAX_PATH * 4, fa, nullptr) && GetFullPathNameW(b, MAX_PATH * 4, fb, nullptr) &&
           lstrcmpiW(fa, fb) == 0;
}

}  // namespace

RestoreFiles MakeRestoreFiles() {
    RestoreFiles files;
    files.copy = [](const CString& from, const CString& to) { return CopyFileW(from, to, FALSE) != FALSE; };
    files.move = [](const CString& from, const CString& to) {
        return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    files.remove = [](const CString& path) {
        return DeleteFileW(path) || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
    };
    files.sameFile = SameFile;
    return files;
}

// The program directory, data-file paths beside the program, its own file version.
#pragma once

#include <windows.h>

#include "framework/CString.h"

// Directory of the running executable, always ending in a backslash.
CString GetModuleDirectory();
// The title of a path's last component; its extension through `ext` (the whole name when it has none).
CString SplitFileName(const CString& path, CString& ext);
// True when the path names an existing file or directory.
bool FileExists(const CString& path);

class CAppFiles {
public:
    CAppFiles() = default;
    ~CAppFiles() = default;
    CString GetRuleDbPath();
    CString GetAppFilePath(const CString& fileName) const;
    CString GetFileNameFromPath(const CString& path, int keepExtension) const;
    // The four parts of the module's file version joined by ".", or empty.
    CString GetModuleVersionString(HMODULE module) const;

private:
    CString m_strRuleDbName;
};

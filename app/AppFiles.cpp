#include "app/AppFiles.h"

#include <vector>

#include "app/core/PathText.h"

CString GetModuleDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash) slash[1] = L'\0';
    return CString(path);
}

CString SplitFileName(const CString& path, CString& ext) { return SplitPathFileName(path, ext); }

bool FileExists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

CString CAppFiles::GetRuleDbPath() {
    m_strRuleDbName = L"pomlet64.dll";
    return GetAppFilePath(m_strRuleDbName);
}

CString CAppFiles::GetAppFilePath(const CString& fileName) const {
    CString path;
    path.Format(L"%s%s", GetModuleDirectory().GetString(), fileName.GetString());
    return path;
}

CString CAppFiles::GetFileNameFromPath(const CString& path, int keepExtension) const {
    return FileNameFromPath(path, keepExtension);
}

CString CAppFiles::GetModuleVersionString(HMODULE module) const {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(module, path, MAX_PATH)) return CString();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size < 1) return CString();
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLen = 0;
    if (!GetFileVersionInfoW(path, 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoLen) || !info ||
        infoLen < sizeof(VS_FIXEDFILEINFO))
        return CString();
    CString version;
    version.Format(L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                   HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return version;
}

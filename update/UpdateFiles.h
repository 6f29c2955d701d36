// The update description: the files the maker publishes, read from XML, and which of them are
// missing or older on this computer.
#pragma once

#include <windows.h>

#include <list>

#include "framework/AfxFile.h"
#include "framework/CString.h"

struct IXMLDOMNodeList;

class CUpdateFile {
public:
    explicit CUpdateFile(const CString& fullLocalPath);
    virtual ~CUpdateFile() = default;

    // Whether the installed copy is missing or older than this entry; a true answer is kept.
    bool NeedsUpdate();
    HRESULT ReadVersionInfo(const CString& path, VS_FIXEDFILEINFO& info);

    CString m_strFileName;
    CString m_strFileVersion;
    CString m_strProductVersion;
    LONGLONG m_nLength = 0;
    FILETIME m_ftFileDate = {};
    CString m_strInstallDir = L"CURRENTDIR";
    bool m_bRegister = false;
    bool m_bZipFile = false;
    bool m_bForceOverwrite = false;
    bool m_bExecute = false;
    CString m_strExecutePar;
    CString m_strLocalPath;
    CString m_strURL;
    CString m_strUserName;
    CString m_strPassword;
    CString m_strFullLocalPath;
    VS_FIXEDFILEINFO m_fixedInfo = {};
    bool m_bNeedsUpdate = false;
};

HRESULT GetFileLastWriteTime(const CString& path, FILETIME& time);

class CUpdateFiles {
public:
    CUpdateFiles();
    virtual ~CUpdateFiles();
    CUpdateFiles(const CUpdateFiles&) = delete;
    CUpdateFiles& operator=(const CUpdateFiles&) = delete;

    // Replaces the entries with those of the document; false (and no entries) when it cannot
    // be read, is not well-formed, declares a document type, or is too large to be a description
    // (in bytes or in entries). An entry whose name or local path is not plain (see
    // update::IsPlainFileName) is left out, and the rest stand.
    bool LoadXml(const CString& path);
    int CountFilesToUpdate();
    DWORD GetTotalLength();
    CUpdateFile* PopFront();
    // The entry for the program itself (its file name matches the executable's), unlinked;
    // the caller deletes it. Null when the description has none.
    CUpdateFile* PopOwnEntry(const CString& exeName);
    void RemoveAll();
    int GetCount();

    // Directories an entry may name; fixed at construction.
    wchar_t m_szProgramDir[MAX_PATH] = {};
    wchar_t m_szWindowsDir[MAX_PATH] = {};
    wchar_t m_szSystemDir[MAX_PATH] = {};

private:
    bool ParseFileNodes(IXMLDOMNodeList* nodes);
    CString FullLocalPath(const CUpdateFile& entry) const;

    std::list<CUpdateFile*> m_files;
    CCriticalSection m_lock;
};

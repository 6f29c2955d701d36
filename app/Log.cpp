#include "app/Log.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/AppFiles.h"

CLog::CLog() = default;

CLog::~CLog() { m_file.Abort(); }

SYSTEMTIME CLog::Now() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t;
}

bool CLog::Log(const wchar_t* text) {
    CString line = FormatLinePrefix();
    line += text ? text : L"";
    line += L"\r\n";
    return WriteLine(line);
}

CString CLog::FormatLinePrefix() {
    const SYSTEMTIME now = Now();
    CString prefix;
    prefix.Format(L"[%04d-%02d-%02d %02d:%02d:%02d.%03d", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
    prefix.AppendFormat(L" %04d]", static_cast<int>(GetCurrentThreadId()));
    prefix += L" -> ";
    // the whole date, not only the day of the month: an idle month must not keep the old file
    if (now.wDay != m_nLastDay || now.wMonth != m_nLastMonth || now.wYear != m_nLastYear) {
        m_nLastDay = now.wDay;
        m_nLastMonth = now.wMonth;
        m_nLastYear = now.wYear;
        Open(now);
    }
    return prefix;
}

void CLog::Open(const SYSTEMTIME& now) {
    if (m_strDirectory.IsEmpty()) m_strDirectory.Format(L"%s/Log/", GetModuleDirectory().GetString());
    if (!PathFileExistsW(m_strDirectory)) {
        CString native(m_strDirectory);
        native.Replace(L"/", L"\\");
        SHCreateDirectoryExW(nullptr, native, nullptr);
    }
    CString name;
    name.Format(L"%04d-%02d.log", now.wYear, now.wMonth);
    if (!m_strPrefix.IsEmpty()) name = m_strPrefix + name;
    m_strFileName = name;
    OpenFile();
    if (m_bDeleteOldLogs) DeleteOldLogs(now);
}

void CLog::OpenFile() {
    CSingleLock hold(&m_lock);
    m_file.Abort();
    const CString path = m_strDirectory + m_strFileName;
    const bool existed = PathFileExistsW(path) != FALSE;
    CFileException error;
    UINT flags = CFile::modeWrite | CFile::shareDenyNone;
    if (!existed) flags |= CFile::modeCreate;
    if (!m_file.Open(path, flags, &error)) {
        if (!m_bFailureReported) {
            m_bFailureReported = true;
            error.ReportError(MB_OK);
        }
        return;
    }
    m_bFailureReported = false;
    try {
        if (!existed) {
            static const BYTE bom[2] = {0xFF, 0xFE};
            m_file.Write(bom, 2);
        }
        m_file.SeekToEnd();
    } catch (CException* e) {
        e->Delete();
        m_file.Abort();
    }
}

void CLog::DeleteOldLogs(const SYSTEMTIME& now) {
    // local midnight m_nKeepDays calendar days ago
    SYSTEMTIME midnight = now;
    midnight.wHour = midnight.wMinute = midnight.wSecond = midnight.wMilliseconds = 0;
    FILETIME localMidnight;
    if (!SystemTimeToFileTime(&midnight, &localMidnight)) return;
    ULARGE_INTEGER t;
    t.LowPart = localMidnight.dwLowDateTime;
    t.HighPart = localMidnight.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(m_nKeepDays) * 24ULL * 3600ULL * 10000000ULL;
    FILETIME localThreshold = {t.LowPart, t.HighPart};
    SYSTEMTIME localDay;
    FileTimeToSystemTime(&localThreshold, &localDay);
    // the platform decides daylight saving for that local midnight
    SYSTEMTIME utcDay;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &localDay, &utcDay)) return;
    FILETIME threshold;
    SystemTimeToFileTime(&utcDay, &threshold);

    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(m_strDirectory + L"*.log", &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (CompareFileTime(&found.ftLastWriteTime, &threshold) < 0)
            DeleteFileW(m_strDirectory + found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

bool CLog::WriteLine(const CString& line) {
    CSingleLock hold(&m_lock);
    try {
        m_file.Write(line.GetString(), static_cast<UINT>(line.GetLength() * sizeof(wchar_t)));
        return true;
    } catch (CException* e) {
        if (!m_bFailureReported) {
            m_bFailureReported = true;
            e->ReportError(MB_OK);
        }
        e->Delete();
    } catch (...) {
    }
    return false;
}

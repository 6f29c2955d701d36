// The application log: one UTF-16LE file per month in Log\ beside the program.
#pragma once

#include <windows.h>

#include "framework/AfxFile.h"
#include "framework/CString.h"

class CLog {
public:
    CLog();
    virtual ~CLog();

    // Appends one time-stamped line; false when it could not be written.
    bool Log(const wchar_t* text);

    CString m_strFileName;
    CString m_strPrefix;
    CString m_strDirectory;
    int m_nLastDay = 0;
    BYTE m_bDeleteOldLogs = 1;
    int m_nKeepDays = 7;

protected:
    // The local time; tests move the clock.
    virtual SYSTEMTIME Now() const;

private:
    CString FormatLinePrefix();
    void Open(const SYSTEMTIME& now);
    void OpenFile();
    void DeleteOldLogs(const SYSTEMTIME& now);
    bool WriteLine(const CString& line);

    // The date of the last line, so that a new day or month reopens the file.
    int m_nLastYear = 0;
    int m_nLastMonth = 0;
    // One failure box, then silence until a file opens again: the log is written from the
    // hotkey path, where a box per line would pile up.
    bool m_bFailureReported = false;
    CCriticalSection m_lock;
    CFile m_file;
};

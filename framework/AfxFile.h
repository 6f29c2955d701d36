// Files and locks of the framework layer.
#pragma once

#include <windows.h>

#include "framework/AfxWin.h"

class CFileException : public CException {
public:
    CFileException(LONG osError = 0, const wchar_t* fileName = nullptr)
        : m_lOsError(osError), m_strFileName(fileName) {}
    CString GetErrorMessage() const override;
    LONG m_lOsError;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        // added to any of the above: the file may be deleted while it is open
        shareAllowDelete = 0x00100000,
        modeNoTruncate = 0x2000,
        modeCreate = 0x1000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False with the error in *error (when given) on failure; never throws.
    BOOL Open(const wchar_t* path, UINT flags, CFileException* error = nullptr);
    // These throw a CFileException* on failure, as the framework's files do.
    void Write(const void* data, UINT count);
    UINT Read(void* data, UINT count);
    ULONGLONG SeekToEnd();
    ULONGLONG GetLength() const;
    void Close();
    // Closes without reporting anything.
    void Abort();
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    BOOL Lock() { EnterCriticalSection(&m_sect); return TRUE; }
    BOOL Unlock() { LeaveCriticalSection(&m_sect); return TRUE; }

private:
    CRITICAL_SECTION m_sect;
};

// Holds a critical section for one scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* cs) : m_cs(cs) { m_cs->Lock(); }
    ~CSingleLock() { m_cs->Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection* m_cs;
};

#include "framework/AfxFile.h"

CString CFileException::GetErrorMessage() const {
    wchar_t* sys = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(m_lOsError), 0, reinterpret_cast<wchar_t*>(&sys), 0, nullptr);
    CString reason(sys ? sys : L"");
    if (sys) LocalFree(sys);
    reason.Trim();
    CString text;
    if (reason.IsEmpty())
        text.Format(L"An error occurred while accessing %s (error %ld).", m_strFileName.GetString(), m_lOsError);
    else
        text.Format(L"%s\n%s", m_strFileName.GetString(), reason.GetString());
    return text;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(const wchar_t* path, UINT flags, CFileException* error) {
    Abort();
    DWORD access = (flags & 3) == modeWrite ? GENERIC_WRITE : (flags & 3) == modeReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    DWORD share = 0;
    switch (flags & 0x70) {
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    default: share = 0; break;
    }
    if (flags & shareAllowDelete) share |= FILE_SHARE_DELETE;
    DWORD disposition = OPEN_EXISTING;
    if (flags & modeCreate) disposition = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    m_hFile = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_strFileName = path;
    if (m_hFile == INVALID_HANDLE_VALUE) {
        if (error) {
            error->m_lOsError = static_cast<LONG>(GetLastError());
            error->m_strFileName = path;
        }
        return FALSE;
    }
    return TRUE;
}

void CFile::Write(const void* data, UINT count) {
    DWORD written = 0;
    if (m_hFile == INVALID_HANDLE_VALUE)
        throw new CFileException(ERROR_INVALID_HANDLE, m_strFileName);
    if (!WriteFile(m_hFile, data, count, &written, nullptr) || written != count)
        throw new CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
}

UINT CFile::Read(void* data, UINT count) {
    DWORD read = 0;
    if (m_hFile == INVALID_HANDLE_VALUE || !ReadFile(m_hFile, data, count, &read, nullptr))
        throw new CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
    return read;
}

ULONGLONG CFile::SeekToEnd() {
    LARGE_INTEGER zero = {}, pos = {};
    if (m_hFile == INVALID_HANDLE_VALUE || !SetFilePointerEx(m_hFile, zero, &pos, FILE_END))
        throw new CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size = {};
    if (m_hFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hFile, &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        HANDLE h = m_hFile;
        m_hFile = INVALID_HANDLE_VALUE;
        if (!CloseHandle(h)) throw new CFileException(static_cast<LONG>(GetLastError()), m_strFileName);
    }
}

void CFile::Abort() {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

// A download job: one HTTP GET on a worker thread of its own, the body written to a local
// file, each chunk reported with a sent message and the end with a posted one. The job list
// owns the pending jobs of one owner.
#pragma once

#include <windows.h>

#include <list>

#include "framework/AfxFile.h"
#include "framework/CString.h"
#include "update/VetchThread.h"

#define WM_INETFILE_PROGRESS (WM_USER + 100)
#define WM_INETFILE_DONE (WM_USER + 101)

enum InetResult {
    INETERR_SUCCESS = 0,
    INETERR_CONNECT = 1,
    INETERR_INTERNET = 2,
    INETERR_REDIRECT = 3,
    INETERR_REDIRECT_URL = 4,
    INETERR_NOT_HTTP = 5,
    INETERR_HTTP_STATUS = 6,
    INETERR_LOCAL_FILE = 7,
    INETERR_CANCELLED = 8,
    INETERR_BAD_URL = 9,
};

// The user's text for a result code.
const wchar_t* InetResultText(int code);

class CInetFile : public CVetchThread {
public:
    CInetFile();
    ~CInetFile() override;

    void Run() override;
    bool Start();
    CString GetErrorText() const { return m_strErrorText; }
    [[noreturn]] void ThrowError(int code);

    // Gives up a job that may still run, without waiting on this thread: it sends and posts
    // nothing more, stops after its current chunk, and is deleted (its local file too, when
    // asked) once its run has ended.
    static void Abandon(CInetFile* job, bool deleteLocalFile);

    class CInetFileException : public CException {
    public:
        explicit CInetFileException(int code) : m_nCode(code) {}
        ~CInetFileException() override = default;
        int m_nCode;
    };

    CString m_strErrorText;
    bool m_bStatusCallback = false;
    int m_nJobId = 2;
    CString m_strLocalPath;
    CString m_strUrl;
    HWND volatile m_hNotify = nullptr;
    CString m_strServerLabel;
    bool volatile m_bStop = false;
    int m_nStartCount = 0;
    volatile DWORD m_nBytesReceived = 0;
    // A body longer than this ends the run with INETERR_CANCELLED; 0 = no bound.
    DWORD m_nMaxBytes = 0;
    // Set by the run just before it posts its completion: the result, and that it has ended.
    volatile int m_nResult = -1;
    volatile bool m_bFinished = false;

private:
    void Notify(UINT msg, int low, bool post);
};

class CInetFiles {
public:
    CInetFiles() = default;
    virtual ~CInetFiles();
    CInetFiles(const CInetFiles&) = delete;
    CInetFiles& operator=(const CInetFiles&) = delete;

    void Add(CInetFile* job);
    CInetFile* GetFirst();
    // Unlinks every entry of the job and deletes it once; a job not in the list is left alone
    // (a forged or repeated completion message must not free anything). True when found.
    bool Remove(CInetFile* job);
    // Unlinks the job without deleting it; true when it was in the list.
    bool Detach(CInetFile* job);
    bool Contains(CInetFile* job);

private:
    std::list<CInetFile*> m_jobs;
    CCriticalSection m_lock;
};

class CServer {
public:
    CServer() = default;
    virtual ~CServer() = default;
    CString m_strLabel;
    CString m_strUrl;
};

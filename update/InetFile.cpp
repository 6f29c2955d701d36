#include "update/InetFile.h"

#include <process.h>

#include <algorithm>
#include <memory>

#include "framework/AfxInet.h"
#include "update/ReceiveGuard.h"

namespace {

const wchar_t kConnectFailed[] = L"Connection server failed, please select another server to try.";
const DWORD kChunk = 1024;
// A server that accepts and then says nothing must not hold a worker for long.
const DWORD kTimeoutMs = 15000;
const DWORD kTimeoutOptions[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                 INTERNET_OPTION_RECEIVE_TIMEOUT};
// A whole run, whatever the server sends or withholds; a connect that starts last still ends
// within a minute of the start.
const DWORD kRunMs = 45000;
// What a bounded body may bring with it: headers, chunk framing, WinINet's read-ahead.
const DWORD kHeaderRoom = 64 * 1024;

// WinINet ignores every notification; the callback only has to exist when asked for.
class CInetFileSession : public CInternetSession {
public:
    using CInternetSession::CInternetSession;
    ~CInetFileSession() override = default;
    void OnStatusCallback(DWORD_PTR, DWORD, void*, DWORD) override {}
};

}  // namespace

const wchar_t* InetResultText(int code) {
    switch (code) {
    case INETERR_REDIRECT: return L"Redirection failed, please select another server to try.";
    case INETERR_REDIRECT_URL: return L"Redirect URL resolution error, please select another server to try.";
    case INETERR_NOT_HTTP: return L"Not an HTTP connection, select another server to try.";
    case INETERR_HTTP_STATUS: return L"To get the server file failed, select another server to try.";
    case INETERR_LOCAL_FILE: return L"Failed to create local file";
    case INETERR_CANCELLED: return L"Take the initiative to cancel the connection";
    case INETERR_BAD_URL: return L"The URL is incorrect";
    default: return kConnectFailed;
    }
}

CInetFile::CInetFile() : m_strErrorText(kConnectFailed) {}

CInetFile::~CInetFile() {
    m_bStop = true;
    Wait();
}

bool CInetFile::Start() {
    ++m_nStartCount;
    Wait();
    m_bStop = false;
    m_bFinished = false;
    m_nResult = -1;
    return CVetchThread::Start();
}

void CInetFile::ThrowError(int code) {
    m_strErrorText = InetResultText(code);
    throw new CInetFileException(code);
}

void CInetFile::Notify(UINT msg, int low, bool post) {
    HWND h = m_hNotify;
    if (!h) return;
    const WPARAM wp = MAKEWPARAM(static_cast<WORD>(low), static_cast<WORD>(m_nJobId));
    if (post)
        PostMessageW(h, msg, wp, reinterpret_cast<LPARAM>(this));
    else
        SendMessageW(h, msg, wp, reinterpret_cast<LPARAM>(this));
}

void CInetFile::Run() {
    int result = INETERR_SUCCESS;
    CReceiveGuard guard(GetTickCount() + kRunMs, m_nMaxBytes ? m_nMaxBytes + kHeaderRoom : 0);
    std::unique_ptr<CInetFileSession> session;
    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> request;
    try {
        session.reset(new CInetFileSession(L"AutoUpdate - MFC App", 1, INTERNET_OPEN_TYPE_PRECONFIG));
        DWORD service = 0;
        CString server, object;
        INTERNET_PORT port = 0;
        if (!AfxParseURL(m_strUrl, service, server, object, port) || service != AFX_INET_SERVICE_HTTP)
            ThrowError(INETERR_CONNECT);
        if (m_bStatusCallback) session->EnableStatusCallback(TRUE);
        // on both handles: some WinINets take the send and receive time-outs from the connection only
        for (DWORD option : kTimeoutOptions) session->SetOption(option, kTimeoutMs);
        connection.reset(session->GetHttpConnection(server, port));
        for (DWORD option : kTimeoutOptions) connection->SetOption(option, kTimeoutMs);
        // Only the given address is read: a redirect is an answer other than 200 like any other.
        request.reset(connection->OpenRequest(HTTP_VERB_GET, object, nullptr, 1, nullptr, nullptr,
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT));
        request->AddRequestHeaders(L"Accept: */*\r\nUser-Agent: AutoUpdate_Vetch\r\n", HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
        request->SendRequest();
        DWORD status = 0;
        request->QueryInfoStatusCode(status);
        if (status != 200) ThrowError(INETERR_HTTP_STATUS);

        CFile file;
        // deletable while open, so that giving the job up can remove the file at once
        if (!file.Open(m_strLocalPath, CFile::modeCreate | CFile::modeWrite | CFile::shareAllowDelete))
            ThrowError(INETERR_LOCAL_FILE);
        if (m_bStop) {
            // given up while the answer was awaited, perhaps after the file was removed
            file.Abort();
            ThrowError(INETERR_CANCELLED);
        }
        m_nBytesReceived = 0;
        BYTE buffer[kChunk];
        for (;;) {
            if (!guard.CanReceive()) AfxThrowInternetException(1, ERROR_INTERNET_TIMEOUT);
            // only what has come: a read waits until its whole buffer is filled
            const DWORD available = request->QueryDataAvailable();
            const UINT n = available ? request->Read(buffer, (std::min)(available, kChunk)) : 0;
            if (n == 0) break;
            try {
                file.Write(buffer, n);
            } catch (CFileException* e) {
                // a full disk or a vanished directory ends the run like a file that cannot be made
                e->Delete();
                file.Abort();
                ThrowError(INETERR_LOCAL_FILE);
            }
            m_nBytesReceived += n;
            Notify(WM_INETFILE_PROGRESS, static_cast<int>(n), false);
            if (m_bStop) {
                result = INETERR_CANCELLED;
                break;
            }
            if (m_nMaxBytes && m_nBytesReceived > m_nMaxBytes) {
                file.Abort();
                ThrowError(INETERR_CANCELLED);
            }
        }
        file.Abort();
    } catch (CInternetException* e) {
        m_strErrorText = e->GetErrorMessage();
        result = INETERR_INTERNET;
        e->Delete();
    } catch (CInetFileException* e) {
        result = e->m_nCode;
        e->Delete();
    } catch (CException* e) {
        result = INETERR_INTERNET;
        m_strErrorText = e->GetErrorMessage();
        e->Delete();
    } catch (...) {
        result = INETERR_INTERNET;
    }
    // Closing a request reads what is left of its answer on some WinINets; a run that ended
    // early leaves it unread.
    guard.Spend();
    request.reset();
    connection.reset();
    if (session) session->Close();
    m_nResult = result;
    m_bFinished = true;
    Notify(WM_INETFILE_DONE, result, true);
}

namespace {
unsigned __stdcall ReapJob(void* param) {
    std::unique_ptr<CInetFile> job(static_cast<CInetFile*>(param));
    job->Wait();
    if (!job->m_strLocalPath.IsEmpty()) DeleteFileW(job->m_strLocalPath);
    return 0;
}
}  // namespace

void CInetFile::Abandon(CInetFile* job, bool deleteLocalFile) {
    if (!job) return;
    job->m_hNotify = nullptr;
    job->m_bStop = true;
    // At once, not only after the run: the process may end before a stalled run does.
    if (deleteLocalFile && !job->m_strLocalPath.IsEmpty()) DeleteFileW(job->m_strLocalPath);
    if (!deleteLocalFile) job->m_strLocalPath.Empty();
    if (job->IsRunning() || job->m_hThread) {
        HANDLE h = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ReapJob, job, 0, nullptr));
        if (h) {
            CloseHandle(h);
            return;
        }
    }
    ReapJob(job);  // never started, already finished, or no thread to spare: this cannot block long
}

// ---- job list -----------------------------------------------------------------------------

CInetFiles::~CInetFiles() {
    CSingleLock lock(&m_lock);
    while (!m_jobs.empty()) {
        CInetFile* job = m_jobs.front();
        m_jobs.pop_front();
        delete job;
    }
}

void CInetFiles::Add(CInetFile* job) {
    CSingleLock lock(&m_lock);
    m_jobs.push_back(job);
}

CInetFile* CInetFiles::GetFirst() {
    CSingleLock lock(&m_lock);
    return m_jobs.empty() ? nullptr : m_jobs.front();
}

bool CInetFiles::Detach(CInetFile* job) {
    CSingleLock lock(&m_lock);
    const size_t before = m_jobs.size();
    m_jobs.remove(job);
    return m_jobs.size() != before;
}

bool CInetFiles::Remove(CInetFile* job) {
    CSingleLock lock(&m_lock);
    if (!job || !Detach(job)) return false;
    delete job;
    return true;
}

bool CInetFiles::Contains(CInetFile* job) {
    CSingleLock lock(&m_lock);
    return std::find(m_jobs.begin(), m_jobs.end(), job) != m_jobs.end();
}

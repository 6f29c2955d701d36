#include "framework/AfxInet.h"

#include "update/core/UpdateText.h"

namespace {
// WinINet calls back on the thread that made the (synchronous) call.
thread_local CInternetSession* t_callbackSession = nullptr;
}  // namespace

CString CInternetException::GetErrorMessage() const {
    wchar_t buffer[1024] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleW(L"wininet.dll"), m_dwError, 0, buffer, 1024, nullptr);
    if (!n)
        n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, m_dwError, 0,
                           buffer, 1024, nullptr);
    CString text;
    if (n) {
        text = buffer;
        text.TrimRight();
    } else {
        text.Format(L"Internet error %u.", static_cast<unsigned>(m_dwError));
    }
    return text;
}

void AfxThrowInternetException(DWORD_PTR, DWORD error) {
    if (!error) error = GetLastError();
    throw new CInternetException(error ? error : ERROR_INTERNET_INTERNAL_ERROR);
}

BOOL AfxParseURL(const wchar_t* url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port) {
    update::UrlParts parts;
    if (!url || !update::SplitUrl(url, parts)) {
        serviceType = 0;
        return FALSE;
    }
    serviceType = parts.service;
    server = parts.server;
    object = parts.object;
    port = parts.port;
    return TRUE;
}

// ---- request ------------------------------------------------------------------------------

CHttpFile::~CHttpFile() { Close(); }

void CHttpFile::Close() {
    if (m_hRequest) InternetCloseHandle(m_hRequest);
    m_hRequest = nullptr;
}

BOOL CHttpFile::AddRequestHeaders(const wchar_t* headers, DWORD flags, int length) {
    return HttpAddRequestHeadersW(m_hRequest, headers, static_cast<DWORD>(length), flags);
}

BOOL CHttpFile::SendRequest() {
    if (!HttpSendRequestW(m_hRequest, nullptr, 0, nullptr, 0)) AfxThrowInternetException(1);
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const {
    DWORD size = sizeof(status);
    status = 0;
    return HttpQueryInfoW(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
}

UINT CHttpFile::Read(void* buffer, UINT count) {
    DWORD read = 0;
    if (!InternetReadFile(m_hRequest, buffer, count, &read)) AfxThrowInternetException(1);
    return read;
}

DWORD CHttpFile::QueryDataAvailable() {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(m_hRequest, &available, 0, 0)) AfxThrowInternetException(1);
    return available;
}

// ---- connection ---------------------------------------------------------------------------

CHttpConnection::~CHttpConnection() { Close(); }

void CHttpConnection::Close() {
    if (m_hConnect) InternetCloseHandle(m_hConnect);
    m_hConnect = nullptr;
}

BOOL CHttpConnection::SetOption(DWORD option, DWORD value) {
    return InternetSetOptionW(m_hConnect, option, &value, sizeof(value));
}

CHttpFile* CHttpConnection::OpenRequest(int verb, const wchar_t* object, const wchar_t* referrer, DWORD_PTR context,
                                        const wchar_t** acceptTypes, const wchar_t* version, DWORD flags) {
    const wchar_t* verbText = verb == HTTP_VERB_GET ? L"GET" : L"HEAD";
    HINTERNET h = HttpOpenRequestW(m_hConnect, verbText, object, version, referrer, acceptTypes, flags, context);
    if (!h) AfxThrowInternetException(context);
    return new CHttpFile(h);
}

// ---- session ------------------------------------------------------------------------------

CInternetSession::CInternetSession(const wchar_t* agent, DWORD_PTR context, DWORD accessType,
                                   const wchar_t* proxyName, const wchar_t* proxyBypass, DWORD flags)
    : m_dwContext(context) {
    m_hSession = InternetOpenW(agent, accessType, proxyName, proxyBypass, flags);
    if (!m_hSession) AfxThrowInternetException(context);
}

CInternetSession::~CInternetSession() { Close(); }

void CInternetSession::Close() {
    if (m_bCallbackEnabled && t_callbackSession == this) t_callbackSession = nullptr;
    m_bCallbackEnabled = false;
    if (m_hSession) InternetCloseHandle(m_hSession);
    m_hSession = nullptr;
}

void CInternetSession::OnStatusCallback(DWORD_PTR, DWORD, void*, DWORD) {}

void CALLBACK CInternetSession::StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length) {
    if (CInternetSession* s = t_callbackSession)
        AfxCallGuarded([&] { s->OnStatusCallback(context, status, info, length); return 0; }, 0);
}

BOOL CInternetSession::SetOption(DWORD option, DWORD value) {
    return InternetSetOptionW(m_hSession, option, &value, sizeof(value));
}

BOOL CInternetSession::EnableStatusCallback(BOOL enable) {
    INTERNET_STATUS_CALLBACK previous =
        InternetSetStatusCallbackW(m_hSession, enable ? &CInternetSession::StatusCallback : nullptr);
    if (previous == INTERNET_INVALID_STATUS_CALLBACK) return FALSE;
    m_bCallbackEnabled = enable != FALSE;
    t_callbackSession = enable ? this : nullptr;
    return TRUE;
}

CHttpConnection* CInternetSession::GetHttpConnection(const wchar_t* server, INTERNET_PORT port, const wchar_t* user,
                                                     const wchar_t* password) {
    HINTERNET h = InternetConnectW(m_hSession, server, port, user, password, INTERNET_SERVICE_HTTP, 0, m_dwContext);
    if (!h) AfxThrowInternetException(m_dwContext);
    return new CHttpConnection(h);
}

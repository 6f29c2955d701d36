// HTTP over WinINet for the framework layer: a session, a connection, a GET request and the
// exception that carries WinINet's own error text. Only what the download job uses.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/AfxWin.h"

#define AFX_INET_SERVICE_FTP 1
#define AFX_INET_SERVICE_HTTP 3
#define AFX_INET_SERVICE_HTTPS 0x100B
#define HTTP_VERB_GET 1

class CInternetException : public CException {
public:
    explicit CInternetException(DWORD error) : m_dwError(error) {}
    CString GetErrorMessage() const override;
    DWORD m_dwError;
};

// Throws a new CInternetException for the thread's last error (or the given one).
[[noreturn]] void AfxThrowInternetException(DWORD_PTR context, DWORD error = 0);

// Splits scheme://host[:port]/path; false for anything that is not such a URL.
BOOL AfxParseURL(const wchar_t* url, DWORD& serviceType, CString& server, CString& object,
                 INTERNET_PORT& port);

class CHttpFile {
public:
    ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;
    BOOL AddRequestHeaders(const wchar_t* headers, DWORD flags, int length = -1);
    BOOL SendRequest();
    BOOL QueryInfoStatusCode(DWORD& status) const;
    UINT Read(void* buffer, UINT count);
    // Bytes that can be read without waiting for more, after waiting for at least one; 0 at
    // the end of the body.
    DWORD QueryDataAvailable();
    void Close();

private:
    friend class CHttpConnection;
    explicit CHttpFile(HINTERNET h) : m_hRequest(h) {}
    HINTERNET m_hRequest;
};

class CHttpConnection {
public:
    ~CHttpConnection();
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;
    CHttpFile* OpenRequest(int verb, const wchar_t* object, const wchar_t* referrer = nullptr,
                           DWORD_PTR context = 1, const wchar_t** acceptTypes = nullptr,
                           const wchar_t* version = nullptr, DWORD flags = 0);
    BOOL SetOption(DWORD option, DWORD value);
    void Close();

private:
    friend class CInternetSession;
    explicit CHttpConnection(HINTERNET h) : m_hConnect(h) {}
    HINTERNET m_hConnect;
};

class CInternetSession {
public:
    // Throws a CInternetException* when WinINet cannot open a session.
    CInternetSession(const wchar_t* agent, DWORD_PTR context, DWORD accessType,
                     const wchar_t* proxyName = nullptr, const wchar_t* proxyBypass = nullptr,
                     DWORD flags = 0);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    BOOL EnableStatusCallback(BOOL enable = TRUE);
    // InternetSetOption on the session; the handles made from it inherit the value.
    BOOL SetOption(DWORD option, DWORD value);
    virtual void OnStatusCallback(DWORD_PTR context, DWORD status, void* info, DWORD infoLength);
    CHttpConnection* GetHttpConnection(const wchar_t* server, INTERNET_PORT port,
                                       const wchar_t* user = nullptr, const wchar_t* password = nullptr);
    void Close();

private:
    static void CALLBACK StatusCallback(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD length);
    HINTERNET m_hSession = nullptr;
    DWORD_PTR m_dwContext;
    bool m_bCallbackEnabled = false;
};

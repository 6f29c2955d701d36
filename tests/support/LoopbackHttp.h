// A small HTTP server for the update tests: listens on 127.0.0.1 only, answers each request
// from a handler, and stops by itself after its time limit. Test code only; header-only so
// that every test program can use it without a build change.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wts {

struct HttpReply {
    int status = 200;
    std::string body;
    DWORD byteDelayMs = 0;         // > 0: the body goes out one byte at a time
    size_t declaredLength = 0;     // > body size: the connection closes mid-body
    size_t endlessCapBytes = 0;    // > 0: no length, zeros streamed until the client stops or the cap
    std::string location;          // sent as a Location header when set
    bool silent = false;           // the request is read and never answered; held until the client leaves
};

// A socket listening on 127.0.0.1 that hands each connection it accepts to `take`, on its own
// thread, until its time limit or Stop().
class LoopbackListener {
public:
    LoopbackListener(DWORD lifetimeMs, std::function<void(SOCKET)> take) : m_take(std::move(take)) {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        int len = sizeof(addr);
        if (m_socket == INVALID_SOCKET || bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
            listen(m_socket, 32) != 0 || getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        m_deadline = GetTickCount() + lifetimeMs;
        m_thread = std::thread([this] { Listen(); });
    }
    ~LoopbackListener() {
        Stop();
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
        WSACleanup();
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    unsigned short Port() const { return m_port; }
    bool TimeLeft() const { return !m_stop && static_cast<int>(m_deadline - GetTickCount()) > 0; }

private:
    void Listen() {
        while (TimeLeft()) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(m_socket, &set);
            timeval tv = {0, 100000};
            if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            SOCKET c = accept(m_socket, nullptr, nullptr);
            if (c != INVALID_SOCKET) m_take(c);
        }
    }

    std::function<void(SOCKET)> m_take;
    SOCKET m_socket = INVALID_SOCKET;
    unsigned short m_port = 0;
    DWORD m_deadline = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class LoopbackHttp {
public:
    using Handler = std::function<HttpReply(const std::string& requestLine)>;

    explicit LoopbackHttp(Handler handler, DWORD lifetimeMs = 60000)
        : m_handler(std::move(handler)), m_listener(lifetimeMs, [this](SOCKET c) {
              // one at a time: the scenarios count answers in order
              Answer(c);
              closesocket(c);
              ++m_answered;
          }) {}
    LoopbackHttp(const LoopbackHttp&) = delete;
    LoopbackHttp& operator=(const LoopbackHttp&) = delete;

    unsigned short Port() const { return m_listener.Port(); }
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    // Responses completely written (or given up).
    int Answered() const { return m_answered; }

private:
    bool TimeLeft() const { return m_listener.TimeLeft(); }

    bool SendAll(SOCKET c, const char* p, size_t n) {
        while (n > 0 && TimeLeft()) {
            const int sent = send(c, p, static_cast<int>(n < 65536 ? n : 65536), 0);
            if (sent <= 0) return false;
            p += sent;
            n -= static_cast<size_t>(sent);
        }
        return n == 0;
    }

    void Answer(SOCKET c) {
        DWORD timeout = 5000;
        setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
        std::string request;
        char buf[2048];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            const int n = recv(c, buf, sizeof(buf), 0);
            if (n <= 0) return;
            request.append(buf, static_cast<size_t>(n));
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
        }
        const HttpReply reply = m_handler(line);
        if (reply.silent) {
            while (TimeLeft()) {
                fd_set set;
                FD_ZERO(&set);
                FD_SET(c, &set);
                timeval tv = {0, 100000};
                if (select(0, &set, nullptr, nullptr, &tv) > 0 && recv(c, buf, sizeof(buf), 0) <= 0) return;
            }
            return;
        }
        std::string head = "HTTP/1.1 " + std::to_string(reply.status) + (reply.status == 200 ? " OK" : " Other") + "\r\n";
        if (!reply.endlessCapBytes) {
            const size_t length = reply.declaredLength > reply.body.size() ? reply.declaredLength : reply.body.size();
            head += "Content-Length: " + std::to_string(length) + "\r\n";
        }
        if (!reply.location.empty()) head += "Location: " + reply.location + "\r\n";
        head += "Connection: close\r\n\r\n";
        if (!SendAll(c, head.data(), head.size())) return;
        if (reply.endlessCapBytes) {
            const std::string zeros(65536, '\0');
            for (size_t sent = 0; sent < reply.endlessCapBytes; sent += zeros.size())
                if (!SendAll(c, zeros.data(), zeros.size())) return;
        } else if (reply.byteDelayMs) {
            for (char ch : reply.body) {
                if (!SendAll(c, &ch, 1)) return;
                Sleep(reply.byteDelayMs);
            }
        } else {
            SendAll(c, reply.body.data(), reply.body.size());
        }
        shutdown(c, SD_SEND);
    }

    Handler m_handler;
    std::atomic<int> m_answered{0};
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
    LoopbackListener m_listener;  // last: it calls on everything above as soon as it is made
};

inline const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Every WinINet request of this user for the maker's server goes to the loopback server, as a
// proxy request; with port 0, every request goes straight to its host. Set at the start as well
// as cleared at the end: a test killed at its time limit leaves its proxy behind in the prefix.
class ProxyToLoopback {
public:
    explicit ProxyToLoopback(unsigned short port) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        Set(port);
    }
    ~ProxyToLoopback() {
        Set(0);
        RegCloseKey(m_key);
    }

private:
    void Set(unsigned short port) {
        const DWORD enable = port ? 1 : 0;
        RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof(enable));
        if (!port) {
            RegDeleteValueW(m_key, L"ProxyServer");
            return;
        }
        const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
        RegSetValueExW(m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    }
    HKEY m_key = nullptr;
};

// Temporary files of update checks in this user's temporary directory.
inline int CountXmlTempFiles() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((std::wstring(dir) + L"Xml*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(h, &fd));
    FindClose(h);
    return n;
}

}  // namespace wts

// A loopback HTTP server that never gives a whole answer, for the update check's tests: every
// connection gets a thread of its own and one way of holding the client, and the server notes
// when the client let go. Test code only; header-only like LoopbackHttp.
#pragma once

#include "tests/support/LoopbackHttp.h"

#include <memory>

namespace wts {

enum class Hostility {
    Drip,            // a body promised whole, sent one byte at a time
    EndlessChunked,  // chunks without end, as fast as the client takes them
    HugeLength,      // a Content-Length of 2,000,000,000, sent as fast as the client takes it
    EndlessHeaders,  // header lines without end
};

inline const char* HostilityName(Hostility h) {
    switch (h) {
    case Hostility::Drip: return "drip";
    case Hostility::EndlessChunked: return "endless chunked";
    case Hostility::HugeLength: return "2 GB length";
    case Hostility::EndlessHeaders: return "endless headers";
    }
    return "?";
}

struct HostileConnection {
    Hostility kind = Hostility::Drip;
    DWORD acceptedAt = 0;
    DWORD closedAt = 0;  // 0 while the client holds the connection
    unsigned long long bytesSent = 0;
    DWORD HeldMs() const { return (closedAt ? closedAt : GetTickCount()) - acceptedAt; }
};

class HostileHttp {
public:
    // `kindOf(n)` tells how the n-th connection (from 0) is held; a drip sends a byte every `dripMs`.
    HostileHttp(std::function<Hostility(int)> kindOf, DWORD dripMs, DWORD lifetimeMs)
        : m_kindOf(std::move(kindOf)), m_dripMs(dripMs), m_listener(lifetimeMs, [this](SOCKET s) { Take(s); }) {}
    ~HostileHttp() {
        m_listener.Stop();
        for (std::thread& t : m_workers) t.join();
    }
    HostileHttp(const HostileHttp&) = delete;
    HostileHttp& operator=(const HostileHttp&) = delete;

    unsigned short Port() const { return m_listener.Port(); }
    std::vector<HostileConnection> Connections() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<HostileConnection> all;
        for (const auto& c : m_connections) all.push_back(*c);
        return all;
    }

private:
    bool TimeLeft() const { return m_listener.TimeLeft(); }

    void Take(SOCKET s) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto c = std::make_shared<HostileConnection>();
        c->kind = m_kindOf(static_cast<int>(m_connections.size()));
        c->acceptedAt = GetTickCount();
        m_connections.push_back(c);
        m_workers.emplace_back([this, s, c] {
            Hold(s, *c);
            closesocket(s);
        });
    }

    // Waits up to `ms` for the client to let go or for room to send; false once it has let go.
    // Until the request is read, what the client sends stays to be read.
    bool Wait(SOCKET s, DWORD ms, bool& writable, bool requestRead = true) {
        fd_set readable, room;
        FD_ZERO(&readable);
        FD_ZERO(&room);
        FD_SET(s, &readable);
        FD_SET(s, &room);
        timeval tv = {static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
        writable = false;
        if (select(0, &readable, &room, nullptr, &tv) <= 0) return true;
        if (FD_ISSET(s, &readable)) {
            char sink[4096];
            const int n = recv(s, sink, requestRead ? sizeof(sink) : 1, requestRead ? 0 : MSG_PEEK);
            if (n == 0 || (n < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) return false;
        }
        writable = FD_ISSET(s, &room) != 0;
        return true;
    }

    bool Send(SOCKET s, HostileConnection& c, const std::string& bytes) {
        for (size_t done = 0; done < bytes.size();) {
            bool writable = false;
            if (!TimeLeft() || !Wait(s, 100, writable)) return false;
            if (!writable) continue;
            const int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
            c.bytesSent += static_cast<unsigned long long>(n);
        }
        return true;
    }

    void Hold(SOCKET s, HostileConnection& c) {
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        std::string request;
        char buf[2048];
        while (request.find("\r\n\r\n") == std::string::npos && TimeLeft()) {
            bool writable = false;
            if (!Wait(s, 100, writable, false)) break;
            const int n = recv(s, buf, sizeof(buf), 0);
            if (n > 0) request.append(buf, static_cast<size_t>(n));
            else if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK) break;
        }
        const std::string filler(65536, 'x');
        bool open = request.find("\r\n\r\n") != std::string::npos;
        switch (c.kind) {
        case Hostility::Drip:
            open = open && Send(s, c, "HTTP/1.1 200 OK\r\nContent-Length: 60000\r\n\r\n<?xml");
            for (bool writable = false; open && TimeLeft();) {
                const DWORD next = GetTickCount() + m_dripMs;
                while (open && TimeLeft() && static_cast<int>(next - GetTickCount()) > 0)
                    open = Wait(s, 100, writable);
                open = open && Send(s, c, " ");
            }
            break;
        case Hostility::EndlessChunked: {
            open = open && Send(s, c, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
            const std::string chunk = "10000\r\n" + filler + "\r\n";
            while (open && TimeLeft()) open = Send(s, c, chunk);
            break;
        }
        case Hostility::HugeLength:
            open = open && Send(s, c, "HTTP/1.1 200 OK\r\nContent-Length: 2000000000\r\n\r\n");
            while (open && TimeLeft() && c.bytesSent < 2000000000ull) open = Send(s, c, filler);
            break;
        case Hostility::EndlessHeaders: {
            open = open && Send(s, c, "HTTP/1.1 200 OK\r\n");
            std::string lines;
            for (int i = 0; i < 1000; ++i) lines += "X-Pad: " + std::string(57, 'x') + "\r\n";
            while (open && TimeLeft()) open = Send(s, c, lines);
            break;
        }
        }
        if (!open) c.closedAt = GetTickCount();
    }

    std::function<Hostility(int)> m_kindOf;
    DWORD m_dripMs;
    std::mutex m_mutex;
    std::vector<std::shared_ptr<HostileConnection>> m_connections;
    std::vector<std::thread> m_workers;
    LoopbackListener m_listener;  // last: it calls on everything above as soon as it is made
};

}  // namespace wts

#include <winsock2.h>

#include "update/ReceiveGuard.h"

namespace {

using RecvFunction = int(WSAAPI*)(SOCKET, char*, int, int);
RecvFunction g_recv = nullptr;
thread_local update::ReceiveBudget* t_budget = nullptr;

int WSAAPI GuardedRecv(SOCKET s, char* buffer, int length, int flags) {
    update::ReceiveBudget* budget = t_budget;
    if (!budget) return g_recv(s, buffer, length, flags);
    DWORD timeout = 0;
    int size = sizeof(timeout);
    if (getsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<char*>(&timeout), &size) != 0) timeout = 0;
    uint32_t allowed = timeout;
    if (!budget->Admit(GetTickCount(), allowed)) {
        WSASetLastError(budget->Spent() ? WSAECONNABORTED : WSAETIMEDOUT);
        return SOCKET_ERROR;
    }
    if (allowed != timeout)
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&allowed), sizeof(allowed));
    const int n = g_recv(s, buffer, length, flags);
    if (n > 0) budget->Took(static_cast<uint32_t>(n));
    return n;
}

// Points the module's imported `original` at `replacement`; true when an entry was found.
bool RouteImport(HMODULE module, const char* dll, void* original, void* replacement) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    bool routed = false;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t) {
            if (reinterpret_cast<void*>(t->u1.Function) != original) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), PAGE_READWRITE, &protection)) continue;
            InterlockedExchangePointer(reinterpret_cast<void**>(&t->u1.Function), replacement);
            VirtualProtect(&t->u1.Function, sizeof(t->u1.Function), protection, &protection);
            routed = true;
        }
    }
    return routed;
}

bool Route() {
    HMODULE winsock = GetModuleHandleW(L"ws2_32.dll");
    HMODULE wininet = GetModuleHandleW(L"wininet.dll");
    if (!winsock || !wininet) return false;
    g_recv = reinterpret_cast<RecvFunction>(reinterpret_cast<void*>(GetProcAddress(winsock, "recv")));
    return g_recv && RouteImport(wininet, "ws2_32.dll", reinterpret_cast<void*>(g_recv),
                                 reinterpret_cast<void*>(&GuardedRecv));
}

}  // namespace

bool CReceiveGuard::Routed() {
    static const bool routed = Route();
    return routed;
}

CReceiveGuard::CReceiveGuard(DWORD deadline, DWORD maxBytes) : m_budget(deadline, maxBytes), m_previous(t_budget) {
    Routed();
    t_budget = &m_budget;
}

CReceiveGuard::~CReceiveGuard() { t_budget = m_previous; }

bool CReceiveGuard::CanReceive() const {
    uint32_t timeout = 0;
    return m_budget.Admit(GetTickCount(), timeout);
}

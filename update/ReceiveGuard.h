// Holds every receive that WinINet makes on the calling thread to an update check's budget.
// WinINet bounds a single receive by its time-out but not a whole request: header lines without
// end, chunk framing dripped a byte at a time, and the rest of a body that it reads and throws
// away when a request is closed early all go on for as long as the server likes, inside calls
// that another thread cannot cut short on every WinINet. Its receives from Winsock are therefore
// routed through here; threads without a budget are passed straight through.
#pragma once

#include <windows.h>

#include "update/core/ReceiveBudget.h"

class CReceiveGuard {
public:
    // The calling thread's budget while this object lives: receives end by `deadline` (a tick
    // count), and after `maxBytes` bytes (0 = no bound) none is made.
    CReceiveGuard(DWORD deadline, DWORD maxBytes);
    ~CReceiveGuard();
    CReceiveGuard(const CReceiveGuard&) = delete;
    CReceiveGuard& operator=(const CReceiveGuard&) = delete;

    // Whether the check may still receive: time and bytes are left, and it was not spent.
    bool CanReceive() const;
    // No receive more: what the server still sends is left unread when the request closes.
    void Spend() { m_budget.Spend(); }
    // Whether WinINet's receives pass through the guard (false: only the caller's own checks
    // between its calls bound the check).
    static bool Routed();

private:
    update::ReceiveBudget m_budget;
    update::ReceiveBudget* m_previous;
};

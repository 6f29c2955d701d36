// What one update check may still receive: a deadline for the whole check and a number of bytes.
// WinINet bounds each receive by a time-out but never a whole request, nor what it reads on its
// own (header lines, chunk framing, the rest of a body it throws away on close); the budget does.
#pragma once

#include <cstdint>

namespace update {

class ReceiveBudget {
public:
    // `now` and `deadline` are millisecond ticks that wrap; maxBytes 0 = no bound on bytes.
    ReceiveBudget(uint32_t deadline, uint32_t maxBytes) : m_deadline(deadline), m_bytesLeft(maxBytes), m_bounded(maxBytes != 0) {}

    // Whether a receive may start at `now`; when it may, `timeoutMs` is lowered so that the
    // receive ends by the deadline.
    bool Admit(uint32_t now, uint32_t& timeoutMs) const;
    // Counts what a receive took; a receive that overran the bytes ends the budget.
    void Took(uint32_t bytes);
    // Nothing more may be received: the check is over, and whatever is left unread stays so.
    void Spend() { m_spent = true; }
    bool Spent() const { return m_spent; }

private:
    uint32_t m_deadline;
    uint32_t m_bytesLeft;
    bool m_bounded;
    bool m_spent = false;
};

}  // namespace update

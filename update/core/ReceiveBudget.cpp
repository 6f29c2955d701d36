#include "update/core/ReceiveBudget.h"

namespace update {

bool ReceiveBudget::Admit(uint32_t now, uint32_t& timeoutMs) const {
    if (m_spent || (m_bounded && m_bytesLeft == 0)) return false;
    // signed difference: the tick counter wraps every 49.7 days
    const int32_t left = static_cast<int32_t>(m_deadline - now);
    if (left <= 0) return false;
    // 0 would mean no time-out at all
    if (timeoutMs == 0 || static_cast<uint32_t>(left) < timeoutMs) timeoutMs = static_cast<uint32_t>(left);
    return true;
}

void ReceiveBudget::Took(uint32_t bytes) {
    if (!m_bounded) return;
    if (bytes >= m_bytesLeft) {
        m_bytesLeft = 0;
        return;
    }
    m_bytesLeft -= bytes;
}

}  // namespace update

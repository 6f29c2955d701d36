// Single-producer, single-consumer ring between the hook thread and the sender thread. Neither
// side ever waits on the other: a full ring drops the newest notice.
#pragma once

#include <atomic>
#include <cstdint>

#include "hook/KeySequencer.h"

namespace tarnquil {

class NoticeQueue {
public:
    static constexpr uint32_t kCapacity = 64;  // a power of two

    bool Push(const Notice& n) noexcept {
        const uint32_t head = m_head.load(std::memory_order_relaxed);
        if (head - m_tail.load(std::memory_order_acquire) >= kCapacity) return false;
        m_items[head & (kCapacity - 1)] = n;
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    bool Pop(Notice& n) noexcept {
        const uint32_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail == m_head.load(std::memory_order_acquire)) return false;
        n = m_items[tail & (kCapacity - 1)];
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Only while neither thread runs.
    void Clear() noexcept {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

private:
    Notice m_items[kCapacity];
    std::atomic<uint32_t> m_head{0};
    std::atomic<uint32_t> m_tail{0};
};

}  // namespace tarnquil

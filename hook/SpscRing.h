// A fixed ring from the hook procedure to the loop of the same thread (and safe between two
// threads, one on each side). Nobody ever waits on it: a full ring refuses the item.
#pragma once

#include <atomic>
#include <cstdint>

#include "hook/KeySequencer.h"

namespace tarnquil {

template <typename T, uint32_t Capacity>
class SpscRing {
    static_assert((Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    bool Push(const T& item) noexcept {
        const uint32_t head = m_head.load(std::memory_order_relaxed);
        if (head - m_tail.load(std::memory_order_acquire) >= Capacity) return false;
        m_items[head & (Capacity - 1)] = item;
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    bool Pop(T& item) noexcept {
        const uint32_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail == m_head.load(std::memory_order_acquire)) return false;
        item = m_items[tail & (Capacity - 1)];
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    uint32_t Free() const noexcept {
        return Capacity - (m_head.load(std::memory_order_relaxed) - m_tail.load(std::memory_order_acquire));
    }
    bool Empty() const noexcept {
        return m_head.load(std::memory_order_acquire) == m_tail.load(std::memory_order_relaxed);
    }

    // Only while neither thread runs.
    void Clear() noexcept {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

private:
    T m_items[Capacity];
    std::atomic<uint32_t> m_head{0};
    std::atomic<uint32_t> m_tail{0};
};

using NoticeQueue = SpscRing<Notice, 64>;

}  // namespace tarnquil

#include <gtest/gtest.h>

#include "update/core/ReceiveBudget.h"

namespace {

using update::ReceiveBudget;

TEST(ReceiveBudget, EveryReceiveEndsByTheDeadline) {
    const struct {
        const char* name;
        uint32_t deadline, now, timeout;
        bool admitted;
        uint32_t timeoutAfter;
    } cases[] = {
        {"far from it: the time-out stands", 100000, 1000, 15000, true, 15000},
        {"near it: the time-out shrinks", 100000, 95000, 15000, true, 5000},
        {"no time-out at all: the deadline is one", 100000, 95000, 0, true, 5000},
        {"at it", 100000, 100000, 15000, false, 15000},
        {"past it", 100000, 100001, 15000, false, 15000},
        {"the ticks wrapped since the start", 20000, 0xFFFFF000u, 15000, true, 15000},
        {"the ticks wrapped and the deadline passed", 0xFFFFF000u, 10, 15000, false, 15000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReceiveBudget budget(c.deadline, 0);
        uint32_t timeout = c.timeout;
        EXPECT_EQ(budget.Admit(c.now, timeout), c.admitted);
        EXPECT_EQ(timeout, c.timeoutAfter);
    }
}

TEST(ReceiveBudget, BytesRunOutAndSpendingEndsIt) {
    uint32_t timeout = 15000;
    ReceiveBudget bounded(60000, 100);
    bounded.Took(60);
    EXPECT_TRUE(bounded.Admit(0, timeout));
    bounded.Took(60);  // a receive may overrun what was left; then nothing more
    EXPECT_FALSE(bounded.Admit(0, timeout));

    ReceiveBudget unbounded(60000, 0);
    unbounded.Took(0xFFFFFFFFu);
    unbounded.Took(0xFFFFFFFFu);
    EXPECT_TRUE(unbounded.Admit(0, timeout)) << "0 bytes means no bound on bytes";
    unbounded.Spend();
    EXPECT_FALSE(unbounded.Admit(0, timeout));
    EXPECT_TRUE(unbounded.Spent());
}

}  // namespace

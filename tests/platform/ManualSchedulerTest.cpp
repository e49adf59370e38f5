#include "platform/sim/ManualScheduler.h"

#include <gtest/gtest.h>

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// Every timing in the other tests rests on this clock: due order, first in first out among
// equals, the clock reading each task's due time while it runs, and work added meanwhile.
TEST(ManualScheduler, RunsDueWorkInOrderOnItsOwnClockAndNeverInline) {
    ManualScheduler scheduler;
    std::string trace;
    Duration seen{};
    scheduler.schedule(20ms, [&] { trace += "b"; });
    scheduler.schedule(10ms, [&] {
        trace += "a";
        seen = scheduler.now().time_since_epoch();
        scheduler.post([&] { trace += "+"; });
        scheduler.schedule(5ms, [&] { trace += "d"; });
        scheduler.schedule(50ms, [&] { trace += "late"; });
    });
    const TaskHandle last = scheduler.schedule(20ms, [&] { trace += "c"; });
    scheduler.post([&] { trace += "0"; });
    scheduler.schedule(-5s, [&] { trace += "n"; });  // counts as now
    TaskHandle cancelled = scheduler.schedule(5ms, [&] { trace += "x"; });
    EXPECT_TRUE(cancelled.isPending());
    cancelled.cancel();
    cancelled.cancel();
    EXPECT_FALSE(cancelled.isPending());
    EXPECT_TRUE(cancelled.isCancelled());
    EXPECT_EQ(trace, "");
    EXPECT_EQ(scheduler.pendingCount(), 5u);

    scheduler.advance(19ms);
    EXPECT_EQ(trace, "0na+d");
    EXPECT_EQ(seen, 10ms);
    scheduler.advance(1ms);
    EXPECT_EQ(trace, "0na+dbc");
    EXPECT_FALSE(last.isPending());  // run
    EXPECT_EQ(scheduler.now().time_since_epoch(), 20ms);
    EXPECT_EQ(scheduler.pendingCount(), 1u);
}

}  // namespace
}  // namespace vantorel

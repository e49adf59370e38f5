#include "platform/sim/ManualScheduler.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

using namespace std::chrono_literals;

TEST(ManualScheduler, RunsNothingUntilTimeAdvancesAndThenInDueOrder) {
    ManualScheduler scheduler;
    std::string trace;
    scheduler.schedule(20ms, [&] { trace += "b"; });
    scheduler.schedule(10ms, [&] { trace += "a"; });
    scheduler.schedule(20ms, [&] { trace += "c"; });
    scheduler.post([&] { trace += "0"; });
    EXPECT_EQ(trace, "");
    EXPECT_EQ(scheduler.pendingCount(), 4u);

    scheduler.advance(19ms);
    EXPECT_EQ(trace, "0a");
    scheduler.advance(1ms);
    EXPECT_EQ(trace, "0abc");
    EXPECT_EQ(scheduler.now().time_since_epoch(), 20ms);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(ManualScheduler, TheClockReadsEachTasksDueTimeWhileItRuns) {
    ManualScheduler scheduler;
    Duration seen{};
    scheduler.schedule(7ms, [&] { seen = scheduler.now().time_since_epoch(); });
    scheduler.advance(1s);
    EXPECT_EQ(seen, 7ms);
    EXPECT_EQ(scheduler.now().time_since_epoch(), 1s);
}

TEST(ManualScheduler, CancelledTasksNeverRunAndHandlesReportState) {
    ManualScheduler scheduler;
    int runs = 0;
    TaskHandle cancelled = scheduler.schedule(5ms, [&] { ++runs; });
    TaskHandle kept = scheduler.schedule(5ms, [&] { ++runs; });
    EXPECT_TRUE(cancelled.isPending());
    cancelled.cancel();
    cancelled.cancel();
    EXPECT_FALSE(cancelled.isPending());
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.advance(5ms);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(kept.isPending());
    EXPECT_FALSE(kept.isCancelled());
    EXPECT_FALSE(TaskHandle().isPending());
}

TEST(ManualScheduler, WorkScheduledWhileAdvancingRunsIfItFallsDueInTheWindow) {
    ManualScheduler scheduler;
    std::string trace;
    scheduler.schedule(1ms, [&] {
        trace += "a";
        scheduler.post([&] { trace += "b"; });
        scheduler.schedule(5ms, [&] { trace += "c"; });
        scheduler.schedule(50ms, [&] { trace += "late"; });
    });
    scheduler.advance(10ms);
    EXPECT_EQ(trace, "abc");
    EXPECT_EQ(scheduler.pendingCount(), 1u);
}

TEST(ManualScheduler, NegativeDelaysCountAsZeroAndPostNeverRunsInline) {
    ManualScheduler scheduler;
    bool ran = false;
    scheduler.schedule(-5s, [&] { ran = true; });
    EXPECT_FALSE(ran);
    scheduler.runDue();
    EXPECT_TRUE(ran);
    EXPECT_EQ(scheduler.now().time_since_epoch(), 0ms);
}

}  // namespace
}  // namespace vantorel

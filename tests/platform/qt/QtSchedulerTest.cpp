#include "platform/qt/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <thread>

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until nothing due is left; timers of 0 ms are due at once.
void drain() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

TEST(QtScheduler, WorkRunsOnTheEventLoopOfTheMainThreadInOrderAndCancelledWorkNever) {
    QtScheduler scheduler;
    std::string trace;
    std::thread::id ranOn;
    scheduler.post([&] { trace += "a"; });
    TaskHandle due = scheduler.schedule(-1s, [&] { trace += "b"; });
    TaskHandle cancelled = scheduler.schedule(0ms, [&] { trace += "x"; });
    std::thread([&] { scheduler.post([&] { ranOn = std::this_thread::get_id(); }); }).join();
    scheduler.post([&] { trace += "c"; });
    cancelled.cancel();
    EXPECT_EQ(trace, "");
    drain();
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_LT(trace.find('a'), trace.find('c'));
    EXPECT_EQ(trace.find('x'), std::string::npos);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(due.isPending() || cancelled.isPending());

    // A cancelled delay stops its timer instead of waking the loop at its deadline.
    TaskHandle later = scheduler.schedule(1h, [&] { trace += "x"; });
    TaskHandle other = scheduler.schedule(1h, [&] { trace += "x"; });
    EXPECT_EQ(scheduler.armedCount(), 2u);
    later.cancel();
    later.cancel();
    EXPECT_EQ(scheduler.armedCount(), 1u);
    other.cancel();
    EXPECT_EQ(scheduler.armedCount(), 0u);
}

TEST(QtScheduler, WorkStillQueuedWhenTheSchedulerGoesIsDropped) {
    bool ran = false;
    {
        QtScheduler scheduler;
        scheduler.post([&] { ran = true; });
        scheduler.schedule(0ms, [&] { ran = true; });
    }
    drain();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace vantorel

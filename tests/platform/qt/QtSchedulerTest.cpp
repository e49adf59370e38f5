#include "platform/qt/QtScheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <string>
#include <thread>

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until nothing due is left; timers of 0 ms are due at once.
void drain() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TEST(QtScheduler, PostedAndDueWorkRunsOnTheEventLoopInOrderNeverInline) {
    QtScheduler scheduler;
    std::string trace;
    scheduler.post([&] { trace += "a"; });
    scheduler.schedule(0ms, [&] { trace += "b"; });
    scheduler.post([&] { trace += "c"; });
    EXPECT_EQ(trace, "");
    drain();
    EXPECT_EQ(trace.size(), 3u);
    EXPECT_LT(trace.find('a'), trace.find('c'));
}

TEST(QtScheduler, CancelledTasksNeverRunAndFinishedOnesAreNotPending) {
    QtScheduler scheduler;
    int runs = 0;
    TaskHandle cancelled = scheduler.schedule(0ms, [&] { ++runs; });
    TaskHandle kept = scheduler.schedule(-1s, [&] { ++runs; });
    cancelled.cancel();
    drain();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(kept.isPending());
    EXPECT_FALSE(cancelled.isPending());
}

TEST(QtScheduler, WorkPostedFromAnotherThreadRunsOnTheMainThread) {
    QtScheduler scheduler;
    std::thread::id ranOn;
    std::thread worker([&] { scheduler.post([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    drain();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
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

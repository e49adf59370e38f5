#include "platform/linux/WorkerThreadExecutor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace vantorel {
namespace {

TEST(WorkerThreadExecutor, RunsWorkFromManyThreadsInPostingOrderOnOneThreadOfItsOwn) {
    WorkerThreadExecutor executor;
    // Touched only on the worker until the promise hands them over.
    std::vector<std::vector<int>> order(4);
    std::vector<std::thread::id> threads;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                executor.post([&, t, i] {
                    order[t].push_back(i);
                    threads.push_back(std::this_thread::get_id());
                });
            }
        });
    }
    for (auto& poster : posters)
        poster.join();
    executor.post(nullptr);  // empty work is skipped
    std::promise<void> finished;
    // Work that posts more work: the queue is not locked while work runs.
    executor.post([&] { executor.post([&] { finished.set_value(); }); });
    // A bounded wait for the worker's answer, never a measure of time.
    ASSERT_EQ(finished.get_future().wait_for(std::chrono::seconds(20)), std::future_status::ready);

    for (const auto& posted : order) {
        ASSERT_EQ(posted.size(), 200u);
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(posted[static_cast<std::size_t>(i)], i);
    }
    EXPECT_NE(executor.threadId(), std::this_thread::get_id());
    for (const auto& id : threads)
        EXPECT_EQ(id, executor.threadId());
}

}  // namespace
}  // namespace vantorel

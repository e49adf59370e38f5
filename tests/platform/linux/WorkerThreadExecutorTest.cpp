#include "platform/linux/WorkerThreadExecutor.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// Bounded waits for an answer from the worker; never a measure of time.
constexpr auto kPatience = 20s;

TEST(WorkerThreadExecutor, RunsWorkInPostingOrderOnOneThreadOfItsOwn) {
    WorkerThreadExecutor executor;
    // Touched only on the worker until the promise hands them over.
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 500; ++i) {
        executor.post([&, i] {
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    std::promise<void> finished;
    executor.post([&] { finished.set_value(); });
    ASSERT_EQ(finished.get_future().wait_for(kPatience), std::future_status::ready);

    ASSERT_EQ(order.size(), 500u);
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_NE(executor.threadId(), std::this_thread::get_id());
    for (const auto& id : threads)
        EXPECT_EQ(id, executor.threadId());
}

TEST(WorkerThreadExecutor, TakesWorkFromManyThreadsAndFromItsOwnWork) {
    WorkerThreadExecutor executor;
    int count = 0;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&] {
            for (int i = 0; i < 200; ++i)
                executor.post([&] { ++count; });
        });
    }
    for (auto& poster : posters)
        poster.join();
    std::promise<int> result;
    // Work that posts more work: the queue is not locked while work runs.
    executor.post([&] { executor.post([&] { result.set_value(count); }); });
    auto future = result.get_future();
    ASSERT_EQ(future.wait_for(kPatience), std::future_status::ready);
    EXPECT_EQ(future.get(), 800);
}

TEST(WorkerThreadExecutor, EmptyWorkIsSkipped) {
    WorkerThreadExecutor executor;
    executor.post(nullptr);
    std::promise<void> after;
    executor.post([&] { after.set_value(); });
    EXPECT_EQ(after.get_future().wait_for(kPatience), std::future_status::ready);
}

}  // namespace
}  // namespace vantorel

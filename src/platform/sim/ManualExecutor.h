#pragma once

#include <cstddef>
#include <deque>
#include <functional>

#include "platform/Executor.h"

namespace vantorel {

// A serial executor that runs nothing until the test drains it, on the test's own thread.
// Single-threaded: post only from the thread that drains it.
class ManualExecutor final : public Executor {
public:
    void post(std::function<void()> work) override { queue_.push_back(std::move(work)); }

    // Runs the oldest item; false when there was none.
    bool runOne();
    // Runs until the queue is empty, work posted meanwhile included; the number of items run.
    std::size_t drain();
    std::size_t pendingCount() const { return queue_.size(); }

private:
    std::deque<std::function<void()>> queue_;
};

}  // namespace vantorel

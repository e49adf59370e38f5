#include "platform/sim/ManualScheduler.h"

#include <algorithm>

namespace vantorel {

ManualScheduler::~ManualScheduler() {
    for (auto& [key, entry] : queue_)
        entry.state->withdraw = nullptr;
}

void ManualScheduler::post(std::function<void()> work) {
    schedule(Duration::zero(), std::move(work));
}

TaskHandle ManualScheduler::schedule(Duration delay, std::function<void()> work) {
    auto state = std::make_shared<TaskHandle::State>();
    const TimePoint due = now_ + std::max(delay, Duration::zero());
    const auto key = std::make_pair(due, sequence_++);
    queue_.emplace(key, Entry{state, std::move(work)});
    state->withdraw = [this, key] { queue_.erase(key); };
    return TaskHandle(state);
}

void ManualScheduler::advance(Duration delta) {
    const TimePoint end = now_ + std::max(delta, Duration::zero());
    while (!queue_.empty() && queue_.begin()->first.first <= end) {
        auto node = queue_.extract(queue_.begin());
        now_ = std::max(now_, node.key().first);
        Entry& entry = node.mapped();
        entry.state->withdraw = nullptr;
        if (!entry.state->cancelled) {
            entry.state->started = true;
            entry.work();
        }
    }
    now_ = end;
}

std::size_t ManualScheduler::pendingCount() const {
    return queue_.size();
}

}  // namespace vantorel

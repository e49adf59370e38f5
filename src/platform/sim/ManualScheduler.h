#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/Scheduler.h"

namespace vantorel {

// The main run loop on virtual time: nothing runs until the test (or tour) advances the clock.
// Work due at the same instant runs in the order it was scheduled. Single-threaded: everything
// posted to it must come from the thread that advances it (a ManualExecutor keeps it so).
class ManualScheduler final : public Scheduler {
public:
    ManualScheduler() = default;
    ManualScheduler(const ManualScheduler&) = delete;
    ManualScheduler& operator=(const ManualScheduler&) = delete;
    // Handles that outlive the scheduler can still be cancelled.
    ~ManualScheduler() override;

    TimePoint now() const override { return now_; }
    void post(std::function<void()> work) override;
    TaskHandle schedule(Duration delay, std::function<void()> work) override;

    // Runs everything due by now + delta, in due order, moving the clock to each task's time;
    // work scheduled meanwhile runs too if it falls due within the window.
    void advance(Duration delta);
    // Runs what is due now (posted work included) without moving the clock.
    void runDue() { advance(Duration::zero()); }
    // Timers armed: tasks scheduled and neither run nor cancelled (cancelling disarms at once).
    std::size_t pendingCount() const;

private:
    struct Entry {
        std::shared_ptr<TaskHandle::State> state;
        std::function<void()> work;
    };
    TimePoint now_{};
    std::uint64_t sequence_ = 0;
    std::map<std::pair<TimePoint, std::uint64_t>, Entry> queue_;
};

}  // namespace vantorel

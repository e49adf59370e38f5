#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vantorel {

using Duration = std::chrono::nanoseconds;
// Monotonic time since an arbitrary origin; never the wall clock.
using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

// The owner's side of work scheduled for later. Cancelling is idempotent; a cancelled task
// never runs. Copies share the same task.
class TaskHandle {
public:
    TaskHandle() = default;

    // Also withdraws the task from its scheduler, so that a cancelled delay wakes nothing.
    void cancel() const {
        if (!state_ || state_->cancelled) return;
        state_->cancelled = true;
        if (auto withdraw = std::move(state_->withdraw)) withdraw();
    }
    bool isCancelled() const { return state_ && state_->cancelled; }
    // Scheduled, not yet run and not cancelled.
    bool isPending() const { return state_ && !state_->cancelled && !state_->started; }

    struct State {
        bool cancelled = false;
        bool started = false;
        // Set by the scheduler while the task waits: stops its timer or drops its queue entry.
        std::function<void()> withdraw;
    };
    explicit TaskHandle(std::shared_ptr<State> state) : state_(std::move(state)) {}

private:
    std::shared_ptr<State> state_;
};

// Port: the main thread's run loop and its clock.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual TimePoint now() const = 0;
    // Runs work on the main thread after the current work, never inside this call. The one
    // call that may come from another thread: that is how an actor answers the main thread.
    virtual void post(std::function<void()> work) = 0;
    // Runs work on the main thread once the delay has elapsed, unless cancelled first.
    // A negative delay counts as zero.
    virtual TaskHandle schedule(Duration delay, std::function<void()> work) = 0;
};

}  // namespace vantorel

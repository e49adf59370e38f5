#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "platform/Scheduler.h"

namespace vantorel {

// The main thread's run loop on Qt's event loop. post() may be called from any thread (the
// thumbnail actor hands its results back through it); schedule() and the handles it returns
// belong to the main thread.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    TimePoint now() const override;
    void post(std::function<void()> work) override;
    TaskHandle schedule(Duration delay, std::function<void()> work) override;
    // Timers waiting to fire: a cancelled task's timer is stopped and gone.
    std::size_t armedCount() const;

private:
    QElapsedTimer clock_;
    // Owned here and living on the main thread: queued work is delivered through it, and
    // whatever is still queued when the scheduler goes is dropped with it.
    QObject* context_;
};

}  // namespace vantorel

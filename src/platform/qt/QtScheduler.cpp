#include "platform/qt/QtScheduler.h"

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <limits>

namespace vantorel {

QtScheduler::QtScheduler() : context_(new QObject) {
    clock_.start();
}

QtScheduler::~QtScheduler() {
    delete context_;
}

TimePoint QtScheduler::now() const {
    return TimePoint(Duration(clock_.nsecsElapsed()));
}

void QtScheduler::post(std::function<void()> work) {
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

TaskHandle QtScheduler::schedule(Duration delay, std::function<void()> work) {
    auto state = std::make_shared<TaskHandle::State>();
    // Round up so that a task never runs before its delay has fully passed, and keep the count
    // inside what QTimer takes.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, Duration::zero()));
    const auto capped =
        std::min<std::chrono::milliseconds::rep>(ms.count(), std::numeric_limits<int>::max());
    QTimer::singleShot(std::chrono::milliseconds(capped), Qt::PreciseTimer, context_,
                       [state, work = std::move(work)] {
                           if (state->cancelled) return;
                           state->started = true;
                           work();
                       });
    return TaskHandle(state);
}

}  // namespace vantorel

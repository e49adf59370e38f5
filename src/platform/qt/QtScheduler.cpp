#include "platform/qt/QtScheduler.h"

#include <QMetaObject>
#include <QPointer>
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
    // A timer of its own, so that cancelling stops it instead of leaving it to wake the loop.
    auto* timer = new QTimer(context_);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, context_, [timer, state, work = std::move(work)] {
        state->withdraw = nullptr;
        timer->deleteLater();
        if (state->cancelled) return;
        state->started = true;
        work();
    });
    state->withdraw = [timer = QPointer<QTimer>(timer)] { delete timer.data(); };
    timer->start(std::chrono::milliseconds(capped));
    return TaskHandle(state);
}

std::size_t QtScheduler::armedCount() const {
    const auto timers = context_->findChildren<QTimer*>(Qt::FindDirectChildrenOnly);
    return static_cast<std::size_t>(
        std::count_if(timers.begin(), timers.end(), [](const QTimer* t) { return t->isActive(); }));
}

}  // namespace vantorel

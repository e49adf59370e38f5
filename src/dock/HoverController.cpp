#include "dock/HoverController.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

namespace vantorel {
namespace {

using std::chrono::milliseconds;

// The scheduler counts nanoseconds: a day at a time stays far from the end of its clock.
constexpr milliseconds kLongestStep = std::chrono::hours(24);

milliseconds delayFromMilliseconds(double value, milliseconds fallback) {
    if (std::isnan(value)) return fallback;
    const double whole = std::trunc(value);
    if (whole <= 0) return milliseconds::zero();
    // 2^63 as a double: the first whole number no 64-bit count holds. Converting an
    // out-of-range double to an integer is undefined, so those become the longest count.
    constexpr double kBeyond = 9223372036854775808.0;
    if (whole >= kBeyond) return milliseconds::max();
    return milliseconds(static_cast<std::int64_t>(whole));
}

struct LongDelay {
    std::shared_ptr<TaskHandle::State> state;
    std::function<void()> work;
};

void runAfter(Scheduler& scheduler, std::shared_ptr<LongDelay> delay, milliseconds remaining) {
    const milliseconds step = std::min(remaining, kLongestStep);
    scheduler.schedule(step, [&scheduler, delay, rest = remaining - step] {
        if (delay->state->cancelled) return;
        if (rest > milliseconds::zero()) {
            runAfter(scheduler, delay, rest);
            return;
        }
        delay->state->started = true;
        delay->work();
    });
}

}  // namespace

HoverController::Timing HoverController::Timing::fromMilliseconds(double showDelayMS,
                                                                  double hideDelayMS) {
    const Timing defaults;
    return {delayFromMilliseconds(showDelayMS, defaults.showDelay),
            delayFromMilliseconds(hideDelayMS, defaults.hideDelay)};
}

HoverController::HoverController(Scheduler& scheduler) : scheduler_(scheduler) {}

HoverController::~HoverController() {
    pendingShow_.cancel();
    pendingHide_.cancel();
}

void HoverController::hover(const DockItem& item) {
    cancelPendingHide();
    if (shownItem_ == item) return;

    if (!shownItem_) {
        // Every hover while nothing is shown restarts the delay with the new item.
        cancelPendingShow();
        pendingShow_ = after(timing_.showDelay, [this, item] {
            pendingShow_ = TaskHandle();
            shownItem_ = item;
            if (onShow) onShow(item);
        });
        return;
    }

    // A panel is open: the user is already looking, so switch without the delay.
    shownItem_ = item;
    if (onShow) onShow(item);
}

void HoverController::hoverEnded() {
    if (isCursorInPanel_) return;
    cancelPendingShow();
    if (!shownItem_) return;

    cancelPendingHide();
    pendingHide_ = after(timing_.hideDelay, [this] {
        pendingHide_ = TaskHandle();
        shownItem_.reset();
        if (onHide) onHide();
    });
}

void HoverController::reset() {
    isCursorInPanel_ = false;
    cancelPendingHide();
    shownItem_.reset();
}

void HoverController::pointerEnteredPanel() {
    isCursorInPanel_ = true;
    cancelPendingHide();
}

void HoverController::pointerLeftPanel() {
    isCursorInPanel_ = false;
    hoverEnded();
}

TaskHandle HoverController::after(milliseconds delay, std::function<void()> work) {
    if (delay <= kLongestStep) return scheduler_.schedule(delay, std::move(work));
    auto state = std::make_shared<TaskHandle::State>();
    runAfter(scheduler_, std::make_shared<LongDelay>(LongDelay{state, std::move(work)}), delay);
    return TaskHandle(state);
}

void HoverController::cancelPendingShow() {
    pendingShow_.cancel();
    pendingShow_ = TaskHandle();
}

void HoverController::cancelPendingHide() {
    pendingHide_.cancel();
    pendingHide_ = TaskHandle();
}

}  // namespace vantorel

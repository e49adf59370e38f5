#include "dock/HoverController.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vantorel {
namespace {

Duration delayFromMilliseconds(double milliseconds, Duration fallback) {
    if (std::isnan(milliseconds)) return fallback;
    constexpr double kMaximumMS =
        static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                HoverController::Timing::kMaximumDelay)
                                .count());
    // Clamp while still a double: converting an out-of-range double to an integer is undefined.
    const double whole = std::clamp(std::trunc(milliseconds), 0.0, kMaximumMS);
    return std::chrono::milliseconds(static_cast<std::int64_t>(whole));
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
        pendingShow_ = scheduler_.schedule(timing_.showDelay, [this, item] {
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
    pendingHide_ = scheduler_.schedule(timing_.hideDelay, [this] {
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

void HoverController::cancelPendingShow() {
    pendingShow_.cancel();
    pendingShow_ = TaskHandle();
}

void HoverController::cancelPendingHide() {
    pendingHide_.cancel();
    pendingHide_ = TaskHandle();
}

}  // namespace vantorel

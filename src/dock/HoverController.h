#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "dock/DockItem.h"
#include "platform/Scheduler.h"

namespace vantorel {

// Turns the Dock observer's hover reports into show and hide decisions: a first show waits
// showDelay so that a pointer passing over the Dock opens nothing, a hide waits hideDelay so
// that the pointer can travel from a tile into its panel, and while a panel is open the pointer
// moves between items at once. Main thread only.
class HoverController {
public:
    struct Timing {
        // Whole milliseconds: every length a 64-bit count of them holds is a valid delay.
        std::chrono::milliseconds showDelay{180};
        std::chrono::milliseconds hideDelay{260};

        // The preference values (milliseconds, unvalidated) as durations: truncated to whole
        // milliseconds; below zero counts as zero and beyond a 64-bit count as the longest
        // count; NaN gives that field's default.
        static Timing fromMilliseconds(double showDelayMS, double hideDelayMS);

        friend bool operator==(const Timing&, const Timing&) = default;
    };

    explicit HoverController(Scheduler& scheduler);
    // Cancels both delays: their work refers to this controller.
    ~HoverController();
    HoverController(const HoverController&) = delete;
    HoverController& operator=(const HoverController&) = delete;

    std::function<void(const DockItem&)> onShow;
    std::function<void()> onHide;

    // The pointer is over a Dock item.
    void hover(const DockItem& item);
    // The pointer left every Dock item, or left the panel.
    void hoverEnded();
    // Forgets what is shown without calling onHide (the owner has hidden everything itself).
    // A show delay already running is left alone.
    void reset();

    // The panel's own hover reports. Entering holds the panel open; leaving starts the hide delay.
    void pointerEnteredPanel();
    void pointerLeftPanel();

    bool isCursorInPanel() const { return isCursorInPanel_; }
    void setCursorInPanel(bool inside) { isCursorInPanel_ = inside; }

    // A change applies to delays started afterwards, not to one already running.
    const Timing& timing() const { return timing_; }
    void setTiming(const Timing& timing) { timing_ = timing; }

    const std::optional<DockItem>& shownItem() const { return shownItem_; }
    const TaskHandle& pendingShow() const { return pendingShow_; }
    const TaskHandle& pendingHide() const { return pendingHide_; }

private:
    void cancelPendingShow();
    void cancelPendingHide();
    // Runs work after `delay`, in steps the scheduler's clock can add without overflowing.
    TaskHandle after(std::chrono::milliseconds delay, std::function<void()> work);

    Scheduler& scheduler_;
    Timing timing_;
    TaskHandle pendingShow_;
    TaskHandle pendingHide_;
    std::optional<DockItem> shownItem_;
    bool isCursorInPanel_ = false;
};

}  // namespace vantorel

#pragma once

#include <functional>
#include <vector>

#include "platform/PanelSurface.h"
#include "platform/Scheduler.h"

namespace vantorel {

// A floating panel of the simulated desktop: it keeps its size, origin and visibility, fades
// out over 0.16 s of the scheduler's time, and lets a test move the pointer in and out of it.
class SimPanelSurface final : public PanelSurface {
public:
    static constexpr Duration kFadeOut = std::chrono::milliseconds(160);

    SimPanelSurface(Scheduler& scheduler, std::function<Size()> fitting)
        : scheduler_(scheduler), fitting_(std::move(fitting)) {}
    ~SimPanelSurface() override { fadeEnd_.cancel(); }

    Size fittingSize() override { return fitting_ ? fitting_() : Size{}; }
    bool isVisible() const override { return visible_; }
    bool isFadingOut() const override { return fadeEnd_.isPending(); }
    void setContentSize(Size size) override { size_ = size; }
    void setFrameOrigin(Point origin) override { origin_ = origin; }
    void fadeIn() override;
    void fadeOut() override;
    void orderFront() override;
    void orderOut() override;
    void setHoverHandler(std::function<void(bool)> handler) override {
        hover_ = std::move(handler);
    }

    // Control side.
    Rect frame() const { return Rect(origin_, size_); }
    int fadeIns() const { return fadeIns_; }
    int orderFronts() const { return orderFronts_; }
    void pointerEntered() {
        if (hover_) hover_(true);
    }
    void pointerLeft() {
        if (hover_) hover_(false);
    }

private:
    Scheduler& scheduler_;
    std::function<Size()> fitting_;
    std::function<void(bool)> hover_;
    Size size_;
    Point origin_;
    bool visible_ = false;
    int fadeIns_ = 0;
    int orderFronts_ = 0;
    TaskHandle fadeEnd_;
};

}  // namespace vantorel

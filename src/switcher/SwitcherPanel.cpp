#include "switcher/SwitcherPanel.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/Pointer.h"
#include "platform/Screens.h"

namespace vantorel {
namespace {

// Far beyond any screen, yet small enough that every sum stays exact.
constexpr double kLargestPanelSide = 100000;

double sanePanelSide(double length) {
    if (!std::isfinite(length) || length < 0) return 0;
    return std::min(length, kLargestPanelSide);
}

bool isFinite(Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

SwitcherPanel::SwitcherPanel(Screens& screens, Pointer& pointer, Logger& logger,
                             const SurfaceFactory& makeSurface)
    : screens_(screens), pointer_(pointer), log_(logger, "ui") {
    if (makeSurface) surface_ = makeSurface(state_);
    if (!surface_) log_.error("Panel surface could not be created");
}

SwitcherPanel::~SwitcherPanel() = default;

Size SwitcherPanel::fit() {
    const std::optional<ScreenInfo> main = screens_.mainScreen();
    state_.setMaxWidth(main ? std::min(main->visibleFrame.width() - kScreenMargin, kWidestContent)
                            : SwitcherState::kDefaultMaxWidth);
    if (!surface_) return {};
    const Size fitting = surface_->fittingSize();
    const Size size{sanePanelSide(fitting.width), sanePanelSide(fitting.height)};
    surface_->setContentSize(size);
    frame_.size = size;
    return size;
}

void SwitcherPanel::show() {
    if (!surface_) return;
    const Size size = fit();

    const Point pointer = pointer_.mouseLocation();
    std::optional<Rect> visible;
    for (const ScreenInfo& screen : screens_.screens()) {
        if (screen.frame.contains(pointer)) {
            visible = screen.visibleFrame;
            break;
        }
    }
    if (!visible) {
        if (const auto main = screens_.mainScreen()) visible = main->visibleFrame;
    }
    if (visible) {
        const Point centre = visible->center();
        const Point origin{centre.x - size.width / 2, centre.y - size.height / 2};
        if (isFinite(origin)) {
            frame_.origin = origin;
            surface_->setFrameOrigin(origin);
        }
    }
    surface_->orderFront();
}

void SwitcherPanel::refit() {
    if (!surface_) return;
    const Point centre = frame_.center();
    const Size size = fit();
    const Point origin{centre.x - size.width / 2, centre.y - size.height / 2};
    if (!isFinite(origin)) return;
    frame_.origin = origin;
    surface_->setFrameOrigin(origin);
}

void SwitcherPanel::orderOut() {
    if (surface_) surface_->orderOut();
}

bool SwitcherPanel::isVisible() const {
    return surface_ && surface_->isVisible();
}

}  // namespace vantorel

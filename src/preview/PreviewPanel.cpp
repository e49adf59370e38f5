#include "preview/PreviewPanel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "preview/PanelPlacement.h"

namespace vantorel {
namespace {

// Far beyond any screen, yet small enough that every sum stays exact.
constexpr double kLargestPanelSide = 100000;

double sanePanelSide(double length) {
    if (!std::isfinite(length) || length < 0) return 0;
    return std::min(length, kLargestPanelSide);
}

std::string integer(double value) {
    if (!std::isfinite(value)) return "0";
    // Whole points, cut towards zero like a plain integer conversion.
    return std::to_string(static_cast<long long>(std::clamp(value, -1e15, 1e15)));
}

}  // namespace

PreviewPanel::PreviewPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
    : screens_(screens), log_(logger, "ui") {
    if (makeSurface) surface_ = makeSurface(state_);
    if (!surface_) {
        log_.error("Panel surface could not be created");
        return;
    }
    // The surface lives inside this object, so the handler can never outlive it.
    surface_->setHoverHandler([this](bool inside) {
        if (onPanelHoverChange) onPanelHoverChange(inside);
    });
}

PreviewPanel::~PreviewPanel() {
    if (surface_) surface_->setHoverHandler(nullptr);
}

void PreviewPanel::show(DockEdge edge, const Rect& tileFrame) {
    if (!surface_) return;
    const Size fitting = surface_->fittingSize();
    const Size size{sanePanelSide(fitting.width), sanePanelSide(fitting.height)};
    surface_->setContentSize(size);

    if (const std::optional<Point> origin = panelOrigin(edge, tileFrame, size, screens_)) {
        origin_ = *origin;
        surface_->setFrameOrigin(origin_);
    }

    const bool wasVisible = surface_->isVisible();
    if (log_.debugEnabled()) {
        log_.debug("Panel show: app=" + state_.appName() +
                   " cards=" + std::to_string(state_.cards().size()) + " " +
                   "edge=" + toString(edge) + " origin=" + integer(origin_.x) + "," +
                   integer(origin_.y) + " " + "size=" + integer(size.width) + "×" +
                   integer(size.height) + " wasVisible=" + (wasVisible ? "true" : "false"));
    }
    // A panel already up is only resized and moved. One that is fading out would otherwise
    // order itself out right after this show, so its fade is turned back.
    state_.setShown(true);
    if (wasVisible && !surface_->isFadingOut()) return;
    surface_->fadeIn();
}

void PreviewPanel::hide() {
    // Cards stop acting at once, not when the fade ends.
    state_.setShown(false);
    if (!surface_ || !surface_->isVisible() || surface_->isFadingOut()) return;
    log_.debug("Panel hide");
    surface_->fadeOut();
}

bool PreviewPanel::isVisible() const {
    return surface_ && surface_->isVisible();
}

}  // namespace vantorel

#include "preview/PanelHost.h"

#include <algorithm>
#include <cmath>

#include "preview/PanelPlacement.h"

namespace vantorel {
namespace {

// Far beyond any screen, yet small enough that every sum stays exact.
constexpr double kLargestPanelSide = 100000;

double sanePanelSide(double length) {
    if (!std::isfinite(length) || length < 0) return 0;
    return std::min(length, kLargestPanelSide);
}

}  // namespace

PanelHost::PanelHost(Screens& screens, Log log, std::unique_ptr<PanelSurface> surface)
    : screens_(screens), log_(log), surface_(std::move(surface)) {
    if (!surface_) {
        log_.error("Panel surface could not be created");
        return;
    }
    // The surface lives inside this object, so the handler can never outlive it.
    surface_->setHoverHandler([this](bool inside) {
        if (onPanelHoverChange) onPanelHoverChange(inside);
    });
}

PanelHost::~PanelHost() {
    if (surface_) surface_->setHoverHandler(nullptr);
}

std::string PanelHost::integer(double value) {
    if (!std::isfinite(value)) return "0";
    return std::to_string(static_cast<long long>(std::clamp(value, -1e15, 1e15)));
}

void PanelHost::show(DockEdge edge, const Rect& tileFrame,
                     const std::function<std::string(const Shown&)>& line) {
    if (!surface_) return;
    const Size fitting = surface_->fittingSize();
    const Size size{sanePanelSide(fitting.width), sanePanelSide(fitting.height)};
    surface_->setContentSize(size);

    if (const std::optional<Point> origin = panelOrigin(edge, tileFrame, size, screens_)) {
        origin_ = *origin;
        surface_->setFrameOrigin(origin_);
    }

    const bool wasVisible = surface_->isVisible();
    if (log_.debugEnabled()) log_.debug(line(Shown{size, origin_, wasVisible}));
    // A panel already up is only resized and moved. One that is fading out would otherwise
    // order itself out right after this show, so its fade is turned back.
    if (wasVisible && !surface_->isFadingOut()) return;
    surface_->fadeIn();
}

void PanelHost::hide(std::string_view line) {
    if (!surface_ || !surface_->isVisible() || surface_->isFadingOut()) return;
    log_.debug(line);
    surface_->fadeOut();
}

bool PanelHost::isVisible() const {
    return surface_ && surface_->isVisible();
}

}  // namespace vantorel

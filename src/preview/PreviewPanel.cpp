#include "preview/PreviewPanel.h"

#include <string>

namespace vantorel {

PreviewPanel::PreviewPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
    : host_(screens, Log(logger, "ui"), makeSurface ? makeSurface(state_) : nullptr) {
    host_.onPanelHoverChange = [this](bool inside) {
        if (onPanelHoverChange) onPanelHoverChange(inside);
    };
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::show(DockEdge edge, const Rect& tileFrame) {
    // Cards act from the moment the panel comes up.
    if (host_.hasSurface()) state_.setShown(true);
    host_.show(edge, tileFrame, [this, edge](const PanelHost::Shown& shown) {
        using PH = PanelHost;
        return "Panel show: app=" + state_.appName() +
               " cards=" + std::to_string(state_.cards().size()) + " " +
               "edge=" + std::string(toString(edge)) + " origin=" + PH::integer(shown.origin.x) +
               "," + PH::integer(shown.origin.y) + " " + "size=" + PH::integer(shown.size.width) +
               "×" + PH::integer(shown.size.height) +
               " wasVisible=" + (shown.wasVisible ? "true" : "false");
    });
}

void PreviewPanel::hide() {
    // Cards stop acting at once, not when the fade ends.
    state_.setShown(false);
    host_.hide("Panel hide");
}

bool PreviewPanel::isVisible() const {
    return host_.isVisible();
}

}  // namespace vantorel

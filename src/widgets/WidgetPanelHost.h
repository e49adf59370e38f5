#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/PanelSurface.h"
#include "preview/PanelHost.h"

namespace vantorel {

class Screens;

// What the four Dock widget panels share: a model created with the panel, a floating window
// hosting the widget's view over that model, the preview panel's placement and fades, and the
// widget's own show and hide log lines. Created once and reused. Main thread only.
template <typename State>
class WidgetPanelHost {
public:
    // Builds the panel window and the widget's view over the panel's state.
    using SurfaceFactory = std::function<std::unique_ptr<PanelSurface>(State&)>;

    WidgetPanelHost(Screens& screens, Logger& logger, std::string_view category,
                    std::string hideLine, const SurfaceFactory& makeSurface)
        : host_(screens, Log(logger, category), makeSurface ? makeSurface(state_) : nullptr),
          hideLine_(std::move(hideLine)) {
        host_.onPanelHoverChange = [this](bool inside) {
            if (onPanelHoverChange) onPanelHoverChange(inside);
        };
    }
    WidgetPanelHost(const WidgetPanelHost&) = delete;
    WidgetPanelHost& operator=(const WidgetPanelHost&) = delete;

    State& state() { return state_; }
    const State& state() const { return state_; }

    // True when the pointer enters the panel's content, false when it leaves.
    std::function<void(bool)> onPanelHoverChange;

    void hide() { host_.hide(hideLine_); }
    bool isVisible() const { return host_.isVisible(); }

protected:
    ~WidgetPanelHost() = default;

    // Fits, places and fades the panel in beside the tile, logging what `line` builds.
    void showPanel(DockEdge edge, const Rect& tileFrame,
                   const std::function<std::string(const PanelHost::Shown&)>& line) {
        host_.show(edge, tileFrame, line);
    }

private:
    // Declared before the host: the views hosted by its surface read it until they go.
    State state_;
    PanelHost host_;
    std::string hideLine_;
};

}  // namespace vantorel

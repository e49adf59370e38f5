#pragma once

#include <functional>
#include <memory>

#include "dock/DockEdge.h"
#include "platform/Geometry.h"
#include "platform/Logger.h"
#include "platform/PanelSurface.h"
#include "preview/PanelHost.h"
#include "preview/PreviewState.h"

namespace vantorel {

class Screens;

// The floating panel of window previews for the hovered application: sizes itself to its views,
// sits beside the Dock tile, fades in and out, and reports the pointer entering and leaving it.
// Created once and reused for every application. Main thread only.
class PreviewPanel {
public:
    // Builds the panel window and its views over the panel's state.
    using SurfaceFactory = std::function<std::unique_ptr<PanelSurface>(PreviewState&)>;

    PreviewPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface);
    ~PreviewPanel();
    PreviewPanel(const PreviewPanel&) = delete;
    PreviewPanel& operator=(const PreviewPanel&) = delete;

    PreviewState& state() { return state_; }
    const PreviewState& state() const { return state_; }

    // True when the pointer enters the panel's content, false when it leaves.
    std::function<void(bool)> onPanelHoverChange;

    // Fits the panel to its views, places it beside the tile (`tileFrame` in accessibility
    // coordinates) and fades it in, or only resizes and moves it when it is already up. Call
    // after filling the state. When no screen is known the panel keeps its last position.
    void show(DockEdge edge, const Rect& tileFrame);
    // Fades the panel out; nothing when it is not up or already going.
    void hide();

    bool isVisible() const;

private:
    // Declared before the host: the views hosted by its surface read it until they go.
    PreviewState state_;
    PanelHost host_;
};

}  // namespace vantorel

#pragma once

#include "widgets/FolderState.h"
#include "widgets/WidgetPanelHost.h"

namespace vantorel {

// The floating panel of a Dock folder's contents.
class FolderPanel final : public WidgetPanelHost<FolderState> {
public:
    FolderPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
        : WidgetPanelHost(screens, logger, "ui", "Folder panel hide", makeSurface) {}

    // Call after filling the state.
    void show(DockEdge edge, const Rect& tileFrame);
};

}  // namespace vantorel

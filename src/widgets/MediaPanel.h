#pragma once

#include "widgets/MediaState.h"
#include "widgets/WidgetPanelHost.h"

namespace vantorel {

// The floating panel of the track a media player is playing.
class MediaPanel final : public WidgetPanelHost<MediaState> {
public:
    MediaPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
        : WidgetPanelHost(screens, logger, "media", "Media panel hide", makeSurface) {}

    // Call after filling the state.
    void show(DockEdge edge, const Rect& tileFrame);
};

}  // namespace vantorel

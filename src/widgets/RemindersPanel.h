#pragma once

#include "widgets/RemindersState.h"
#include "widgets/WidgetPanelHost.h"

namespace vantorel {

// The floating panel of due reminders.
class RemindersPanel final : public WidgetPanelHost<RemindersState> {
public:
    RemindersPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
        : WidgetPanelHost(screens, logger, "ui", "Reminders panel hide", makeSurface) {}

    // Call after filling the state.
    void show(DockEdge edge, const Rect& tileFrame);
};

}  // namespace vantorel

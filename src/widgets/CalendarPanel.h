#pragma once

#include "widgets/CalendarState.h"
#include "widgets/WidgetPanelHost.h"

namespace vantorel {

// The floating panel of today's events.
class CalendarPanel final : public WidgetPanelHost<CalendarState> {
public:
    CalendarPanel(Screens& screens, Logger& logger, const SurfaceFactory& makeSurface)
        : WidgetPanelHost(screens, logger, "ui", "Calendar panel hide", makeSurface) {}

    // Call after filling the state.
    void show(DockEdge edge, const Rect& tileFrame);
};

}  // namespace vantorel

#include "widgets/CalendarPanel.h"

namespace vantorel {

void CalendarPanel::show(DockEdge edge, const Rect& tileFrame) {
    showPanel(edge, tileFrame, [this](const PanelHost::Shown&) {
        return "Calendar panel show: events=" + std::to_string(state().events().size());
    });
}

}  // namespace vantorel

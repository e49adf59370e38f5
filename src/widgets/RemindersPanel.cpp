#include "widgets/RemindersPanel.h"

namespace vantorel {

void RemindersPanel::show(DockEdge edge, const Rect& tileFrame) {
    showPanel(edge, tileFrame, [this](const PanelHost::Shown&) {
        return "Reminders panel show: items=" + std::to_string(state().items().size());
    });
}

}  // namespace vantorel

#include "widgets/RemindersPanelSurface.h"

#include "widgets/RemindersPopoverView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeRemindersPanelSurface(RemindersState& state,
                                                        Appearance& appearance,
                                                        const SymbolTable& symbols) {
    return PopoverView::makeSurface(appearance,
                                    new RemindersPopoverView(state, appearance, symbols),
                                    WidgetListView::kCardRadius);
}

}  // namespace vantorel

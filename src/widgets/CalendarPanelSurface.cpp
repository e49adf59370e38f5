#include "widgets/CalendarPanelSurface.h"

#include "widgets/CalendarPopoverView.h"

namespace vantorel {

std::unique_ptr<PanelSurface> makeCalendarPanelSurface(CalendarState& state, Appearance& appearance,
                                                       const SymbolTable& symbols) {
    return PopoverView::makeSurface(appearance, new CalendarPopoverView(state, appearance, symbols),
                                    WidgetListView::kCardRadius);
}

}  // namespace vantorel

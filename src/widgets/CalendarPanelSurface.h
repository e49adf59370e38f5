#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class CalendarState;
class SymbolTable;

// The calendar panel's real window: a floating glass panel hosting the calendar popover of `state`.
std::unique_ptr<PanelSurface> makeCalendarPanelSurface(CalendarState& state, Appearance& appearance,
                                                       const SymbolTable& symbols);

}  // namespace vantorel

#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class RemindersState;
class SymbolTable;

// The reminders panel's real window: a floating glass panel hosting the reminders popover of
// `state`.
std::unique_ptr<PanelSurface> makeRemindersPanelSurface(RemindersState& state,
                                                        Appearance& appearance,
                                                        const SymbolTable& symbols);

}  // namespace vantorel

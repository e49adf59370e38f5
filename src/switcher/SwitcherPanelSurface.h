#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class SwitcherState;
class SymbolTable;

// The switcher panel's real window: a floating glass panel above the preview panel hosting the
// switcher view of `state` with 196 × 122 cards. Hands to SwitcherPanel as its surface factory.
std::unique_ptr<PanelSurface> makeSwitcherPanelSurface(SwitcherState& state, Appearance& appearance,
                                                       const SymbolTable& symbols);
std::unique_ptr<PanelSurface> makeSwitcherPanelSurface(SwitcherState& state);

}  // namespace vantorel

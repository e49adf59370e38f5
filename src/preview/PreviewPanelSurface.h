#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class PreviewState;
class SymbolTable;

// The preview panel's real window: a floating glass panel hosting the preview views of `state`.
// Hands to PreviewPanel as its surface factory.
std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state, Appearance& appearance,
                                                      const SymbolTable& symbols);
std::unique_ptr<PanelSurface> makePreviewPanelSurface(PreviewState& state);

}  // namespace vantorel

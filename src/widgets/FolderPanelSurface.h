#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class FolderState;

// The folder panel's real window: a floating glass panel hosting the folder popover of `state`.
std::unique_ptr<PanelSurface> makeFolderPanelSurface(FolderState& state, Appearance& appearance);

}  // namespace vantorel

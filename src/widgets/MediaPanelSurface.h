#pragma once

#include <memory>

#include "platform/PanelSurface.h"

namespace vantorel {

class Appearance;
class MediaState;

// The media panel's real window: a floating glass panel hosting the media popover of `state`.
std::unique_ptr<PanelSurface> makeMediaPanelSurface(MediaState& state, Appearance& appearance);

}  // namespace vantorel

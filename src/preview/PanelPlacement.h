#pragma once

#include <optional>

#include "dock/DockEdge.h"
#include "platform/Geometry.h"

namespace vantorel {

class Screens;

// Gap between a panel and its Dock tile, and between a panel and the edges of the usable screen.
inline constexpr double kPanelGap = 8;

// Where a panel of `size` goes beside a Dock tile: its frame origin in window-system coordinates
// (bottom-left origin, y upward). `tileFrame` is in accessibility coordinates (top-left origin of
// the primary screen, y downward). The panel sits beside the tile on the Dock's side and is kept
// inside the usable area of the tile's screen; a panel larger than that area overhangs on the left
// (or bottom). Empty when there is no screen at all, or the geometry is not finite: the caller then
// leaves the panel where it is.
std::optional<Point> panelOrigin(DockEdge edge, const Rect& tileFrame, const Size& size,
                                 Screens& screens);

}  // namespace vantorel

#pragma once

#include <QPalette>

namespace vantorel {

// A fixed light palette, so that pictures made for review (the tour, the gallery) do not depend
// on the desktop they happen to be drawn on.
QPalette referenceLightPalette();

}  // namespace vantorel

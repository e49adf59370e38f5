#pragma once

#include <QPalette>

namespace vantorel {

// A fixed light palette, so that pictures made for review (the tour, the gallery) do not depend
// on the desktop they happen to be drawn on.
QPalette referenceLightPalette();
// Its dark counterpart, for the windows that follow the desktop's scheme.
QPalette referenceDarkPalette();

}  // namespace vantorel

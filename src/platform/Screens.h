#pragma once

#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace vantorel {

// One display, in the window system's global coordinates (origin bottom-left of the primary
// screen, y upward).
struct ScreenInfo {
    Rect frame;
    Rect visibleFrame;
};

// Port: the displays.
class Screens {
public:
    virtual ~Screens() = default;
    // The first entry is the primary screen.
    virtual std::vector<ScreenInfo> screens() = 0;
    // The first of screens(), for callers that want only it; an adapter can answer without
    // building the whole list.
    virtual std::optional<ScreenInfo> primaryScreen() {
        auto all = screens();
        if (all.empty()) return std::nullopt;
        return all.front();
    }
    // The screen with keyboard focus, if any.
    virtual std::optional<ScreenInfo> mainScreen() = 0;
};

}  // namespace vantorel

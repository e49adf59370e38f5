#pragma once

#include <cstdint>
#include <string>

#include "platform/AXElement.h"
#include "platform/Geometry.h"
#include "platform/ProcessId.h"
#include "platform/WindowServer.h"

namespace vantorel {

// One window at the moment it was listed; not updated afterwards.
struct WindowInfo {
    // Card identity: the window number when the window server listed it, otherwise (a minimised
    // window) the low 16 bits of its element's hash, so neither unique nor disjoint from numbers.
    std::uint32_t id = 0;
    // 0 when the window has no window-server window; capture needs a non-zero number.
    WindowNumber cgWindowID = 0;
    AXElement axElement;
    std::string title;
    // The accessibility frame: global points, top-left origin of the primary screen, y downward.
    Rect frame;
    bool isMinimized = false;
    ProcessId ownerPID = 0;

    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

}  // namespace vantorel

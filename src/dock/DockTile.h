#pragma once

#include <optional>
#include <string>

#include "platform/AXElement.h"
#include "platform/Geometry.h"
#include "platform/RunningApplication.h"
#include "platform/Url.h"

namespace vantorel {

// One tile of the Dock as last read: at most one of runningApp and folderURL is set; a tile
// with neither (a separator, an application not running, an unresolvable stack) is still
// hit-tested but yields no item.
struct DockTile {
    AXElement element;
    std::string title;
    Rect frame;
    std::optional<RunningApplication> runningApp;
    std::optional<Url> folderURL;
};

}  // namespace vantorel

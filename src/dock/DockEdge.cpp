#include "dock/DockEdge.h"

#include "platform/UserDefaults.h"

namespace vantorel {

DockEdge currentDockEdge(UserDefaults& defaults) {
    const auto dock = defaults.suite("com.apple.dock");
    if (!dock) return DockEdge::bottom;
    const auto value = dock->object("orientation");
    const auto* orientation = value ? value->as<std::string>() : nullptr;
    if (!orientation) return DockEdge::bottom;
    if (*orientation == "left") return DockEdge::left;
    if (*orientation == "right") return DockEdge::right;
    return DockEdge::bottom;
}

const char* toString(DockEdge edge) {
    switch (edge) {
        case DockEdge::bottom:
            return "bottom";
        case DockEdge::left:
            return "left";
        case DockEdge::right:
            return "right";
    }
    return "bottom";
}

}  // namespace vantorel

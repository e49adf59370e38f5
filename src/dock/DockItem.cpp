#include "dock/DockItem.h"

#include "platform/Workspace.h"

namespace vantorel {

std::string DockItem::id() const {
    if (const auto* app = application()) return "app:" + std::to_string(app->processIdentifier);
    return "folder:" + folderURL()->path();
}

bool DockItem::sameTarget(const DockItem& other) const {
    if (kind() != other.kind()) return false;
    if (const auto* app = application()) {
        return app->processIdentifier == other.application()->processIdentifier;
    }
    return folderURL()->path() == other.folderURL()->path();
}

ImageRef DockItem::icon(Workspace& workspace) const {
    if (const auto* app = application()) return app->icon;
    return workspace.iconForFile(folderURL()->path());
}

}  // namespace vantorel

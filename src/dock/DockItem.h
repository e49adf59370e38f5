#pragma once

#include <string>
#include <variant>

#include "platform/Geometry.h"
#include "platform/RunningApplication.h"
#include "platform/Url.h"

namespace vantorel {

class Workspace;

// The hovered Dock item: a running application or a folder, with the tile's title and frame
// (accessibility coordinates).
struct DockItem {
    enum class Kind { app, folder };

    std::variant<RunningApplication, Url> target;
    std::string title;
    Rect frame;

    static DockItem app(RunningApplication application, std::string title, Rect frame) {
        return {std::move(application), std::move(title), frame};
    }
    static DockItem folder(Url url, std::string title, Rect frame) {
        return {std::move(url), std::move(title), frame};
    }

    Kind kind() const { return target.index() == 0 ? Kind::app : Kind::folder; }
    const RunningApplication* application() const {
        return std::get_if<RunningApplication>(&target);
    }
    const Url* folderURL() const { return std::get_if<Url>(&target); }

    // "app:<pid>" or "folder:<path>": two items are the same Dock target exactly when these match.
    std::string id() const;
    bool sameTarget(const DockItem& other) const;
    ImageRef icon(Workspace& workspace) const;

    // Same target and exactly the same frame.
    friend bool operator==(const DockItem& a, const DockItem& b) {
        return a.sameTarget(b) && a.frame == b.frame;
    }
};

}  // namespace vantorel

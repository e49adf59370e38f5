#include "dock/DockObserver.h"

#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/Accessibility.h"
#include "platform/Screens.h"
#include "platform/Workspace.h"

namespace vantorel {
namespace {

constexpr std::string_view kDockBundleIdentifier = "com.apple.dock";

std::string bundleFileName(const Url& bundleURL) {
    const std::string& path = bundleURL.path();
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

DockObserver::DockObserver(const PlatformPorts& ports)
    : workspace_(ports.workspace),
      screens_(ports.screens),
      pointer_(ports.pointer),
      files_(ports.files),
      scheduler_(ports.scheduler),
      accessibility_(ports.accessibility),
      reader_(ports.accessibility),
      log_(ports.logger, "dock"),
      folderService_(ports) {}

void DockObserver::start() {
    locateDock();
    refreshTiles(true);
    globalMonitor_ =
        pointer_.addGlobalMonitor(kEventMaskMouseMoved, [this] { handleMouseMoved(); });
    localMonitor_ = pointer_.addLocalMonitor(kEventMaskMouseMoved, [this] { handleMouseMoved(); });
    log_.info("DockObserver started with " + std::to_string(cachedTiles_.size()) + " tiles");
}

void DockObserver::locateDock() {
    for (const auto& app : workspace_.runningApplications()) {
        if (app.bundleIdentifier && *app.bundleIdentifier == kDockBundleIdentifier) {
            dockPID_ = app.processIdentifier;
            dockElement_ = accessibility_.createApplication(dockPID_);
            return;
        }
    }
    log_.error("Could not find the Dock process");
}

std::optional<AXElement> DockObserver::findTileList(const AXElement& dock) const {
    const auto children = reader_.elements(dock, "AXChildren");
    if (!children) return std::nullopt;
    for (const auto& child : *children) {
        if (reader_.string(child, "AXRole") == "AXList") return child;
    }
    return std::nullopt;
}

void DockObserver::refreshTiles(bool force) {
    const TimePoint now = scheduler_.now();
    if (!force && lastTilesRefresh_) {
        const Duration interval = currentHover_ ? kHoveredRefreshInterval : kRefreshInterval;
        if (now - *lastTilesRefresh_ <= interval) return;
    }
    lastTilesRefresh_ = now;

    std::optional<AXElement> list;
    if (dockElement_) list = findTileList(*dockElement_);
    if (!list) {
        locateDock();
        if (dockElement_) list = findTileList(*dockElement_);
    }
    if (!list) {
        log_.error("Dock AXList not found");
        return;
    }

    const auto tileElements =
        reader_.elements(*list, "AXChildren").value_or(std::vector<AXElement>{});
    cachedFolders_ = folderService_.dockFolderMap();

    const auto apps = workspace_.runningApplications();
    std::unordered_map<std::string, const RunningApplication*> byName;
    std::unordered_map<std::string, const RunningApplication*> byPath;
    for (const auto& app : apps) {
        if (!app.isRegular()) continue;
        if (app.localizedName) byName.try_emplace(*app.localizedName, &app);
        if (app.bundleURL) {
            byName.try_emplace(bundleFileName(*app.bundleURL), &app);
            byPath.insert_or_assign(app.bundleURL->standardizedPath(), &app);
        }
    }

    std::vector<DockTile> tiles;
    tiles.reserve(tileElements.size());
    for (const auto& element : tileElements) {
        auto title = reader_.string(element, "AXTitle");
        if (!title) continue;
        const auto position = reader_.point(element, "AXPosition");
        const auto size = reader_.size(element, "AXSize");
        if (!position || !size) continue;
        const auto axURL = reader_.url(element, "AXURL");

        DockTile tile{element, std::move(*title), Rect(*position, *size), std::nullopt,
                      std::nullopt};
        const RunningApplication* app = nullptr;
        if (axURL && axURL->isFileUrl()) {
            const auto it = byPath.find(axURL->standardizedPath());
            if (it != byPath.end()) app = it->second;
        }
        if (!app) {
            const auto it = byName.find(tile.title);
            if (it != byName.end()) app = it->second;
        }
        if (app) {
            tile.runningApp = *app;
        } else {
            tile.folderURL = resolveFolder(tile, axURL);
        }
        tiles.push_back(std::move(tile));
    }
    cachedTiles_ = std::move(tiles);
}

std::optional<Url> DockObserver::resolveFolder(const DockTile& tile,
                                               const std::optional<Url>& axURL) const {
    if (axURL && FolderService::isPlainDirectory(files_, *axURL)) return axURL;
    const auto it = cachedFolders_.find(tile.title);
    if (it != cachedFolders_.end()) return it->second;
    if (log_.debugEnabled()) log_.debug("No folder path for stack tile \"" + tile.title + "\"");
    return std::nullopt;
}

double DockObserver::primaryScreenHeight() const {
    // Not the whole list: this runs for every pointer event.
    if (const auto primary = screens_.primaryScreen()) return primary->frame.height();
    if (const auto main = screens_.mainScreen()) return main->frame.height();
    return 0;
}

void DockObserver::handleMouseMoved() {
    refreshTiles(false);
    const Point location = pointer_.mouseLocation();
    const Point ax{location.x, primaryScreenHeight() - location.y};
    const DockTile* hit = nullptr;
    for (const auto& tile : cachedTiles_) {
        if (tile.frame.contains(ax)) {
            hit = &tile;
            break;
        }
    }
    updateHover(hit);
}

void DockObserver::updateHover(const DockTile* tile) {
    // Compare identities without building an item: this runs for every pointer event.
    const bool isApp = tile && tile->runningApp;
    const bool isFolder = tile && !isApp && tile->folderURL;
    if (!isApp && !isFolder) {
        if (!currentHover_) return;
    } else if (currentHover_) {
        if (isApp) {
            const auto* current = currentHover_->application();
            if (current && current->processIdentifier == tile->runningApp->processIdentifier)
                return;
        } else {
            const auto* current = currentHover_->folderURL();
            if (current && current->path() == tile->folderURL->path()) return;
        }
    }

    if (isApp) {
        currentHover_ = DockItem::app(*tile->runningApp, tile->title, tile->frame);
    } else if (isFolder) {
        currentHover_ = DockItem::folder(*tile->folderURL, tile->title, tile->frame);
    } else {
        currentHover_.reset();
    }
    if (!currentHover_) {
        log_.debug("Hover → none");
    } else if (log_.debugEnabled()) {
        log_.debug("Hover → " + currentHover_->title);
    }
    if (onHoverChange) {
        // A copy: the callback may move the pointer again and replace currentHover_.
        const std::optional<DockItem> item = currentHover_;
        onHoverChange(item);
    }
}

}  // namespace vantorel

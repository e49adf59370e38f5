#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "dock/AXReader.h"
#include "dock/DockItem.h"
#include "dock/DockTile.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "platform/Pointer.h"
#include "platform/Scheduler.h"
#include "widgets/FolderService.h"

namespace vantorel {

// Follows the pointer over the Dock and reports each change of the hovered Dock item.
// Main thread only. The tile cache is rebuilt from the Dock's accessibility list at most every
// 0.3 s (1.0 s while an item is hovered), and only when the pointer moves.
class DockObserver {
public:
    static constexpr Duration kRefreshInterval = std::chrono::milliseconds(300);
    static constexpr Duration kHoveredRefreshInterval = std::chrono::milliseconds(1000);

    explicit DockObserver(const PlatformPorts& ports);
    DockObserver(const DockObserver&) = delete;
    DockObserver& operator=(const DockObserver&) = delete;

    // Called with the new item, or none, whenever the hovered item's id changes.
    std::function<void(const std::optional<DockItem>&)> onHoverChange;

    // Locates the Dock, fills the cache and installs the mouse-moved monitors. Called once.
    void start();
    // The work of one mouse-moved event.
    void handleMouseMoved();
    // Rebuilds the tile cache unless the interval has not passed; force skips that check.
    void refreshTiles(bool force);

    const std::vector<DockTile>& cachedTiles() const { return cachedTiles_; }
    const DockFolderMap& cachedFolders() const { return cachedFolders_; }
    const std::optional<DockItem>& currentHover() const { return currentHover_; }
    ProcessId dockPID() const { return dockPID_; }

private:
    void locateDock();
    std::optional<AXElement> findTileList(const AXElement& dock) const;
    std::optional<Url> resolveFolder(const DockTile& tile, const std::optional<Url>& axURL) const;
    double primaryScreenHeight() const;
    void updateHover(const DockTile* tile);

    Workspace& workspace_;
    Screens& screens_;
    Pointer& pointer_;
    FileResources& files_;
    Scheduler& scheduler_;
    Accessibility& accessibility_;
    AXReader reader_;
    Log log_;

    std::optional<AXElement> dockElement_;
    ProcessId dockPID_ = 0;
    std::vector<DockTile> cachedTiles_;
    DockFolderMap cachedFolders_;
    std::optional<TimePoint> lastTilesRefresh_;  // none: the distant past
    std::optional<DockItem> currentHover_;
    FolderService folderService_;
    std::unique_ptr<MonitorToken> globalMonitor_;
    std::unique_ptr<MonitorToken> localMonitor_;
};

}  // namespace vantorel

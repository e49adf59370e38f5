#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "dock/DockItem.h"
#include "dock/DockObserver.h"
#include "dock/HoverController.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "platform/Scheduler.h"
#include "preview/PreviewPanel.h"
#include "switcher/SwitcherPanel.h"
#include "switcher/WindowSwitcher.h"
#include "widgets/CalendarPanel.h"
#include "widgets/CalendarService.h"
#include "widgets/FolderPanel.h"
#include "widgets/FolderService.h"
#include "widgets/MediaPanel.h"
#include "widgets/MediaService.h"
#include "widgets/RemindersPanel.h"
#include "widgets/RemindersService.h"
#include "windows/ThumbnailService.h"
#include "windows/WindowActions.h"
#include "windows/WindowService.h"

namespace vantorel {

class Executor;
class PermissionsManager;
class Preferences;

// The windows of the coordinator's panels, built by the platform's UI over each panel's model.
struct PanelFactories {
    PreviewPanel::SurfaceFactory preview;
    FolderPanel::SurfaceFactory folder;
    MediaPanel::SurfaceFactory media;
    CalendarPanel::SurfaceFactory calendar;
    RemindersPanel::SurfaceFactory reminders;
};

// Owns every service and panel of the running application and connects them: hover reports
// go through the hover timing, each show is routed to one panel, the preview is filled from the
// window service with thumbnails from the capture service, and the cards' requests are carried
// out. Main thread only.
class AppCoordinator {
public:
    static constexpr std::string_view kCalendarBundleID = "com.apple.iCal";
    static constexpr std::string_view kRemindersBundleID = "com.apple.reminders";

    // `folderExecutor` lists folders off the main thread; the listing comes back through the
    // scheduler.
    AppCoordinator(const PlatformPorts& ports, PermissionsManager& permissions,
                   Preferences& preferences, Executor& captureExecutor, Executor& folderExecutor,
                   const PanelFactories& panels);
    ~AppCoordinator();
    AppCoordinator(const AppCoordinator&) = delete;
    AppCoordinator& operator=(const AppCoordinator&) = delete;

    // Begins observing the Dock, now or once Accessibility is granted. Called once.
    void start();
    // Stops every live capture and hides the panel, as the program ends.
    void stop() { hideAll(); }

    bool observing() const { return observing_; }
    const std::optional<DockItem>& currentItem() const { return currentItem_; }
    PreviewPanel& panel() { return panel_; }
    FolderPanel& folderPanel() { return folderPanel_; }
    MediaPanel& mediaPanel() { return mediaPanel_; }
    CalendarPanel& calendarPanel() { return calendarPanel_; }
    RemindersPanel& remindersPanel() { return remindersPanel_; }
    HoverController& hover() { return hover_; }
    // Null until the switcher is first armed or disarmed.
    WindowSwitcher* switcher() const { return switcher_.get(); }

    // The switcher panel's window, read when the switcher is first needed. Set before start().
    SwitcherPanel::SurfaceFactory makeSwitcherSurface;
    DockObserver& dockObserver() { return dockObserver_; }
    const ThumbnailService& thumbnails() const { return thumbnails_; }

private:
    using CardPair = std::pair<WindowNumber, std::uint32_t>;  // window number, card id

    void applyPreferences();
    void preferencesChanged();
    // Creates the switcher on first need, then arms it or disarms it per the setting.
    void armSwitcher();
    void pollAccessibility();
    void startObserving();
    // Where an application's tile leads instead of its windows' preview.
    enum class WidgetRoute { preview, calendar, reminders, media };

    void panelHoverChanged(bool inside);
    void route(const DockItem& item);
    WidgetRoute widgetRoute(const RunningApplication& app) const;
    void showFolder(const Url& folder, const DockItem& item);
    void folderListed(std::uint64_t request, const DockItem& item,
                      std::vector<FolderState::EntryRef> entries);
    void openFile(const Url& url);
    // False when the player reports nothing playing: the item then gets the preview.
    bool showMedia(const DockItem& item, MediaService::Player player);
    void mediaTransport(void (MediaService::*command)(MediaService::Player) const);
    // Asks for access on first hover while undetermined; shows the widget if it is granted and
    // the pointer is still on the item, else the preview.
    void showCalendar(const RunningApplication& app, const DockItem& item);
    void showCalendarNow(const DockItem& item);
    void showReminders(const RunningApplication& app, const DockItem& item);
    void showRemindersNow(const DockItem& item);
    // Hides every panel but the one about to show, and stops filling the preview.
    void hideOtherPanels(const void* keep);
    // Whether work started by the route of `item` as `generation` may still show it: no later
    // route or hide came, and the pointer is still on the item.
    bool stillRouted(std::uint64_t generation, const DockItem& item) const;
    void openApplication(std::string_view bundleIdentifier);
    void showPreview(const RunningApplication& app, const DockItem& item);
    void cancelThumbnailTasks();
    void startThumbnails(const std::vector<WindowInfo>& windows);
    void snapshotNext(std::shared_ptr<TaskHandle::State> task,
                      std::shared_ptr<const std::vector<CardPair>> pairs, std::size_t index,
                      ThumbnailService::Session session);
    void startLiveNext(std::shared_ptr<TaskHandle::State> task,
                       std::shared_ptr<const std::vector<CardPair>> pairs, std::size_t index,
                       ThumbnailService::Session session);
    void logCapturesRunning(std::size_t count) const;
    void hideAll();
    // By value: the card that handed the window over may be gone before these return.
    void activateCard(WindowInfo window);
    void closeCard(WindowInfo window);
    void toggleMinimized(WindowInfo window);

    PlatformPorts ports_;
    PermissionsManager& permissions_;
    DockObserver dockObserver_;
    WindowService windowService_;
    ThumbnailService thumbnails_;
    WindowActions actions_;
    HoverController hover_;
    PreviewPanel panel_;
    FolderPanel folderPanel_;
    FolderService folderService_;
    MediaPanel mediaPanel_;
    MediaService mediaService_;
    CalendarPanel calendarPanel_;
    CalendarService calendarService_;
    RemindersPanel remindersPanel_;
    RemindersService remindersService_;
    Executor& folderExecutor_;
    std::unique_ptr<WindowSwitcher> switcher_;
    Preferences& preferences_;
    std::optional<DockItem> currentItem_;
    std::vector<TaskHandle> thumbnailTasks_;
    TaskHandle accessibilityPoll_;
    TaskHandle releaseFrames_;
    bool observing_ = false;
    // The newest folder listing asked for; older ones that finish later are dropped.
    std::uint64_t folderRequest_ = 0;
    // Counts routes and hides; the permission requests and reminders fetches check it.
    std::uint64_t routeGeneration_ = 0;
    Log appLog_;
    Log captureLog_;
    // Work that resumes later holds this weakly and does nothing once the coordinator is gone.
    std::shared_ptr<AppCoordinator*> self_;
};

}  // namespace vantorel

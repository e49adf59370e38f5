#include "app/AppCoordinator.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <string>

#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "dock/DockEdge.h"
#include "platform/Workspace.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

constexpr Duration kAccessibilityPollInterval = 1s;
// A little longer than the panel's fade-out, which shows the last frames to the end.
constexpr Duration kReleaseFramesDelay = 200ms;
// Long enough for a player to have acted on a transport command before it is asked again.
constexpr Duration kMediaRequeryDelay = 150ms;

}  // namespace

AppCoordinator::AppCoordinator(const PlatformPorts& ports, PermissionsManager& permissions,
                               Preferences& preferences, Executor& captureExecutor,
                               Executor& folderExecutor, const PanelFactories& panels)
    : ports_(ports),
      permissions_(permissions),
      dockObserver_(ports),
      windowService_(ports),
      thumbnails_(ports, captureExecutor),
      actions_(ports),
      hover_(ports.scheduler),
      panel_(ports.screens, ports.logger, panels.preview),
      folderPanel_(ports.screens, ports.logger, panels.folder),
      folderService_(ports),
      mediaPanel_(ports.screens, ports.logger, panels.media),
      mediaService_(ports),
      calendarPanel_(ports.screens, ports.logger, panels.calendar),
      calendarService_(ports.eventStore, ports.userCalendar),
      remindersPanel_(ports.screens, ports.logger, panels.reminders),
      remindersService_(ports.eventStore, ports.userCalendar, ports.scheduler),
      folderExecutor_(folderExecutor),
      preferences_(preferences),
      appLog_(ports.logger, "app"),
      captureLog_(ports.logger, "capture"),
      self_(std::make_shared<AppCoordinator*>(this)) {
    dockObserver_.onHoverChange = [this](const std::optional<DockItem>& item) {
        if (item) {
            hover_.hover(*item);
        } else {
            hover_.hoverEnded();
        }
    };
    hover_.onShow = [this](const DockItem& item) { route(item); };
    hover_.onHide = [this] { hideAll(); };
    panel_.onPanelHoverChange = [this](bool inside) { panelHoverChanged(inside); };
    folderPanel_.onPanelHoverChange = [this](bool inside) { panelHoverChanged(inside); };
    folderPanel_.state().onOpen = [this](const Url& url) { openFile(url); };
    mediaPanel_.onPanelHoverChange = [this](bool inside) { panelHoverChanged(inside); };
    MediaState& media = mediaPanel_.state();
    media.onPlayPause = [this] { mediaTransport(&MediaService::playPause); };
    media.onNext = [this] { mediaTransport(&MediaService::nextTrack); };
    media.onPrevious = [this] { mediaTransport(&MediaService::previousTrack); };
    calendarPanel_.onPanelHoverChange = [this](bool inside) { panelHoverChanged(inside); };
    calendarPanel_.state().onOpenCalendar = [this] { openApplication(kCalendarBundleID); };
    remindersPanel_.onPanelHoverChange = [this](bool inside) { panelHoverChanged(inside); };
    remindersPanel_.state().onOpenReminders = [this] { openApplication(kRemindersBundleID); };
    PreviewState& state = panel_.state();
    state.onActivate = [this](const WindowInfo& window) { activateCard(window); };
    state.onClose = [this](const WindowInfo& window) { closeCard(window); };
    state.onMinimizeToggle = [this](const WindowInfo& window) { toggleMinimized(window); };
    applyPreferences();
    preferences_.onChange = [this] { preferencesChanged(); };
}

AppCoordinator::~AppCoordinator() {
    accessibilityPoll_.cancel();
    cancelThumbnailTasks();
    preferences_.onChange = nullptr;
}

void AppCoordinator::applyPreferences() {
    hover_.setTiming(HoverController::Timing::fromMilliseconds(preferences_.showDelayMS(),
                                                               preferences_.hideDelayMS()));
}

void AppCoordinator::preferencesChanged() {
    applyPreferences();
    // Never armed before Accessibility is granted: observation arms it first.
    if (observing_) armSwitcher();
}

void AppCoordinator::armSwitcher() {
    if (!switcher_) {
        switcher_ = std::make_unique<WindowSwitcher>(ports_, thumbnails_, makeSwitcherSurface);
    }
    if (preferences_.altTabEnabled()) {
        switcher_->start();
    } else {
        switcher_->stop();
    }
}

void AppCoordinator::start() {
    if (permissions_.accessibility() != PermissionsManager::Status::granted) {
        appLog_.info("Waiting for Accessibility before starting…");
        accessibilityPoll_ =
            ports_.scheduler.schedule(kAccessibilityPollInterval, [this] { pollAccessibility(); });
        return;
    }
    startObserving();
}

void AppCoordinator::pollAccessibility() {
    if (permissions_.checkAccessibility(false)) {
        startObserving();
        return;
    }
    accessibilityPoll_ =
        ports_.scheduler.schedule(kAccessibilityPollInterval, [this] { pollAccessibility(); });
}

void AppCoordinator::startObserving() {
    accessibilityPoll_.cancel();
    accessibilityPoll_ = TaskHandle();
    observing_ = true;
    dockObserver_.start();
    armSwitcher();
    appLog_.info("Coordinator started");
}

void AppCoordinator::panelHoverChanged(bool inside) {
    if (inside) {
        hover_.pointerEnteredPanel();
    } else {
        hover_.pointerLeftPanel();
    }
}

void AppCoordinator::route(const DockItem& item) {
    ++routeGeneration_;
    currentItem_ = item;
    if (const Url* folder = item.folderURL()) {
        showFolder(*folder, item);
        return;
    }
    const RunningApplication& app = *item.application();
    switch (widgetRoute(app)) {
        case WidgetRoute::media:
            if (showMedia(item, *mediaPlayerFromRawValue(*app.bundleIdentifier))) return;
            break;
        case WidgetRoute::calendar:
            showCalendar(app, item);
            return;
        case WidgetRoute::reminders:
            showReminders(app, item);
            return;
        case WidgetRoute::preview:
            break;
    }
    showPreview(app, item);
}

AppCoordinator::WidgetRoute AppCoordinator::widgetRoute(const RunningApplication& app) const {
    if (!app.bundleIdentifier) return WidgetRoute::preview;
    const std::string& bundle = *app.bundleIdentifier;
    using Status = PermissionsManager::Status;
    if (preferences_.calendarWidgetEnabled() && bundle == kCalendarBundleID &&
        permissions_.calendar() != Status::denied) {
        return WidgetRoute::calendar;
    }
    if (preferences_.remindersWidgetEnabled() && bundle == kRemindersBundleID &&
        permissions_.reminders() != Status::denied) {
        return WidgetRoute::reminders;
    }
    // The media widget shows only while its player reports a track; otherwise the preview.
    if (preferences_.mediaControlsEnabled() && mediaPlayerFromRawValue(bundle)) {
        return WidgetRoute::media;
    }
    return WidgetRoute::preview;
}

void AppCoordinator::showFolder(const Url& folder, const DockItem& item) {
    if (!preferences_.folderPopEnabled()) {
        hideAll();
        return;
    }
    hideOtherPanels(&folderPanel_);
    // A large folder takes longer to list than a frame lasts: the worker lists it and the
    // result comes back to the main thread.
    const std::uint64_t request = ++folderRequest_;
    std::weak_ptr<AppCoordinator*> weak = self_;
    folderExecutor_.post([weak, &scheduler = ports_.scheduler, service = folderService_, folder,
                          sort = preferences_.folderSort(), request, item] {
        auto entries = service.entries(folder, sort);
        scheduler.post([weak, request, item, entries = std::move(entries)]() mutable {
            if (auto self = weak.lock()) (*self)->folderListed(request, item, std::move(entries));
        });
    });
}

void AppCoordinator::folderListed(std::uint64_t request, const DockItem& item,
                                  std::vector<FolderState::EntryRef> entries) {
    // The pointer moved on, or a newer listing began, while this one ran.
    if (request != folderRequest_ || !currentItem_ || currentItem_->id() != item.id()) return;
    FolderState& state = folderPanel_.state();
    state.setFolderName(item.title);
    state.setFolderIcon(item.icon(ports_.workspace));
    state.setEntries(std::move(entries));
    folderPanel_.show(currentDockEdge(ports_.defaults), item.frame);
}

void AppCoordinator::openFile(const Url& url) {
    if (!ports_.workspace.openURL(url)) appLog_.error("Could not open " + url.string());
    hideAll();
}

bool AppCoordinator::showMedia(const DockItem& item, MediaService::Player player) {
    auto nowPlaying = mediaService_.nowPlaying(player);
    if (!nowPlaying) return false;
    hideOtherPanels(&mediaPanel_);
    MediaState& state = mediaPanel_.state();
    state.setAppName(item.title);
    state.setAppIcon(item.icon(ports_.workspace));
    state.setNowPlaying(std::move(nowPlaying));
    mediaPanel_.show(currentDockEdge(ports_.defaults), item.frame);
    return true;
}

void AppCoordinator::mediaTransport(void (MediaService::*command)(MediaService::Player) const) {
    const auto& nowPlaying = mediaPanel_.state().nowPlaying();
    if (!nowPlaying) return;
    const MediaService::Player player = nowPlaying->player;
    (mediaService_.*command)(player);
    // The answer lands in the widget whatever is hovered by then; the panel stays open.
    std::weak_ptr<AppCoordinator*> weak = self_;
    ports_.scheduler.schedule(kMediaRequeryDelay, [weak, player] {
        if (auto self = weak.lock()) {
            AppCoordinator& coordinator = **self;
            coordinator.mediaPanel_.state().setNowPlaying(
                coordinator.mediaService_.nowPlaying(player));
        }
    });
}

void AppCoordinator::showCalendar(const RunningApplication& app, const DockItem& item) {
    if (permissions_.calendar() != PermissionsManager::Status::notDetermined) {
        showCalendarNow(item);
        return;
    }
    std::weak_ptr<AppCoordinator*> weak = self_;
    permissions_.requestCalendarAccess([weak, app, item, generation = routeGeneration_] {
        auto self = weak.lock();
        // The pointer moved on, or the item was routed again, while the user was asked.
        if (!self || !(*self)->stillRouted(generation, item)) return;
        AppCoordinator& coordinator = **self;
        if (coordinator.permissions_.calendar() == PermissionsManager::Status::granted) {
            coordinator.showCalendarNow(item);
        } else {
            coordinator.showPreview(app, item);
        }
    });
}

void AppCoordinator::showCalendarNow(const DockItem& item) {
    hideOtherPanels(&calendarPanel_);
    calendarPanel_.state().update(calendarService_.dayLabel(), calendarService_.todayEvents());
    calendarPanel_.show(currentDockEdge(ports_.defaults), item.frame);
}

void AppCoordinator::showReminders(const RunningApplication& app, const DockItem& item) {
    if (permissions_.reminders() != PermissionsManager::Status::notDetermined) {
        showRemindersNow(item);
        return;
    }
    std::weak_ptr<AppCoordinator*> weak = self_;
    permissions_.requestRemindersAccess([weak, app, item, generation = routeGeneration_] {
        auto self = weak.lock();
        if (!self || !(*self)->stillRouted(generation, item)) return;
        AppCoordinator& coordinator = **self;
        if (coordinator.permissions_.reminders() == PermissionsManager::Status::granted) {
            coordinator.showRemindersNow(item);
        } else {
            coordinator.showPreview(app, item);
        }
    });
}

void AppCoordinator::showRemindersNow(const DockItem& item) {
    hideOtherPanels(&remindersPanel_);
    std::weak_ptr<AppCoordinator*> weak = self_;
    remindersService_.dueReminders([weak, item, generation = routeGeneration_](
                                       std::vector<ReminderItem> items) {
        auto self = weak.lock();
        // The pointer moved on, or the item was routed again, while the store fetched.
        if (!self || !(*self)->stillRouted(generation, item)) return;
        AppCoordinator& coordinator = **self;
        coordinator.hideOtherPanels(&coordinator.remindersPanel_);
        coordinator.remindersPanel_.state().setItems(items);
        coordinator.remindersPanel_.show(currentDockEdge(coordinator.ports_.defaults), item.frame);
    });
}

bool AppCoordinator::stillRouted(std::uint64_t generation, const DockItem& item) const {
    return generation == routeGeneration_ && currentItem_ && currentItem_->id() == item.id();
}

void AppCoordinator::hideOtherPanels(const void* keep) {
    if (keep != &panel_) panel_.hide();
    if (keep != &folderPanel_) folderPanel_.hide();
    if (keep != &calendarPanel_) calendarPanel_.hide();
    if (keep != &remindersPanel_) remindersPanel_.hide();
    if (keep != &mediaPanel_) mediaPanel_.hide();
    cancelThumbnailTasks();
    // Nothing shows the live images once another panel takes the preview's place.
    if (keep != &panel_ && keep) thumbnails_.stopAll();
}

void AppCoordinator::openApplication(std::string_view bundleIdentifier) {
    const auto running = ports_.workspace.runningApplications(bundleIdentifier);
    if (!running.empty()) ports_.workspace.activate(running.front().processIdentifier);
    hideAll();
}

void AppCoordinator::showPreview(const RunningApplication& app, const DockItem& item) {
    hideOtherPanels(&panel_);
    releaseFrames_.cancel();
    const std::vector<WindowInfo> windows = windowService_.windows(app);
    if (windows.empty()) {
        hideAll();
        return;
    }

    PreviewState& state = panel_.state();
    if (state.layout() != preferences_.previewLayout())
        state.setLayout(preferences_.previewLayout());
    if (state.previewSize() != preferences_.previewSize()) {
        state.setPreviewSize(preferences_.previewSize());
    }
    // The setting is a 64-bit count; the model's is an int, and any value past its range means
    // the same ("never switch to the list").
    const auto threshold = static_cast<int>(
        std::clamp<std::int64_t>(preferences_.compactThreshold(), std::numeric_limits<int>::min(),
                                 std::numeric_limits<int>::max()));
    if (state.compactThreshold() != threshold) state.setCompactThreshold(threshold);

    state.update(item.title, item.icon(ports_.workspace), windows);
    panel_.show(currentDockEdge(ports_.defaults), item.frame);
    startThumbnails(windows);
}

void AppCoordinator::cancelThumbnailTasks() {
    for (const auto& task : thumbnailTasks_)
        task.cancel();
    thumbnailTasks_.clear();
}

void AppCoordinator::startThumbnails(const std::vector<WindowInfo>& windows) {
    auto pairs = std::make_shared<std::vector<CardPair>>();
    for (const auto& window : windows) {
        if (window.cgWindowID != 0) pairs->emplace_back(window.cgWindowID, window.id);
    }
    auto task = std::make_shared<TaskHandle::State>();
    thumbnailTasks_ = {TaskHandle(task)};
    std::weak_ptr<AppCoordinator*> weak = self_;
    ports_.scheduler.post([weak, task, pairs] {
        auto self = weak.lock();
        if (!self) return;
        AppCoordinator& coordinator = **self;
        coordinator.thumbnails_.beginSession([weak, task, pairs](ThumbnailService::Session s) {
            if (auto alive = weak.lock()) (*alive)->snapshotNext(task, pairs, 0, s);
        });
    });
}

void AppCoordinator::snapshotNext(std::shared_ptr<TaskHandle::State> task,
                                  std::shared_ptr<const std::vector<CardPair>> pairs,
                                  std::size_t index, ThumbnailService::Session session) {
    if (index == pairs->size()) {
        if (!preferences_.liveThumbnails()) {
            logCapturesRunning(pairs->size());
            return;
        }
        startLiveNext(std::move(task), std::move(pairs), 0, session);
        return;
    }
    if (task->cancelled) return;
    // Named copies, not a structured binding: lambdas capture them (clang 14 cannot).
    const WindowNumber windowID = (*pairs)[index].first;
    const std::uint32_t cardID = (*pairs)[index].second;
    std::weak_ptr<AppCoordinator*> weak = self_;
    thumbnails_.snapshot(windowID, [weak, task, pairs, index, session, cardID](ImageRef image) {
        auto self = weak.lock();
        if (!self) return;
        if (image) (*self)->panel_.state().setThumbnail(std::move(image), cardID);
        (*self)->snapshotNext(task, pairs, index + 1, session);
    });
}

void AppCoordinator::startLiveNext(std::shared_ptr<TaskHandle::State> task,
                                   std::shared_ptr<const std::vector<CardPair>> pairs,
                                   std::size_t index, ThumbnailService::Session session) {
    if (index == pairs->size()) {
        logCapturesRunning(pairs->size());
        return;
    }
    if (task->cancelled) return;
    const WindowNumber windowID = (*pairs)[index].first;
    const std::uint32_t cardID = (*pairs)[index].second;
    std::weak_ptr<AppCoordinator*> weak = self_;
    thumbnails_.startLive(
        windowID, session,
        [weak, cardID](ImageRef frame) {
            if (auto self = weak.lock())
                (*self)->panel_.state().setThumbnail(std::move(frame), cardID);
        },
        [weak, task, pairs, index, session] {
            if (auto self = weak.lock()) (*self)->startLiveNext(task, pairs, index + 1, session);
        });
}

void AppCoordinator::logCapturesRunning(std::size_t count) const {
    if (captureLog_.debugEnabled()) {
        captureLog_.debug("Captures running for " + std::to_string(count) + " window(s)");
    }
}

void AppCoordinator::hideAll() {
    ++routeGeneration_;
    cancelThumbnailTasks();
    thumbnails_.stopAll();
    hover_.reset();
    currentItem_.reset();
    const bool wasVisible = panel_.isVisible();
    hideOtherPanels(nullptr);
    // The last frames are kept only while the fade-out still shows them.
    releaseFrames_.cancel();
    if (!wasVisible) return;
    releaseFrames_ = ports_.scheduler.schedule(kReleaseFramesDelay, [this] {
        if (!currentItem_) panel_.state().releaseThumbnails();
    });
}

void AppCoordinator::activateCard(WindowInfo window) {
    actions_.activate(window);
    hideAll();
}

void AppCoordinator::closeCard(WindowInfo window) {
    actions_.close(window);
    panel_.state().removeCard(window.id);
    if (panel_.state().cards().empty()) hideAll();
}

void AppCoordinator::toggleMinimized(WindowInfo window) {
    actions_.setMinimized(window, !window.isMinimized);
    if (currentItem_) {
        // A copy: routing replaces currentItem_.
        const DockItem item = *currentItem_;
        route(item);
    }
}

}  // namespace vantorel

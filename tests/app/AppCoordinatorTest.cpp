#include "app/AppCoordinator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"
#include "switcher/SwitcherRig.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Titles = std::vector<std::string>;

// The whole hover-to-preview road on the simulated desktop, driven by pointer moves on
// virtual time; the capture actor's executor is drained by hand. Tiles: Safari with three
// windows, Mail with none, Notes with two.
class AppCoordinatorTest : public testing::Test {
protected:
    AppCoordinatorTest() {
        desktop.launchDock();
        for (const auto& [name, windows] : {std::pair{"Safari", 3}, {"Mail", 0}, {"Notes", 2}})
            addApp(name, std::string("com.apple.") + name, windows);
    }
    // Launches an application with its windows and gives it the next Dock tile.
    void addApp(const std::string& name, std::string_view bundle, int windows) {
        const std::string path = "/Applications/" + name + ".app";
        const ProcessId pid = desktop.launch(SimAppSpec{name, std::string(bundle), path,
                                                        RunningApplication::kPolicyRegular,
                                                        SimDesktop::makeIcon(0xff3366cc)});
        for (int i = 0; i < windows; ++i) {
            SimWindowSpec spec;
            spec.title = name + " " + std::to_string(i + 1);
            spec.frame = Rect(100.0 + 40 * i, 100.0 + 30 * i, 800, 600);
            desktop.addWindow(pid, spec);
        }
        auto tiles = desktop.dockTiles();
        tiles.push_back({SimDockTileSpec::Kind::application, name, "file://" + path + "/"});
        desktop.setDockTiles(tiles);
    }

    void start() {
        permissions.checkAccessibility(false);
        coordinator.start();
    }
    // Runs the main thread and the capture actor until both are idle, then moves the clock.
    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop.scheduler.runDue();
            if (executor.drain() + folderExecutor.drain() == 0) break;
        }
    }
    void advance(Duration total, Duration step = 10ms) {
        for (Duration done{}; done < total; done += step) {
            desktop.scheduler.advance(std::min(step, total - done));
            settle();
        }
    }
    void pointAt(std::size_t tileIndex) {
        desktop.movePointerAX(desktop.dockTileFrame(tileIndex).center());
        settle();
    }
    void show(std::size_t tileIndex) {
        pointAt(tileIndex);
        advance(200ms);
    }
    void pointOffDock() {
        desktop.movePointerAX({600, 300});
        settle();
    }
    PreviewState& state() { return coordinator.panel().state(); }
    Titles cardTitles() {
        Titles titles;
        for (const auto& card : state().cards())
            titles.push_back(card.title);
        return titles;
    }

    SimDesktop desktop;
    ManualExecutor executor;
    ManualExecutor folderExecutor;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    SimPanelSurface* surface = nullptr;
    SimPanelSurface* folderSurface = nullptr;
    SimPanelSurface* mediaSurface = nullptr;
    SimPanelSurface* calendarSurface = nullptr;
    SimPanelSurface* remindersSurface = nullptr;
    AppCoordinator coordinator{desktop.ports(), permissions,    preferences,
                               executor,        folderExecutor, panels()};

    // Simulated panels whose fitting size follows what they show; each remembered in `out`.
    template <class State>
    auto sim(SimPanelSurface*& out, std::function<Size(State&)> size) {
        return [this, &out, size](State& state) {
            auto made = std::make_unique<SimPanelSurface>(desktop.scheduler,
                                                          [&state, size] { return size(state); });
            out = made.get();
            return made;
        };
    }
    PanelFactories panels() {
        const auto fixed = [](double w, double h) { return [=](auto&) { return Size{w, h}; }; };
        return {sim<PreviewState>(surface,
                                  [](auto& s) {
                                      return Size{300.0 * double(s.cards().size()), 220};
                                  }),
                sim<FolderState>(folderSurface,
                                 [](auto& s) {
                                     return Size{100.0 * double(s.entries().size()), 150};
                                 }),
                sim<MediaState>(mediaSurface, fixed(316, 140)),
                sim<CalendarState>(calendarSurface, fixed(320, 200)),
                sim<RemindersState>(remindersSurface, fixed(320, 200))};
    }
};

TEST_F(AppCoordinatorTest, RestingOnATileShowsItsWindowsWithOneStillEachWhenNotLive) {
    preferences.setLiveThumbnails(false);
    start();
    EXPECT_EQ(desktop.logger.count("Coordinator started"), 1u);

    show(0);
    ASSERT_TRUE(surface->isVisible());
    EXPECT_EQ(cardTitles(), (Titles{"Safari 1", "Safari 2", "Safari 3"}));

    advance(2s);
    for (const auto& card : state().cards())
        EXPECT_TRUE(card.thumbnail);
    EXPECT_EQ(desktop.capture.stillCaptureCount(), 3u);  // one each
    EXPECT_EQ(desktop.logger.count("Captures running for 3 window(s)"), 1u);
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
}

TEST_F(AppCoordinatorTest, LiveThumbnailsKeepArrivingAndStopWhenEverythingHides) {
    start();
    pointAt(0);
    advance(400ms);
    EXPECT_EQ(desktop.capture.runningStreams().size(), 3u);
    const auto revision = state().revision();
    advance(1s);
    EXPECT_GT(state().revision(), revision + 3);  // several frames per card

    // Off the tile into the panel, which holds itself open; out of it, hidden 260 ms later and
    // every stream stopped.
    pointOffDock();
    surface->pointerEntered();
    advance(5s);
    EXPECT_TRUE(surface->isVisible());
    surface->pointerLeft();
    advance(250ms);
    EXPECT_TRUE(surface->isVisible());
    advance(20ms);
    EXPECT_FALSE(coordinator.currentItem());
    advance(200ms);
    EXPECT_FALSE(surface->isVisible());
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
    // Nothing is left to run while nothing happens.
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    EXPECT_EQ(executor.pendingCount(), 0u);
}

// However the pointer goes, once it has left and the panel is hidden no timer is armed: a
// cancelled delay is a stopped timer, so the process sleeps, and no frame is kept.
TEST_F(AppCoordinatorTest, NoTimerIsArmedOnceThePointerHasLeftAndThePanelIsHidden) {
    start();
    // Off the tile at once, or across the neighbours before their delays.
    for (const auto& road : {std::vector<std::size_t>{}, {2, 1, 0}}) {
        SCOPED_TRACE(road.size());
        pointAt(0);
        advance(400ms);
        ASSERT_TRUE(surface->isVisible());
        for (const std::size_t tile : road)
            pointAt(tile);
        pointOffDock();
        advance(1s);
        EXPECT_FALSE(surface->isVisible());
        EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
        EXPECT_EQ(executor.pendingCount(), 0u);
        // Nor does the hidden panel hold the last frames.
        for (const auto& card : state().cards())
            EXPECT_FALSE(card.thumbnail) << card.title;
    }
}

TEST_F(AppCoordinatorTest, NeighboursShowAtOnceButAfterOneWithoutWindowsTheNextWaitsAgain) {
    start();
    show(0);
    pointAt(2);
    EXPECT_EQ(cardTitles(), (Titles{"Notes 1", "Notes 2"}));
    EXPECT_EQ(surface->fadeIns(), 1);  // moved and resized, not faded in again

    pointAt(1);  // Mail: shown at once, has no windows
    advance(200ms);
    EXPECT_FALSE(surface->isVisible());
    EXPECT_FALSE(coordinator.hover().shownItem());
    pointAt(0);
    advance(170ms);
    EXPECT_FALSE(coordinator.currentItem());
    advance(10ms);
    EXPECT_EQ(coordinator.currentItem()->title, "Safari");
}

TEST_F(AppCoordinatorTest, CardsActOnTheirWindows) {
    preferences.setLiveThumbnails(false);
    start();
    show(0);
    // Minimising rebuilds the cards.
    state().onMinimizeToggle(state().cards()[0].window);
    advance(500ms);
    ASSERT_EQ(state().cards().size(), 3u);
    EXPECT_EQ(std::count_if(state().cards().begin(), state().cards().end(),
                            [](const auto& c) { return c.window.isMinimized; }),
              1);
    EXPECT_EQ(desktop.logger.count("Captures running for 2 window(s)"), 1u);
    // Activating hides everything.
    state().onActivate(state().cards()[0].window);
    settle();
    EXPECT_FALSE(coordinator.currentItem());

    // Closing removes the card; the last one hides the panel.
    show(2);
    for (const char* left : {"Notes 2", ""}) {
        const auto id = state().cards()[0].window.cgWindowID;
        state().onClose(state().cards()[0].window);
        settle();
        EXPECT_EQ(cardTitles(), *left ? Titles{left} : Titles{});
        EXPECT_EQ(bool(coordinator.currentItem()), *left != 0);
        EXPECT_EQ(desktop.logger.count("Closed window " + std::to_string(id)), 1u);
    }
}

TEST_F(AppCoordinatorTest, ObservationWaitsForAccessibilityAndCardsForScreenRecording) {
    desktop.accessibility.setTrusted(false);
    desktop.setScreenRecordingGranted(false);
    start();
    EXPECT_EQ(desktop.logger.count("Waiting for Accessibility before starting…"), 1u);
    preferences.setAltTabEnabled(false);  // arms nothing before observation starts
    preferences.setAltTabEnabled(true);
    advance(2500ms);  // polled at 1 s and 2 s
    EXPECT_FALSE(coordinator.observing());
    EXPECT_EQ(coordinator.switcher(), nullptr);
    EXPECT_EQ(desktop.keyEvents.tapCount(), 0u);
    desktop.accessibility.setTrusted(true);
    advance(490ms);
    EXPECT_FALSE(coordinator.observing());
    advance(10ms);  // the poll at 3 s
    EXPECT_TRUE(coordinator.observing());
    EXPECT_TRUE(coordinator.switcher() && coordinator.switcher()->isArmed());
    EXPECT_EQ(desktop.logger.count("Coordinator started"), 1u);
    EXPECT_EQ(desktop.pointer.monitorCount(), 2u);
    EXPECT_EQ(desktop.accessibility.promptCount(), 0);  // polled without asking again

    pointAt(0);
    advance(500ms);
    ASSERT_EQ(state().cards().size(), 3u);
    for (const auto& card : state().cards())
        EXPECT_FALSE(card.thumbnail);
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
}

TEST_F(AppCoordinatorTest, ALateStreamStartAfterThePanelMovedOnIsDropped) {
    desktop.capture.setHoldStreamStarts(true);
    start();
    show(0);
    const auto safariFirst = state().cards()[0].window.cgWindowID;
    // The panel moves on to Notes while Safari's first stream is still starting.
    pointAt(2);
    advance(100ms);
    std::vector<WindowNumber> notesIDs;
    for (const auto& card : state().cards())
        notesIDs.push_back(card.window.cgWindowID);
    desktop.capture.releaseHeldStarts();
    settle();
    EXPECT_EQ(desktop.logger.count("Dropped late live stream for " + std::to_string(safariFirst) +
                                   " (session superseded)"),
              1u);
    desktop.capture.setHoldStreamStarts(false);
    desktop.capture.releaseHeldStarts();
    advance(100ms);
    EXPECT_EQ(desktop.logger.count("Captures running for 3 window(s)"), 0u);  // Safari's ended
    auto running = desktop.capture.runningStreams();
    std::sort(running.begin(), running.end());
    std::sort(notesIDs.begin(), notesIDs.end());
    EXPECT_EQ(running, notesIDs);
}

TEST_F(AppCoordinatorTest, MovingOnEndsTheStillsStillUnderway) {
    preferences.setLiveThumbnails(false);
    start();
    desktop.movePointerAX(desktop.dockTileFrame(0).center());
    desktop.scheduler.advance(180ms);  // shown, its stills waiting for the capture actor
    ASSERT_TRUE(coordinator.currentItem());
    pointAt(2);
    advance(100ms);
    EXPECT_EQ(desktop.logger.count("Captures running for 3 window(s)"), 0u);
    EXPECT_EQ(desktop.logger.count("Captures running for 2 window(s)"), 1u);
}

TEST_F(AppCoordinatorTest, PreferencesChangedWhileRunningApplyToTheNextDelayAndEachShow) {
    start();
    preferences.setShowDelayMS(500);
    pointAt(0);
    advance(490ms);
    EXPECT_FALSE(coordinator.currentItem());
    using L = std::numeric_limits<std::int64_t>;
    const std::tuple<PreviewLayout, PreviewSize, std::int64_t, std::size_t> shows[] = {
        {PreviewLayout::grid, PreviewSize::large, L::max(), 0},
        {PreviewLayout::list, PreviewSize::small, L::min(), 2}};
    for (const auto& [layout, size, threshold, tile] : shows) {
        preferences.setPreviewLayout(layout);
        preferences.setPreviewSize(size);
        preferences.setCompactThreshold(threshold);
        tile ? pointAt(tile) : advance(10ms);
        ASSERT_TRUE(coordinator.currentItem());
        EXPECT_EQ(state().layout(), layout);
        EXPECT_EQ(state().previewSize(), size);
        EXPECT_EQ(state().compactThreshold(), threshold > 0 ? std::numeric_limits<int>::max()
                                                            : std::numeric_limits<int>::min());
    }
}

// The switcher is armed as observation starts and at each change of its setting after.
TEST_F(AppCoordinatorTest, TheSettingArmsAndDisarmsTheSameSwitcher) {
    start();
    WindowSwitcher* switcher = coordinator.switcher();
    ASSERT_NE(switcher, nullptr);
    EXPECT_TRUE(switcher->isArmed());
    // Armed after the Dock observer started and before the coordinator says it has.
    const auto at = [&](const std::string& prefix) { return lineIndex(desktop.logger, prefix); };
    EXPECT_LT(at("DockObserver started"), at("Switcher: ⌥Tab"));
    EXPECT_LT(at("Switcher: ⌥Tab"), at("Coordinator started"));
    for (const bool enabled : {false, true, false, true}) {
        preferences.setAltTabEnabled(enabled);
        EXPECT_EQ(coordinator.switcher(), switcher);
        EXPECT_EQ(switcher->isArmed(), enabled);
        EXPECT_EQ(desktop.keyEvents.tapCount(), enabled ? 1u : 0u);
    }
    EXPECT_EQ(desktop.logger.count("Switcher: ⌥Tab window switcher armed"), 3u);
}

// Folder tiles beside the applications; the folders are planted in the simulated file system.
class FolderRouteTest : public AppCoordinatorTest {
protected:
    FolderRouteTest() {
        desktop.files.addDirectory("/Users/ana/Docs");
        desktop.files.addListing("/Users/ana/Docs", {"b.txt", ".hidden", "a.txt"});
        desktop.files.addDirectory("/Users/ana/Empty");
        desktop.files.addListing("/Users/ana/Empty", {});
        auto tiles = desktop.dockTiles();
        tiles.resize(2);
        tiles.push_back(folder("Docs"));
        tiles.push_back(folder("Empty"));
        desktop.setDockTiles(tiles);
        start();
    }
    static SimDockTileSpec folder(const std::string& name) {
        return {SimDockTileSpec::Kind::folder, name, "file:///Users/ana/" + name + "/"};
    }
    std::vector<std::string> entryNames() {
        std::vector<std::string> names;
        for (const auto& entry : coordinator.folderPanel().state().entries())
            names.push_back(entry->name);
        return names;
    }
};

TEST_F(FolderRouteTest, AFolderShowsItsEntriesAndEachShowHidesTheOtherPanel) {
    pointAt(0);
    advance(200ms);
    ASSERT_TRUE(surface->isVisible());
    pointAt(2);
    advance(200ms);
    EXPECT_FALSE(surface->isVisible());
    ASSERT_TRUE(folderSurface->isVisible());
    EXPECT_EQ(entryNames(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(coordinator.folderPanel().state().folderName(), "Docs");
    EXPECT_EQ(desktop.logger.count("Folder panel show: Docs items=2 size=200×150"), 1u);

    pointAt(3);
    advance(200ms);
    EXPECT_TRUE(entryNames().empty());
    EXPECT_EQ(desktop.logger.count("Folder panel show: Empty items=0 size=0×150"), 1u);
    pointAt(0);
    advance(20ms);
    EXPECT_TRUE(surface->isVisible());
    advance(200ms);
    EXPECT_FALSE(folderSurface->isVisible());
    EXPECT_EQ(desktop.logger.count("Folder panel hide"), 1u);

    // Opening an entry hides everything, whether or not it opened; a refusal is logged.
    for (const bool opens : {true, false}) {
        desktop.workspace.setOpener([opens](const Url&) { return opens; });
        show(2);
        const Url first = coordinator.folderPanel().state().entries().at(0)->url;
        coordinator.folderPanel().state().onOpen(first);
        EXPECT_EQ(desktop.workspace.openedURLs().back(), first);
        EXPECT_EQ(desktop.logger.count("Could not open " + first.string()), opens ? 0u : 1u);
        EXPECT_FALSE(coordinator.currentItem());
        advance(200ms);
        EXPECT_FALSE(folderSurface->isVisible());
    }
}

TEST_F(FolderRouteTest, WithTheFolderPanelOffAFolderHidesEverything) {
    preferences.setFolderPopEnabled(false);
    pointAt(0);
    advance(200ms);
    ASSERT_TRUE(surface->isVisible());
    pointAt(2);
    advance(300ms);
    EXPECT_FALSE(surface->isVisible());
    EXPECT_FALSE(folderSurface->isVisible());
    EXPECT_FALSE(coordinator.currentItem());
}

TEST_F(FolderRouteTest, AListingThatEndsAfterThePointerMovedOnShowsNothing) {
    pointAt(2);
    for (int i = 0; i < 20 && folderExecutor.pendingCount() == 0; ++i) {
        desktop.scheduler.advance(10ms);
        desktop.scheduler.runDue();
    }
    ASSERT_EQ(folderExecutor.pendingCount(), 1u);
    // On to Safari before the worker gets to the folder.
    desktop.movePointerAX(desktop.dockTileFrame(0).center());
    for (int i = 0; i < 20; ++i) {
        desktop.scheduler.advance(10ms);
        desktop.scheduler.runDue();
        executor.drain();
    }
    ASSERT_TRUE(surface->isVisible());
    folderExecutor.drain();
    advance(100ms);
    EXPECT_FALSE(folderSurface->isVisible());
    EXPECT_TRUE(surface->isVisible());
    EXPECT_EQ(desktop.logger.count("Folder panel show: Docs items=2 size=200×150"), 0u);
}

// Music beside the others, with a window, a queue and a track playing.
class MediaRouteTest : public AppCoordinatorTest {
protected:
    MediaRouteTest() {
        addApp("Music", "com.apple.Music", 1);
        music.tracks = {{"Blue in Green", "Miles Davis"}, {"So What", "Miles Davis"}, {}};
        music.state = "playing";
        start();
    }
    static constexpr std::size_t kMusic = 3;
    MediaState& media() { return coordinator.mediaPanel().state(); }
    SimMediaPlayer& music = desktop.scripting.player("Music");
};

TEST_F(MediaRouteTest, APlayerShowsItsWidgetOnlyWhilePlayingOrPaused) {
    const struct {
        const char* state;
        std::size_t track;  // 2: one whose fields cannot be read
        bool refusing, enabled, widget;
        const char* line;
    } cases[] = {
        {"playing", 0, false, true, true, "Media panel show: Blue in Green"},
        {"paused", 2, false, true, true, "Media panel show: "},
        {"stopped", 0, false, true, false, nullptr},
        {"fast forwarding", 0, false, true, false, nullptr},
        {"playing", 0, true, true, false, "AppleScript failed: No."},
        {"playing", 0, false, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << c.track << c.refusing << c.enabled);
        music.state = c.state;
        music.current = c.track;
        if (c.refusing) music.refusal = SimScriptRefusal{"No."};
        preferences.setMediaControlsEnabled(c.enabled);
        desktop.logger.clear();
        show(kMusic);
        EXPECT_EQ(mediaSurface->isVisible(), c.widget);
        EXPECT_EQ(surface && surface->isVisible(), !c.widget);
        EXPECT_EQ(cardTitles(), c.widget ? Titles{} : Titles{"Music 1"});
        EXPECT_EQ(c.line ? desktop.logger.count(c.line) : 1u, 1u);
        music.refusal.reset();
        pointOffDock();
        advance(500ms);
    }
    // Switched off, the player is not asked.
    EXPECT_EQ(desktop.scripting.received().size(), 5u);
}

TEST_F(MediaRouteTest, TheButtonsActAndTheWidgetFollowsOnlyAfterTheRequery) {
    show(kMusic);
    ASSERT_TRUE(mediaSurface->isVisible());
    desktop.scripting.clearReceived();
    media().onPlayPause();
    EXPECT_EQ(desktop.scripting.received(),
              std::vector<std::string>{"tell application \"Music\" to playpause"});
    advance(140ms);
    EXPECT_TRUE(media().nowPlaying()->isPlaying);
    advance(10ms);
    EXPECT_FALSE(media().nowPlaying()->isPlaying);

    media().onNext();
    advance(150ms);
    EXPECT_EQ(media().nowPlaying()->title, "So What");
    music.state = "stopped";  // stopped in the player itself
    media().onPrevious();
    advance(150ms);
    EXPECT_EQ(media().nowPlaying(), std::nullopt);
    EXPECT_TRUE(mediaSurface->isVisible());

    // Nothing playing: the buttons send nothing.
    desktop.scripting.clearReceived();
    for (const auto& press : {media().onPlayPause, media().onNext, media().onPrevious})
        press();
    advance(200ms);
    EXPECT_TRUE(desktop.scripting.received().empty());
    coordinator.mediaPanel().show(DockEdge::bottom, desktop.dockTileFrame(kMusic));
    EXPECT_EQ(desktop.logger.count("Media panel show: idle"), 1u);

    // Another tile hides the widget.
    show(0);
    EXPECT_FALSE(mediaSurface->isVisible());
    EXPECT_TRUE(surface->isVisible());
}

TEST_F(MediaRouteTest, ARequeryAfterTheCoordinatorHasGoneIsSkipped) {
    auto other = std::make_unique<AppCoordinator>(desktop.ports(), permissions, preferences,
                                                  executor, folderExecutor, PanelFactories{});
    other->mediaPanel().state().setNowPlaying(
        MediaState::NowPlaying{MediaPlayer::music, "", "", true});
    desktop.scripting.clearReceived();
    other->mediaPanel().state().onNext();
    other.reset();
    advance(300ms);
    EXPECT_EQ(desktop.scripting.received(),
              std::vector<std::string>{"tell application \"Music\" to next track"});
}

// Calendar and Reminders tiles after Safari, Mail and Notes; each has a window for its preview.
class WidgetRouteTest : public AppCoordinatorTest {
protected:
    static constexpr std::size_t kCalendar = 3;
    static constexpr std::size_t kReminders = 4;

    WidgetRouteTest() {
        addApp("Calendar", AppCoordinator::kCalendarBundleID, 1);
        addApp("Reminders", AppCoordinator::kRemindersBundleID, 1);
        DueDateComponents due{2026, 3, 1, 17, 0, 0};
        desktop.eventStore.addReminder({StoreReminder{"r", "Pay rent", due, 1, false, {}}, {}});
    }
    void setStatus(EventEntityType type, std::int64_t raw) {
        desktop.permissionServices.setAuthorizationStatus(type, raw);
        permissions.refreshCalendarStatus();
        permissions.refreshRemindersStatus();
    }
    // What is on screen: "preview", "calendar", "reminders" or "none".
    std::string shown() {
        if (surface && surface->isVisible()) return "preview";
        if (calendarSurface && calendarSurface->isVisible()) return "calendar";
        if (remindersSurface && remindersSurface->isVisible()) return "reminders";
        return "none";
    }
};

TEST_F(WidgetRouteTest, EachWidgetShowsUnlessItsAccessIsDeniedOrItsSettingIsOff) {
    struct Case {
        std::size_t tile;
        std::int64_t raw;
        SimPermissionServices::UserAnswer answer;
        bool enabled;
        std::string expected;
    };
    using Answer = SimPermissionServices::UserAnswer;
    const Case cases[] = {
        {kCalendar, 3, Answer::grant, true, "calendar"},
        {kCalendar, 1, Answer::grant, true, "preview"},
        {kCalendar, 0, Answer::grant, true, "calendar"},
        {kCalendar, 0, Answer::refuse, true, "preview"},
        {kCalendar, 0, Answer::fail, true, "preview"},
        {kCalendar, 3, Answer::grant, false, "preview"},
        {kReminders, 3, Answer::grant, true, "reminders"},
        {kReminders, 4, Answer::grant, true, "preview"},
        {kReminders, 0, Answer::grant, true, "reminders"},
        {kReminders, 0, Answer::refuse, true, "preview"},
        {kReminders, 3, Answer::grant, false, "preview"},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tile) + " raw " + std::to_string(c.raw));
        const auto type = c.tile == kCalendar ? EventEntityType::event : EventEntityType::reminder;
        setStatus(type, c.raw);
        desktop.permissionServices.setUserAnswer(type, c.answer);
        preferences.setCalendarWidgetEnabled(c.enabled);
        preferences.setRemindersWidgetEnabled(c.enabled);
        show(c.tile);
        EXPECT_EQ(shown(), c.expected);
        pointOffDock();
        advance(1s);
        EXPECT_EQ(shown(), "none");
    }
    EXPECT_EQ(coordinator.remindersPanel().state().items().size(), 1u);
    EXPECT_EQ(desktop.logger.count("Reminders panel show: items=1"), 2u);
}

TEST_F(WidgetRouteTest, ALateAnswerAfterThePointerMovedOnShowsNothing) {
    start();
    desktop.permissionServices.setAnswerDelay(2s);
    desktop.eventStore.setFetchDelay(2s);
    for (std::size_t tile : {kCalendar, kReminders}) {
        SCOPED_TRACE(tile);
        show(tile);
        EXPECT_EQ(shown(), tile == kCalendar ? "none" : "preview");
        show(2);
        advance(3s);
        EXPECT_EQ(shown(), "preview");
        EXPECT_EQ(cardTitles(), (Titles{"Notes 1", "Notes 2"}));
    }
    // Granted by now: the fetch alone is late.
    EXPECT_EQ(desktop.eventStore.fetchCount(), 0u);
    show(kReminders);
    EXPECT_NE(shown(), "reminders");
    show(2);
    advance(3s);
    EXPECT_EQ(shown(), "preview");
    EXPECT_EQ(desktop.eventStore.fetchCount(), 1u);
}

TEST_F(WidgetRouteTest, ClickingARowBringsItsApplicationForwardAndHidesEverything) {
    setStatus(EventEntityType::event, 3);
    setStatus(EventEntityType::reminder, 3);
    start();
    for (std::size_t tile : {kCalendar, kReminders}) {
        SCOPED_TRACE(tile);
        show(tile);
        ASSERT_NE(shown(), "preview");
        tile == kCalendar ? coordinator.calendarPanel().state().onOpenCalendar()
                          : coordinator.remindersPanel().state().onOpenReminders();
        settle();
        EXPECT_EQ(desktop.workspace.frontmostApplication()->localizedName,
                  tile == kCalendar ? "Calendar" : "Reminders");
        advance(1s);
        EXPECT_EQ(shown(), "none");
    }
}

}  // namespace
}  // namespace vantorel

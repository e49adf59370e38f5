#include "app/AppCoordinator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Kind = SimDockTileSpec::Kind;

// The whole hover-to-preview road on the simulated desktop, driven by pointer moves on
// virtual time; the capture actor's executor is drained by hand.
class AppCoordinatorTest : public testing::Test {
protected:
    AppCoordinatorTest() {
        desktop.launchDock();
        safari = launch("Safari", "com.apple.Safari", 3);
        mail = launch("Mail", "com.apple.mail", 0);
        notes = launch("Notes", "com.apple.Notes", 2);
        desktop.setDockTiles({tile("Safari"), tile("Mail"), tile("Notes")});
    }

    ProcessId launch(const std::string& name, const std::string& bundleId, int windows) {
        const std::string path = "/Applications/" + name + ".app";
        const ProcessId pid =
            desktop.launch(SimAppSpec{name, bundleId, path, RunningApplication::kPolicyRegular,
                                      SimDesktop::makeIcon(0xff3366cc)});
        for (int i = 0; i < windows; ++i) {
            SimWindowSpec spec;
            spec.title = name + " " + std::to_string(i + 1);
            spec.frame = Rect(100.0 + 40 * i, 100.0 + 30 * i, 800, 600);
            desktop.addWindow(pid, spec);
        }
        return pid;
    }
    SimDockTileSpec tile(const std::string& name) {
        return {Kind::application, name, "file:///Applications/" + name + ".app/"};
    }

    AppCoordinator& coordinator() {
        if (!coordinator_) {
            permissions.checkAccessibility(false);
            coordinator_ = std::make_unique<AppCoordinator>(
                desktop.ports(), permissions, preferences, executor, [this](PreviewState& state) {
                    auto made = std::make_unique<SimPanelSurface>(desktop.scheduler, [&state] {
                        return Size{300.0 * static_cast<double>(state.cards().size()), 220};
                    });
                    surface = made.get();
                    return made;
                });
        }
        return *coordinator_;
    }

    // Runs the main thread and the capture actor until both are idle, then moves the clock.
    void settle() {
        for (int i = 0; i < 100; ++i) {
            desktop.scheduler.runDue();
            if (executor.drain() == 0) break;
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
    void pointOffDock() {
        desktop.movePointerAX({600, 300});
        settle();
    }
    std::vector<std::string> cardTitles() {
        std::vector<std::string> titles;
        for (const auto& card : coordinator().panel().state().cards())
            titles.push_back(card.title);
        return titles;
    }

    SimDesktop desktop;
    ManualExecutor executor;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    std::unique_ptr<AppCoordinator> coordinator_;
    SimPanelSurface* surface = nullptr;
    ProcessId safari = 0, mail = 0, notes = 0;
};

TEST_F(AppCoordinatorTest, RestingOnATileShowsItsWindowsWithOneStillEachWhenNotLive) {
    preferences.setLiveThumbnails(false);
    coordinator().start();
    EXPECT_EQ(desktop.logger.count("Coordinator started"), 1u);
    std::map<std::uint32_t, int> images;
    auto subscription = coordinator().panel().state().observe([&](const PreviewState::Change& c) {
        if (c.kind == PreviewState::Change::Kind::thumbnail) ++images[c.cardID];
    });

    pointAt(0);
    advance(170ms);
    EXPECT_FALSE(surface->isVisible());
    advance(10ms);
    ASSERT_TRUE(surface->isVisible());
    EXPECT_EQ(cardTitles(), (std::vector<std::string>{"Safari 1", "Safari 2", "Safari 3"}));

    advance(2s);
    for (const auto& card : coordinator().panel().state().cards()) {
        EXPECT_TRUE(card.thumbnail);
        EXPECT_EQ(images[card.id], 1);
    }
    EXPECT_EQ(desktop.capture.stillCaptureCount(), 3u);
    EXPECT_EQ(desktop.logger.count("Captures running for 3 window(s)"), 1u);
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
}

TEST_F(AppCoordinatorTest, LiveThumbnailsKeepArrivingAndStopWhenEverythingHides) {
    coordinator().start();
    pointAt(0);
    advance(400ms);
    EXPECT_EQ(desktop.capture.runningStreams().size(), 3u);
    const auto& state = coordinator().panel().state();
    const auto revision = state.revision();
    advance(1s);
    EXPECT_GT(state.revision(), revision + 3);  // several frames per card

    // Off the tile, not into the panel: hidden 260 ms later, every stream stopped.
    pointOffDock();
    advance(250ms);
    EXPECT_TRUE(surface->isVisible());
    advance(20ms);
    EXPECT_FALSE(coordinator().currentItem());
    advance(200ms);
    EXPECT_FALSE(surface->isVisible());
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
    // Nothing is left to run while nothing happens.
    EXPECT_EQ(desktop.scheduler.pendingCount(), 0u);
    EXPECT_EQ(executor.pendingCount(), 0u);
}

TEST_F(AppCoordinatorTest, TheNeighbourShowsAtOnceWhileAPanelIsOpen) {
    coordinator().start();
    pointAt(0);
    advance(200ms);
    pointAt(2);
    EXPECT_EQ(cardTitles(), (std::vector<std::string>{"Notes 1", "Notes 2"}));
    EXPECT_EQ(surface->fadeIns(), 1);  // moved and resized, not faded in again
}

TEST_F(AppCoordinatorTest, AnApplicationWithoutWindowsHidesAllAndTheNeighbourWaitsAgain) {
    coordinator().start();
    pointAt(0);
    advance(200ms);
    pointAt(1);  // Mail: shown at once, has no windows
    advance(200ms);
    EXPECT_FALSE(surface->isVisible());
    EXPECT_FALSE(coordinator().hover().shownItem());

    pointAt(2);
    advance(170ms);
    EXPECT_FALSE(coordinator().currentItem());
    advance(10ms);
    EXPECT_EQ(coordinator().currentItem()->title, "Notes");
}

TEST_F(AppCoordinatorTest, TheHidingWaitsWhileThePointerIsInThePanel) {
    coordinator().start();
    pointAt(0);
    advance(200ms);
    pointOffDock();
    surface->pointerEntered();
    advance(5s);
    EXPECT_TRUE(surface->isVisible());
    surface->pointerLeft();
    advance(270ms);
    EXPECT_FALSE(coordinator().currentItem());
}

TEST_F(AppCoordinatorTest, ClosingCardsRemovesThemAndTheLastOneHidesThePanel) {
    preferences.setLiveThumbnails(false);
    coordinator().start();
    pointAt(2);
    advance(200ms);
    auto& state = coordinator().panel().state();
    ASSERT_EQ(state.cards().size(), 2u);

    const auto firstID = state.cards()[0].window.cgWindowID;
    const auto secondID = state.cards()[1].window.cgWindowID;
    state.onClose(state.cards()[0].window);
    settle();
    EXPECT_EQ(cardTitles(), (std::vector<std::string>{"Notes 2"}));
    EXPECT_TRUE(coordinator().currentItem());

    state.onClose(state.cards()[0].window);
    settle();
    EXPECT_TRUE(state.cards().empty());
    EXPECT_FALSE(coordinator().currentItem());
    EXPECT_EQ(desktop.logger.count("Closed window " + std::to_string(firstID)), 1u);
    EXPECT_EQ(desktop.logger.count("Closed window " + std::to_string(secondID)), 1u);
}

TEST_F(AppCoordinatorTest, MinimisingFromACardRebuildsTheCards) {
    preferences.setLiveThumbnails(false);
    coordinator().start();
    pointAt(0);
    advance(200ms);
    auto& state = coordinator().panel().state();
    const WindowInfo first = state.cards()[0].window;
    state.onMinimizeToggle(first);
    advance(500ms);
    ASSERT_EQ(state.cards().size(), 3u);
    const auto minimized = std::count_if(state.cards().begin(), state.cards().end(),
                                         [](const auto& c) { return c.window.isMinimized; });
    EXPECT_EQ(minimized, 1);
    EXPECT_EQ(desktop.logger.count("Captures running for 2 window(s)"), 1u);

    // Activating a card hides everything.
    state.onActivate(state.cards()[0].window);
    settle();
    EXPECT_FALSE(coordinator().currentItem());
}

TEST_F(AppCoordinatorTest, ObservationBeginsWithinASecondOfTheAccessibilityGrant) {
    desktop.accessibility.setTrusted(false);
    coordinator().start();
    EXPECT_EQ(desktop.logger.count("Waiting for Accessibility before starting…"), 1u);
    advance(2500ms);  // polled at 1 s and 2 s
    EXPECT_FALSE(coordinator().observing());
    desktop.accessibility.setTrusted(true);
    advance(490ms);
    EXPECT_FALSE(coordinator().observing());
    advance(10ms);  // the poll at 3 s
    EXPECT_TRUE(coordinator().observing());
    EXPECT_EQ(desktop.logger.count("Coordinator started"), 1u);
    EXPECT_EQ(desktop.pointer.monitorCount(), 2u);
}

TEST_F(AppCoordinatorTest, ALateStreamStartAfterThePanelMovedOnIsDropped) {
    desktop.capture.setHoldStreamStarts(true);
    coordinator().start();
    pointAt(0);
    advance(200ms);
    const auto safariFirst = coordinator().panel().state().cards()[0].window.cgWindowID;
    // The panel moves on to Notes while Safari's first stream is still starting.
    pointAt(2);
    advance(100ms);
    std::vector<WindowNumber> notesIDs;
    for (const auto& card : coordinator().panel().state().cards()) {
        notesIDs.push_back(card.window.cgWindowID);
    }
    desktop.capture.releaseHeldStarts();
    settle();
    EXPECT_EQ(desktop.logger.count("Dropped late live stream for " + std::to_string(safariFirst) +
                                   " (session superseded)"),
              1u);
    desktop.capture.setHoldStreamStarts(false);
    desktop.capture.releaseHeldStarts();
    advance(100ms);
    auto running = desktop.capture.runningStreams();
    std::sort(running.begin(), running.end());
    std::sort(notesIDs.begin(), notesIDs.end());
    EXPECT_EQ(running, notesIDs);
}

TEST_F(AppCoordinatorTest, WithoutScreenRecordingCardsKeepTheirPlaceholders) {
    desktop.setScreenRecordingGranted(false);
    coordinator().start();
    pointAt(0);
    advance(500ms);
    ASSERT_EQ(coordinator().panel().state().cards().size(), 3u);
    for (const auto& card : coordinator().panel().state().cards())
        EXPECT_FALSE(card.thumbnail);
    EXPECT_TRUE(desktop.capture.runningStreams().empty());
}

TEST_F(AppCoordinatorTest, PreferenceChangesApplyToTheNextDelay) {
    preferences.setShowDelayMS(500);
    coordinator().start();
    pointAt(0);
    advance(400ms);
    EXPECT_FALSE(coordinator().currentItem());
    advance(100ms);
    EXPECT_TRUE(coordinator().currentItem());
}

}  // namespace
}  // namespace vantorel

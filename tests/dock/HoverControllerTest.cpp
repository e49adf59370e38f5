#include "dock/HoverController.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/ManualScheduler.h"

namespace vantorel {
namespace {

using std::chrono::milliseconds;

DockItem appItem(ProcessId pid, double x = 0) {
    RunningApplication application;
    application.processIdentifier = pid;
    return DockItem::app(application, "App " + std::to_string(pid), Rect(x, 1000, 64, 64));
}

class HoverControllerTest : public ::testing::Test {
protected:
    HoverControllerTest() {
        controller.onShow = [this](const DockItem& item) {
            events.push_back("show " + item.id() + " x=" + std::to_string(int(item.frame.minX())));
        };
        controller.onHide = [this] { events.push_back("hide"); };
    }

    // Brings the controller to Shown(item) the ordinary way.
    void showByResting(const DockItem& item) {
        controller.hover(item);
        scheduler.advance(milliseconds(180));
        ASSERT_EQ(controller.shownItem(), item);
        events.clear();
    }

    void expectIdle() {
        EXPECT_FALSE(controller.shownItem());
        EXPECT_FALSE(controller.pendingShow().isPending());
        EXPECT_FALSE(controller.pendingHide().isPending());
        EXPECT_EQ(scheduler.pendingCount(), 0u);
    }

    ManualScheduler scheduler;
    HoverController controller{scheduler};
    std::vector<std::string> events;
    const DockItem a = appItem(101, 0);
    const DockItem b = appItem(202, 64);
    const DockItem c = appItem(303, 128);
};

TEST_F(HoverControllerTest, StartsIdleWithDefaultTiming) {
    EXPECT_EQ(controller.timing().showDelay, milliseconds(180));
    EXPECT_EQ(controller.timing().hideDelay, milliseconds(260));
    EXPECT_FALSE(controller.isCursorInPanel());
    expectIdle();
}

TEST_F(HoverControllerTest, IdleHoverArmsAndShowsAfterTheShowDelay) {
    controller.hover(a);
    EXPECT_TRUE(controller.pendingShow().isPending());
    EXPECT_FALSE(controller.shownItem());

    scheduler.advance(milliseconds(179));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(controller.shownItem());

    scheduler.advance(milliseconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"show app:101 x=0"});
    EXPECT_EQ(controller.shownItem(), a);
    EXPECT_FALSE(controller.pendingShow().isPending());
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    scheduler.advance(std::chrono::seconds(10));
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(HoverControllerTest, ZeroShowDelayStillShowsAsynchronously) {
    controller.setTiming({milliseconds(0), milliseconds(260)});
    controller.hover(a);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(controller.shownItem());

    scheduler.runDue();
    EXPECT_EQ(events, std::vector<std::string>{"show app:101 x=0"});
}

TEST_F(HoverControllerTest, SweepFasterThanTheDelayShowsNothingUntilThePointerRests) {
    const DockItem items[] = {a, b, c, appItem(404, 192), appItem(505, 256)};
    for (const auto& item : items) {
        controller.hover(item);
        scheduler.advance(milliseconds(179));
    }
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(scheduler.pendingCount(), 1u) << "each hover replaces the previous delay";

    // The pointer rests on the last icon: the delay counted from its own hover.
    scheduler.advance(milliseconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"show app:505 x=256"});
}

TEST_F(HoverControllerTest, ArmingHoverEndedReturnsToIdleWithoutHiding) {
    controller.hover(a);
    scheduler.advance(milliseconds(100));
    controller.hoverEnded();
    expectIdle();

    scheduler.advance(std::chrono::seconds(5));
    EXPECT_TRUE(events.empty()) << "no show, and no hide for a panel that never opened";
}

TEST_F(HoverControllerTest, ShownSameItemChangesNothing) {
    showByResting(a);
    controller.hover(a);
    scheduler.advance(std::chrono::seconds(5));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(controller.shownItem(), a);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(HoverControllerTest, ShownSwitchesToAnotherItemAtOnce) {
    showByResting(a);
    controller.hover(b);
    EXPECT_EQ(events, std::vector<std::string>{"show app:202 x=64"});
    EXPECT_EQ(controller.shownItem(), b);
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    controller.hover(c);
    EXPECT_EQ(events.back(), "show app:303 x=128");
}

TEST_F(HoverControllerTest, ShownHidesAfterTheHideDelay) {
    showByResting(a);
    controller.hoverEnded();
    EXPECT_TRUE(controller.pendingHide().isPending());
    EXPECT_EQ(controller.shownItem(), a) << "still open while closing";

    scheduler.advance(milliseconds(259));
    EXPECT_TRUE(events.empty());
    scheduler.advance(milliseconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"hide"});
    expectIdle();
}

TEST_F(HoverControllerTest, RepeatedHoverEndedRestartsTheHideDelay) {
    showByResting(a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(200));
    controller.hoverEnded();
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.advance(milliseconds(259));
    EXPECT_TRUE(events.empty());
    scheduler.advance(milliseconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"hide"});
}

TEST_F(HoverControllerTest, ClosingReturnToSameItemCancelsTheHideQuietly) {
    showByResting(a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(200));
    controller.hover(a);
    EXPECT_FALSE(controller.pendingHide().isPending());

    scheduler.advance(std::chrono::seconds(5));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(controller.shownItem(), a);
}

TEST_F(HoverControllerTest, ClosingMoveToAnotherItemShowsItAtOnce) {
    showByResting(a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(200));
    controller.hover(b);
    EXPECT_EQ(events, std::vector<std::string>{"show app:202 x=64"});

    scheduler.advance(std::chrono::seconds(5));
    EXPECT_EQ(events.size(), 1u) << "the hide was cancelled";
    EXPECT_EQ(controller.shownItem(), b);
}

TEST_F(HoverControllerTest, SameIdWithAMovedFrameCountsAsAnotherItem) {
    showByResting(a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(100));

    DockItem moved = a;
    moved.frame.origin.x += 10;
    controller.hover(moved);
    EXPECT_EQ(events, std::vector<std::string>{"show app:101 x=10"});
    EXPECT_EQ(controller.shownItem()->frame, moved.frame);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(HoverControllerTest, SameIdAndFrameWithAnotherTitleIsTheSameItem) {
    showByResting(a);
    DockItem renamed = a;
    renamed.title = "Renamed";
    controller.hover(renamed);
    EXPECT_TRUE(events.empty());
}

TEST_F(HoverControllerTest, PanelHoldsItselfOpenAndLeavingStartsTheHide) {
    showByResting(a);
    controller.hoverEnded();  // the pointer leaves the tile towards the panel
    scheduler.advance(milliseconds(150));
    controller.pointerEnteredPanel();
    EXPECT_TRUE(controller.isCursorInPanel());
    EXPECT_FALSE(controller.pendingHide().isPending());

    controller.hoverEnded();  // the Dock reports no item while the pointer is in the panel
    scheduler.advance(std::chrono::minutes(5));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(controller.shownItem(), a);
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    controller.pointerLeftPanel();
    EXPECT_FALSE(controller.isCursorInPanel());
    scheduler.advance(milliseconds(259));
    EXPECT_TRUE(events.empty());
    scheduler.advance(milliseconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"hide"});
}

TEST_F(HoverControllerTest, LeavingThePanelBackToATileKeepsOrSwitches) {
    showByResting(a);
    controller.pointerEnteredPanel();
    controller.pointerLeftPanel();
    scheduler.advance(milliseconds(100));
    controller.hover(a);
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_TRUE(events.empty());

    controller.pointerEnteredPanel();
    controller.pointerLeftPanel();
    controller.hover(b);
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(events, std::vector<std::string>{"show app:202 x=64"});
}

TEST_F(HoverControllerTest, ResetForgetsWithoutHiding) {
    showByResting(a);
    controller.pointerEnteredPanel();
    controller.pointerLeftPanel();
    ASSERT_TRUE(controller.pendingHide().isPending());

    controller.reset();
    EXPECT_FALSE(controller.isCursorInPanel());
    expectIdle();
    scheduler.advance(std::chrono::seconds(5));
    EXPECT_TRUE(events.empty());

    // Nothing is shown any more, so the next hover waits the show delay again.
    controller.hover(a);
    EXPECT_TRUE(events.empty());
    scheduler.advance(milliseconds(180));
    EXPECT_EQ(events, std::vector<std::string>{"show app:101 x=0"});
}

TEST_F(HoverControllerTest, ResetClearsThePanelHold) {
    showByResting(a);
    controller.pointerEnteredPanel();
    controller.reset();
    controller.hover(b);
    scheduler.advance(milliseconds(180));
    controller.hoverEnded();
    scheduler.advance(milliseconds(260));
    EXPECT_EQ(events, (std::vector<std::string>{"show app:202 x=64", "hide"}));
}

TEST_F(HoverControllerTest, ResetLeavesARunningShowDelayAlone) {
    controller.hover(a);
    controller.reset();
    scheduler.advance(milliseconds(180));
    EXPECT_EQ(events, std::vector<std::string>{"show app:101 x=0"});
}

TEST_F(HoverControllerTest, HideCallbackMayResetTheController) {
    controller.onHide = [this] {
        events.push_back("hide");
        controller.reset();
    };
    showByResting(a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(260));
    EXPECT_EQ(events, std::vector<std::string>{"hide"});
    expectIdle();
}

TEST_F(HoverControllerTest, TimingChangeAppliesToDelaysStartedAfterwards) {
    controller.hover(a);
    controller.setTiming({milliseconds(20), milliseconds(30)});
    scheduler.advance(milliseconds(179));
    EXPECT_TRUE(events.empty()) << "the running delay keeps its length";
    scheduler.advance(milliseconds(1));
    ASSERT_EQ(events.size(), 1u);

    controller.hoverEnded();
    scheduler.advance(milliseconds(30));
    EXPECT_EQ(events.back(), "hide");

    controller.hover(b);
    scheduler.advance(milliseconds(20));
    EXPECT_EQ(events.back(), "show app:202 x=64");
}

TEST_F(HoverControllerTest, CallbacksAreOptional) {
    controller.onShow = nullptr;
    controller.onHide = nullptr;
    controller.hover(a);
    scheduler.advance(milliseconds(180));
    EXPECT_EQ(controller.shownItem(), a);
    controller.hoverEnded();
    scheduler.advance(milliseconds(260));
    expectIdle();
}

TEST(HoverControllerLifetime, DestroyingTheControllerCancelsItsDelays) {
    ManualScheduler scheduler;
    int calls = 0;
    {
        HoverController controller(scheduler);
        controller.onShow = [&](const DockItem&) { ++calls; };
        controller.hover(appItem(1));
        EXPECT_EQ(scheduler.pendingCount(), 1u);
    }
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(calls, 0);
}

TEST(HoverTiming, ConvertsPreferenceMillisecondsByTruncation) {
    using Timing = HoverController::Timing;
    EXPECT_EQ(Timing::fromMilliseconds(180.0, 260.0), Timing{});
    EXPECT_EQ(Timing::fromMilliseconds(180.99, 0.5), (Timing{milliseconds(180), milliseconds(0)}));
    EXPECT_EQ(Timing::fromMilliseconds(0.0, 1.0), (Timing{milliseconds(0), milliseconds(1)}));
}

TEST(HoverTiming, ClampsValuesThatCannotBeADelay) {
    using Timing = HoverController::Timing;
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const Duration longest = Timing::kMaximumDelay;
    ASSERT_EQ(longest, std::chrono::minutes(10));

    EXPECT_EQ(Timing::fromMilliseconds(-5.0, -0.0), (Timing{Duration::zero(), Duration::zero()}));
    EXPECT_EQ(Timing::fromMilliseconds(-inf, -1e300), (Timing{Duration::zero(), Duration::zero()}));
    EXPECT_EQ(Timing::fromMilliseconds(inf, 1e300), (Timing{longest, longest}));
    EXPECT_EQ(Timing::fromMilliseconds(9.3e18, 600000.9), (Timing{longest, longest}));
    EXPECT_EQ(Timing::fromMilliseconds(599999.9, 600001.0),
              (Timing{milliseconds(599999), longest}));
    // NaN has no order to clamp by: fall back to that field's default.
    EXPECT_EQ(Timing::fromMilliseconds(nan, 5.0), (Timing{milliseconds(180), milliseconds(5)}));
    EXPECT_EQ(Timing::fromMilliseconds(5.0, -nan), (Timing{milliseconds(5), milliseconds(260)}));
}

TEST(HoverTiming, ClampedLongestDelayStillRunsOnTheScheduler) {
    ManualScheduler scheduler;
    HoverController controller(scheduler);
    int shows = 0;
    controller.onShow = [&](const DockItem&) { ++shows; };
    controller.setTiming(HoverController::Timing::fromMilliseconds(1e300, 1e300));
    controller.hover(appItem(1));
    scheduler.advance(std::chrono::minutes(10) - milliseconds(1));
    EXPECT_EQ(shows, 0);
    scheduler.advance(milliseconds(1));
    EXPECT_EQ(shows, 1);
}

}  // namespace
}  // namespace vantorel

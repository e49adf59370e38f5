#include <gtest/gtest.h>

#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimPanelSurface.h"
#include "platform/x11/X11Rig.h"
#include "switcher/WindowSwitcher.h"
#include "windows/ThumbnailService.h"

namespace vantorel {
namespace {

// The switcher armed over three real windows, opened in order so that the last is active.
class X11KeyTapTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rig.session.skipReason.empty()) GTEST_SKIP() << rig.session.skipReason;
        for (const char* name : {"One", "Two", "Three"})
            windows.push_back(rig.open(name, name));
        switcher = std::make_unique<WindowSwitcher>(ports, thumbnails, [this](SwitcherState&) {
            return std::make_unique<SimPanelSurface>(rig.sim.scheduler, [] {
                return Size{600, 200};
            });
        });
        switcher->start();
        ASSERT_TRUE(switcher->isArmed());
        ASSERT_TRUE(rig.keys->grabProblem().empty()) << rig.keys->grabProblem();
    }
    void TearDown() override { switcher.reset(); }

    X11Rig rig;
    PlatformPorts ports = rig.session.skipReason.empty() ? rig.ports() : rig.sim.ports();
    ManualExecutor executor;
    ThumbnailService thumbnails{ports, executor};
    std::unique_ptr<WindowSwitcher> switcher;
    std::vector<xcb_window_t> windows;
};

TEST_F(X11KeyTapTest, AltTabTabReleaseActivatesTheThirdWindowInActivationOrder) {
    rig.type({{kAlt, true}, {kTabKey, true}, {kTabKey, false}});
    ASSERT_TRUE(rig.session.waitFor([&] { return switcher->isOpen(); }));
    EXPECT_TRUE(rig.keys->keyboardGrabbed());
    rig.type({{kTabKey, true}, {kTabKey, false}, {kAlt, false}});
    // Three, Two, One: the third is the oldest.
    EXPECT_TRUE(rig.activeIs(windows[0]));
    EXPECT_FALSE(switcher->isOpen());
    EXPECT_FALSE(rig.keys->keyboardGrabbed());
}

TEST_F(X11KeyTapTest, AnAltReleasedBeforeTheGrabStillCommits) {
    // All four keys reach the server before the tap has seen the first.
    rig.type({{kAlt, true}, {kTabKey, true}, {kTabKey, false}, {kAlt, false}});
    EXPECT_TRUE(rig.activeIs(windows[1]));
    EXPECT_TRUE(rig.session.waitFor([&] { return !switcher->isOpen(); }));
    EXPECT_FALSE(rig.keys->keyboardGrabbed());
}

TEST(X11KeyTapTakenTest, AnAltTabHeldByTheWindowManagerIsReportedOnce) {
    X11Rig rig(X11SessionRig::Bindings::openboxDefaults);
    if (!rig.session.skipReason.empty()) GTEST_SKIP() << rig.session.skipReason;
    int told = 0;
    rig.keys->onGrabProblem = [&](const std::string&) { ++told; };
    auto tap = rig.keys->tapCreate({}, {}, {}, eventMaskBit(kEventTypeKeyDown),
                                   [](EventType, const TappedEvent&) { return true; });
    auto source = rig.keys->createRunLoopSource(*tap);
    rig.keys->addToMainRunLoop(*source);
    for (const bool enable : {true, false, true})
        rig.keys->tapEnable(*tap, enable);
    EXPECT_EQ(rig.keys->grabProblem(), X11KeyEvents::kTakenProblem);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(rig.sim.logger.count(X11KeyEvents::kTakenProblem), 1u);
}

}  // namespace
}  // namespace vantorel

#include "app/VantorelApp.h"

#include <gtest/gtest.h>

#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimLoginItems.h"
#include "platform/sim/SimPanelSurface.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Status = PermissionsManager::Status;
using Lines = std::vector<std::string>;

// The application from its construction to a started coordinator, on the simulated desktop.
class VantorelAppTest : public testing::Test {
protected:
    VantorelAppTest() {
        desktop.launchDock();
        desktop.setDockTiles(
            {{SimDockTileSpec::Kind::application, "Safari", "file:///Applications/Safari.app/"}});
    }

    std::unique_ptr<VantorelApp> makeApp() {
        PanelFactories panels;
        panels.preview = [this](PreviewState&) {
            return std::make_unique<SimPanelSurface>(desktop.scheduler, [] {
                return Size{300, 200};
            });
        };
        return std::make_unique<VantorelApp>(desktop.ports(), loginItems, executor, executor,
                                             panels);
    }
    // The start-up's own lines and the coordinator's, in the order they were written.
    Lines startUpLines() {
        Lines out;
        for (const auto& line : desktop.logger.lines()) {
            if (line.category == "permissions" || line.category == "app")
                out.push_back(line.message);
        }
        return out;
    }

    SimDesktop desktop;
    SimLoginItems loginItems;
    ManualExecutor executor;
};

TEST_F(VantorelAppTest, ConstructionQueuesTheSequenceWhichRunsInItsOrder) {
    desktop.defaults.standardDomain().setObject("didShowWelcome", true);
    desktop.defaults.standardDomain().setObject("showDelayMS", 90.0);
    loginItems.setStatus(LoginItems::Status::enabled);
    desktop.permissionServices.setAuthorizationStatus(EventEntityType::event,
                                                      SimPermissionServices::kFullAccess);
    desktop.permissionServices.setAnswerDelay(40ms);  // the Screen Recording probe takes a while
    auto app = makeApp();
    EXPECT_TRUE(desktop.logger.lines().empty());
    EXPECT_EQ(desktop.permissionServices.probeCount(), 0u);
    EXPECT_TRUE(app->launchAtLogin().isEnabled());
    EXPECT_EQ(app->preferences().showDelayMS(), 90.0);

    desktop.scheduler.runDue();
    // Suspended on the probe: the coordinator waits for its answer.
    EXPECT_EQ(desktop.permissionServices.probeCount(), 1u);
    EXPECT_EQ(app->coordinator(), nullptr);

    AppCoordinator* started = nullptr;
    app->onStarted = [&](AppCoordinator& coordinator) { started = &coordinator; };
    desktop.scheduler.advance(40ms);
    ASSERT_NE(app->coordinator(), nullptr);
    EXPECT_EQ(started, app->coordinator());
    EXPECT_TRUE(app->coordinator()->observing());
    EXPECT_EQ(
        startUpLines(),
        (Lines{"Accessibility trusted=true", "Screen Recording granted",
               "Calendar status=granted (EK raw=3)", "Reminders status=notDetermined (EK raw=0)",
               "Switcher: ⌥Tab window switcher armed", "Coordinator started"}));
    EXPECT_EQ(app->permissions().calendar(), Status::granted);
    EXPECT_EQ(desktop.accessibility.promptCount(), 0);  // trusted: nothing to ask
}

TEST_F(VantorelAppTest, FirstLaunchIsDueTheWelcomeAndAsksForAccessibilityInTheSameSequence) {
    desktop.accessibility.setTrusted(false);
    desktop.permissionServices.setScreenRecordingAllowed(false);
    auto app = makeApp();
    struct Shown final : WelcomeController::Window {
        void present() override {}
        void close() override {}
    };
    app->makeWelcomeWindow = [](WelcomeController&) { return std::make_unique<Shown>(); };
    desktop.scheduler.runDue();
    ASSERT_NE(app->welcome(), nullptr);
    EXPECT_TRUE(app->welcome()->isShown());
    EXPECT_EQ(desktop.accessibility.promptCount(), 1);
    EXPECT_EQ(app->permissions().accessibility(), Status::denied);
    EXPECT_EQ(app->permissions().screenRecording(), Status::denied);
    const auto lines = startUpLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Welcome window shown");
    EXPECT_EQ(lines.back(), "Waiting for Accessibility before starting…");
    // Missing permissions do not stop start-up: the coordinator exists and waits.
    ASSERT_NE(app->coordinator(), nullptr);
    EXPECT_FALSE(app->coordinator()->observing());
}

TEST_F(VantorelAppTest, OnlyABooleanTrueMarksTheWelcomeAsShownAndStartUpNeverWritesIt) {
    auto app = makeApp();
    EXPECT_TRUE(app->welcomeDue());  // absent
    desktop.scheduler.runDue();
    EXPECT_FALSE(desktop.defaults.standardDomain().object("didShowWelcome"));
    const std::pair<DefaultsValue, bool> cases[] = {
        {DefaultsValue(true), false}, {DefaultsValue(false), true}, {DefaultsValue(1), true}};
    for (const auto& [value, due] : cases) {
        desktop.defaults.standardDomain().setObject("didShowWelcome", value);
        EXPECT_EQ(app->welcomeDue(), due);
    }
}

TEST_F(VantorelAppTest, NothingRunsOnceTheAppIsGone) {
    makeApp().reset();
    desktop.scheduler.advance(2s);
    EXPECT_EQ(desktop.permissionServices.probeCount(), 0u);
    EXPECT_TRUE(desktop.logger.lines().empty());

    // Gone while the probe is out: its answer starts nothing.
    desktop.permissionServices.setAnswerDelay(40ms);
    auto app = makeApp();
    desktop.scheduler.runDue();
    app.reset();
    desktop.scheduler.advance(1s);
    EXPECT_EQ(desktop.logger.count("Coordinator started"), 0u);
}

}  // namespace
}  // namespace vantorel

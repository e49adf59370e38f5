#include <gtest/gtest.h>

#include <chrono>

#include "app/AppCoordinator.h"
#include "app/PermissionsManager.h"
#include "app/Preferences.h"
#include "platform/sim/ManualExecutor.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimPanelSurface.h"
#include "switcher/SwitcherRig.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;

// The coordinator arms the switcher when observation starts and at each settings change after.
struct ArmingRig {
    explicit ArmingRig(bool trusted) {
        desktop.launchDock();
        desktop.accessibility.setTrusted(trusted);
        permissions.checkAccessibility(false);
        PanelFactories panels;
        panels.preview = [this](PreviewState&) {
            return std::make_unique<SimPanelSurface>(desktop.scheduler, [] { return Size{}; });
        };
        coordinator = std::make_unique<AppCoordinator>(desktop.ports(), permissions, preferences,
                                                       executor, executor, panels);
    }
    std::size_t armedLines() {
        return desktop.logger.count("Switcher: ⌥Tab window switcher armed");
    }

    SimDesktop desktop;
    ManualExecutor executor;
    PermissionsManager permissions{desktop.ports()};
    Preferences preferences{desktop.defaults.standard(), desktop.logger};
    std::unique_ptr<AppCoordinator> coordinator;
};

TEST(SwitcherArmingTest, TheSettingArmsAndDisarmsTheSameSwitcherWhileObserving) {
    ArmingRig rig(true);
    rig.coordinator->start();
    WindowSwitcher* switcher = rig.coordinator->switcher();
    ASSERT_NE(switcher, nullptr);
    EXPECT_TRUE(switcher->isArmed());
    // Armed after the Dock observer started and before the coordinator says it has.
    const auto at = [&](const std::string& prefix) {
        return lineIndex(rig.desktop.logger, prefix);
    };
    EXPECT_LT(at("DockObserver started"), at("Switcher: ⌥Tab"));
    EXPECT_LT(at("Switcher: ⌥Tab"), at("Coordinator started"));

    for (const bool enabled : {false, true, false, true}) {
        rig.preferences.setAltTabEnabled(enabled);
        EXPECT_EQ(rig.coordinator->switcher(), switcher);
        EXPECT_EQ(switcher->isArmed(), enabled);
        EXPECT_EQ(rig.desktop.keyEvents.tapCount(), enabled ? 1u : 0u);
    }
    EXPECT_EQ(rig.armedLines(), 3u);
}

TEST(SwitcherArmingTest, ChangesBeforeAccessibilityArmNothingUntilObservationStarts) {
    ArmingRig rig(false);
    rig.coordinator->start();
    rig.preferences.setAltTabEnabled(false);
    rig.preferences.setAltTabEnabled(true);
    EXPECT_EQ(rig.coordinator->switcher(), nullptr);
    EXPECT_EQ(rig.desktop.keyEvents.tapCount(), 0u);

    rig.desktop.accessibility.setTrusted(true);
    rig.desktop.scheduler.advance(1s);
    ASSERT_NE(rig.coordinator->switcher(), nullptr);
    EXPECT_TRUE(rig.coordinator->switcher()->isArmed());
    EXPECT_EQ(rig.armedLines(), 1u);
}

}  // namespace
}  // namespace vantorel

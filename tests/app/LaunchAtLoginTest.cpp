#include "app/LaunchAtLogin.h"

#include <gtest/gtest.h>

#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimLoginItems.h"

namespace vantorel {
namespace {

class LaunchAtLoginTest : public testing::Test {
protected:
    SimLoginItems items;
    MemoryLogger logger;
};

TEST_F(LaunchAtLoginTest, EnablingAndDisablingChangeTheSystemOnlyWhenNeeded) {
    LaunchAtLogin launch(items, logger);
    int changes = 0;
    launch.onChange = [&] { ++changes; };
    for (const bool enabled : {true, false}) {
        launch.setEnabled(enabled);
        launch.setEnabled(enabled);  // already so: no system call, the same line, no change
        EXPECT_EQ(launch.isEnabled(), enabled);
        EXPECT_EQ(items.calls(), enabled ? 1 : 2);
        EXPECT_EQ(
            logger.count(enabled ? "Launch at login set to true" : "Launch at login set to false"),
            2u);
        EXPECT_EQ(changes, enabled ? 1 : 2);
    }
}

TEST_F(LaunchAtLoginTest, AFailedChangeIsLoggedAndTheSwitchShowsTheRealState) {
    items.setStatus(LoginItems::Status::requiresApproval);  // registered, but not yet running
    LaunchAtLogin launch(items, logger);
    EXPECT_FALSE(launch.isEnabled());
    items.failWith("Operation not permitted");
    launch.setEnabled(true);
    EXPECT_FALSE(launch.isEnabled());
    ASSERT_EQ(logger.lines().size(), 1u);
    EXPECT_EQ(logger.lines()[0].message, "Launch at login change failed: Operation not permitted");
    EXPECT_EQ(logger.lines()[0].level, LogLevel::error);
    EXPECT_EQ(logger.lines()[0].category, "app");

    // A login item switched on behind our back is picked up at the next change.
    items.failWith(std::nullopt);
    items.setStatus(LoginItems::Status::enabled);
    launch.setEnabled(true);
    EXPECT_TRUE(launch.isEnabled());
}

}  // namespace
}  // namespace vantorel

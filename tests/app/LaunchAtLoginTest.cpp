#include "app/LaunchAtLogin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/linux/XdgAutostartLoginItems.h"
#include "platform/sim/MemoryLogger.h"
#include "platform/sim/SimLoginItems.h"

namespace vantorel {
namespace {

class LaunchAtLoginTest : public testing::Test {
protected:
    SimLoginItems items;
    MemoryLogger logger;
};

TEST_F(LaunchAtLoginTest, StartsFromTheLoginItemsRealStatus) {
    EXPECT_FALSE(LaunchAtLogin(items, logger).isEnabled());
    items.setStatus(LoginItems::Status::enabled);
    EXPECT_TRUE(LaunchAtLogin(items, logger).isEnabled());
    items.setStatus(LoginItems::Status::requiresApproval);
    EXPECT_FALSE(LaunchAtLogin(items, logger).isEnabled());
}

TEST_F(LaunchAtLoginTest, EnablingAndDisablingChangeTheSystemOnlyWhenNeeded) {
    LaunchAtLogin launch(items, logger);
    int changes = 0;
    launch.onChange = [&] { ++changes; };

    launch.setEnabled(true);
    EXPECT_TRUE(launch.isEnabled());
    EXPECT_EQ(items.calls(), 1);
    launch.setEnabled(true);  // already enabled: no system call, same line, no change
    EXPECT_EQ(items.calls(), 1);
    EXPECT_EQ(logger.count("Launch at login set to true"), 2u);
    EXPECT_EQ(changes, 1);

    launch.setEnabled(false);
    launch.setEnabled(false);
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_EQ(items.calls(), 2);
    EXPECT_EQ(logger.count("Launch at login set to false"), 2u);
    EXPECT_EQ(changes, 2);
}

TEST_F(LaunchAtLoginTest, AFailedChangeIsLoggedAndTheSwitchShowsTheRealState) {
    LaunchAtLogin launch(items, logger);
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

// The switch over the real login item of this system, an XDG autostart entry.
TEST_F(LaunchAtLoginTest, OverAnAutostartEntryTheSwitchFollowsTheFile) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(testing::TempDir()) / "vantorel-launch-at-login";
    fs::remove_all(root);
    XdgAutostartLoginItems autostart(root / "autostart", "/usr/bin/vantorel");
    LaunchAtLogin launch(autostart, logger);
    EXPECT_FALSE(launch.isEnabled());

    launch.setEnabled(true);
    EXPECT_TRUE(launch.isEnabled());
    EXPECT_TRUE(fs::exists(autostart.entryPath()));
    const auto written = fs::last_write_time(autostart.entryPath());
    launch.setEnabled(true);  // already there: the file is left alone
    EXPECT_EQ(fs::last_write_time(autostart.entryPath()), written);
    EXPECT_EQ(logger.count("Launch at login set to true"), 2u);

    launch.setEnabled(false);
    EXPECT_FALSE(launch.isEnabled());
    EXPECT_FALSE(fs::exists(autostart.entryPath()));

    // A file where the autostart directory should be: nothing can be registered.
    std::ofstream(root / "blocked") << "not a directory\n";
    XdgAutostartLoginItems blocked(root / "blocked", "/usr/bin/vantorel");
    LaunchAtLogin failing(blocked, logger);
    logger.clear();
    failing.setEnabled(true);
    EXPECT_FALSE(failing.isEnabled());
    ASSERT_EQ(logger.lines().size(), 1u);
    EXPECT_EQ(logger.lines()[0].level, LogLevel::error);
    EXPECT_EQ(logger.lines()[0].message.rfind("Launch at login change failed: ", 0), 0u)
        << logger.lines()[0].message;
    fs::remove_all(root);
}

}  // namespace
}  // namespace vantorel

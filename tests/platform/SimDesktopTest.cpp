#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

namespace vantorel {
namespace {

TEST(SimDesktopTest, NoScreenAndDeepWorldFilesAreHandledNotFatal) {
    SimDesktop desktop;
    desktop.setScreens({});
    desktop.setDockTiles({{SimDockTileSpec::Kind::application, "Mail", {}}});
    desktop.launchDock();  // lays the Dock out on no screen: its tiles are there without size
    EXPECT_TRUE(desktop.dockTile(0));
    EXPECT_EQ(desktop.dockTileFrame(0), Rect());
    // Copying the Dock's part of a world took one stack frame per level; 62 more reach the limit.
    for (const int levels : {62, 70000}) {
        std::string error;
        SimWorld::parse(
            "{\"dock\": {\"x\": " + std::string(levels, '[') + std::string(levels, ']') + "}}",
            &error);
        EXPECT_EQ(error, levels == 62 ? "" : "it is nested deeper than 64 levels");
    }
}

}  // namespace
}  // namespace vantorel

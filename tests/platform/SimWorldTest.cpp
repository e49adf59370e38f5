#include "platform/sim/SimWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "ScratchFolder.h"

namespace vantorel {
namespace {

TEST(SimWorld, MalformedWorldsAreRefusedWithAReason) {
    const auto app = [](const std::string& windows) {
        return R"({"applications": [{"name": "Editor", "bundleId": "e", "windows": )" + windows +
               "}]}";
    };
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"{", ""},
        {"[]", ""},
        {R"({"applications": [{"bundleId": "x"}]})", ""},
        {R"({"dock": {"tiles": [{"app": "com.example.unknown"}]}})", ""},
        {R"({"dock": {"tiles": [{"what": true}]}})", ""},
        {R"({"screens": [{"frame": [0, 0, 10]}]})", "a rectangle is [x, y, w, h]"},
        {R"({"folders": [{"files": ["a"]}]})", ""},
        {R"({"applications": [{"name": "M", "player": 1}]})", ""},
        {app(R"({})"), "\"windows\" is a list"},
        {app(R"([3])"), "Editor window 0: a window is an object"},
        {app(R"([{"title": "x"}])"), "Editor window 0:"},
        {app(R"([{"frame": [0, 0, 10, "10"]}])"), "Editor window 0:"},
        {app(R"([{"frame": [0, 0, -10, 10]}])"), "a size of at least zero"},
        {app(R"([{"frame": [0, 0, 10, 10]}, {"frame": [0, 0, 10, -1]}])"), "Editor window 1:"},
        {app(R"([{"frame": [0, 0, 10, 10], "minimized": "yes"}])"), "Editor window 0:"},
        {app(R"([{"frame": [0, 0, 10, 10], "title": 7}])"), "Editor window 0:"},
        {app(R"([{"frame": [0, 0, 10, 10], "layer": 1.5}])"), "a layer is an integer"},
        {app(R"([{"frame": [0, 0, 10, 10], "color": "red"}])"), "a colour is"},
        {app(R"([{"frame": [0, 0, 10, 10], "minimised": true}])"), "unknown key \"minimised\""},
    };
    for (const auto& [text, reason] : cases) {
        std::string error;
        EXPECT_FALSE(SimWorld::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << "\n" << error;
    }
}

TEST(SimWorld, WindowsDrawnForALargerScreenAreFittedOntoIt) {
    auto world = SimWorld::parse(R"({
        "screens": [{"frame": [0, 0, 800, 600]}],
        "applications": [{"name": "Notes", "bundleId": "com.apple.Notes", "windows": [
            {"title": "Too big", "frame": [300, 200, 1000, 700]},
            {"title": "Fits", "frame": [40, 60, 300, 200]},
            {"title": "Past the right", "frame": [700, 100, 300, 200]},
            {"title": "Minimised", "frame": [0, 0, 0, 0], "minimized": true}
        ]}]})",
                                 nullptr);
    ASSERT_TRUE(world);
    SimDesktop desktop;
    world->build(desktop, "/tmp");
    const auto pid =
        desktop.workspace.runningApplications("com.apple.Notes").front().processIdentifier;
    const auto ids = desktop.windows.of(pid);
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(desktop.windows.find(ids[0])->spec.frame, Rect(0, 25, 800, 575));
    EXPECT_EQ(desktop.windows.find(ids[1])->spec.frame, Rect(40, 60, 300, 200));
    EXPECT_EQ(desktop.windows.find(ids[2])->spec.frame, Rect(500, 100, 300, 200));
    EXPECT_EQ(desktop.windows.find(ids[3])->spec.frame, Rect(0, 0, 0, 0));
}

TEST(SimWorld, FolderFilesStayInsideTheirFolder) {
    const ScratchFolder scratch("vantorel-world-files");
    const auto root = scratch.path() / "world";
    auto world = SimWorld::parse(
        R"({"folders": [{"path": "${ROOT}/Docs", "files": ["a.txt", "../escape.txt", "/etc/x"]}]})",
        nullptr);
    ASSERT_TRUE(world);
    std::string error;
    ASSERT_TRUE(world->createFolders(root.string(), &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(root / "Docs" / "a.txt"));
    EXPECT_FALSE(std::filesystem::exists(root / "escape.txt"));
}

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

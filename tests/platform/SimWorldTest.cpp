#include "platform/sim/SimWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantorel {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SimWorld, TheDefaultWorldBuildsADockOfApplicationsFoldersAndAStack) {
    std::string error;
    auto world = SimWorld::parse(readFile(VANTOREL_DEFAULT_WORLD), &error);
    ASSERT_TRUE(world) << error;

    SimDesktop desktop;
    world->build(desktop, "/tmp/world-root");
    ASSERT_TRUE(desktop.dockPid());
    ASSERT_GE(desktop.dockTiles().size(), 12u);

    // The folder tiles point into the chosen root, and the Dock records them.
    auto others = desktop.dockDefaults().object("persistent-others");
    ASSERT_TRUE(others);
    const auto* records = others->as<DefaultsArray>();
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 2u);
    const auto& tileData =
        *records->front().as<DefaultsDictionary>()->at("tile-data").as<DefaultsDictionary>();
    EXPECT_EQ(*tileData.at("file-label").as<std::string>(), "Downloads");
    EXPECT_EQ(
        *tileData.at("file-data").as<DefaultsDictionary>()->at("_CFURLString").as<std::string>(),
        "file:///tmp/world-root/Downloads/");

    // A tile lies along the bottom of the primary screen, inside it.
    const Rect first = desktop.dockTileFrame(0);
    EXPECT_GT(first.width(), 0);
    EXPECT_LE(first.maxY(), 1117);
    EXPECT_GT(first.minY(), 1000);
}

TEST(SimWorld, MalformedWorldsAreRefusedWithAReason) {
    const char* cases[] = {
        "",
        "{",
        "[]",
        R"({"applications": [{"bundleId": "x"}]})",
        R"({"dock": {"tiles": [{"app": "com.example.unknown"}]}})",
        R"({"dock": {"tiles": [{"what": true}]}})",
        R"({"screens": [{"frame": [0, 0, 10]}]})",
        R"({"folders": [{"files": ["a"]}]})",
    };
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(SimWorld::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
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
    const auto root = std::filesystem::path(testing::TempDir()) / "vantorel-world-files";
    std::filesystem::remove_all(root);
    auto world = SimWorld::parse(
        R"({"folders": [{"path": "${ROOT}/Docs", "files": ["a.txt", "../escape.txt", "/etc/x"]}]})",
        nullptr);
    ASSERT_TRUE(world);
    std::string error;
    ASSERT_TRUE(world->createFolders(root.string(), &error)) << error;
    EXPECT_TRUE(std::filesystem::exists(root / "Docs" / "a.txt"));
    EXPECT_FALSE(std::filesystem::exists(root / "escape.txt"));
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace vantorel

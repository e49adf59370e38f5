#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dock/DockObserver.h"
#include "platform/sim/SimWorld.h"
#include "windows/WindowService.h"

namespace vantorel {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> titles(const std::vector<WindowInfo>& windows) {
    std::vector<std::string> out;
    for (const auto& w : windows)
        out.push_back(w.title);
    return out;
}

TEST(SimWorldWindows, ApplicationsOpenTheirWindowsFrontToBack) {
    std::string error;
    const auto world = SimWorld::parse(R"({"applications": [
        {"name": "Preview", "bundleId": "com.apple.Preview", "windows": [
            {"title": "Invoice.pdf", "frame": [100, 50, 800, 900], "color": "#ffffff"},
            {"title": "Export", "frame": [275, 400, 450, 200], "subrole": "AXDialog"},
            {"title": "Old.pdf", "frame": [0, 0, 0, 0], "minimized": true},
            {"title": "Elsewhere", "frame": [900, 50, 600, 400], "onScreen": false},
            {"title": "Inspector", "frame": [1300, 50, 250, 400], "subrole": "AXFloatingWindow",
             "layer": 3}
        ]},
        {"name": "Maps", "bundleId": "com.apple.Maps", "running": false, "windows": [
            {"title": "Not open", "frame": [0, 0, 100, 100]}
        ]}
    ]})",
                                       &error);
    ASSERT_TRUE(world) << error;
    SimDesktop desktop;
    world->build(desktop, "/tmp/world-root");

    const auto running = desktop.workspace.runningApplications("com.apple.Preview");
    ASSERT_EQ(running.size(), 1u);
    const auto preview = running.front();
    const auto ids = desktop.windows.of(preview.processIdentifier);
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ(desktop.windows.count(), 5u);
    const SimWindow& palette = *desktop.windows.find(ids[4]);
    EXPECT_EQ(palette.spec.layer, 3);
    EXPECT_EQ(palette.spec.subrole, "AXFloatingWindow");
    EXPECT_EQ(desktop.windows.find(ids[0])->spec.color, 0xffffffffu);
    EXPECT_EQ(desktop.windows.find(ids[1])->spec.frame, Rect(275, 400, 450, 200));

    WindowService service(desktop.ports());
    EXPECT_EQ(titles(service.windows(preview)),
              (std::vector<std::string>{"Invoice.pdf", "Export", "Old.pdf"}));
}

TEST(SimWorldWindows, AMalformedWindowIsRefusedWithAReason) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"("windows": {})", "\"windows\" is a list"},
        {R"("windows": [3])", "Editor window 0: a window is an object"},
        {R"("windows": [{"title": "x"}])", "Editor window 0:"},
        {R"("windows": [{"frame": [0, 0, 10]}])", "a rectangle is [x, y, w, h]"},
        {R"("windows": [{"frame": [0, 0, 10, "10"]}])", "Editor window 0:"},
        {R"("windows": [{"frame": [0, 0, -10, 10]}])", "a size of at least zero"},
        {R"("windows": [{"frame": [0, 0, 10, 10]}, {"frame": [0, 0, 10, -1]}])",
         "Editor window 1:"},
        {R"("windows": [{"frame": [0, 0, 10, 10], "minimized": "yes"}])", "Editor window 0:"},
        {R"("windows": [{"frame": [0, 0, 10, 10], "title": 7}])", "Editor window 0:"},
        {R"("windows": [{"frame": [0, 0, 10, 10], "layer": 1.5}])", "a layer is an integer"},
        {R"("windows": [{"frame": [0, 0, 10, 10], "color": "red"}])", "a colour is"},
        {R"("windows": [{"frame": [0, 0, 10, 10], "minimised": true}])",
         "unknown key \"minimised\""},
    };
    for (const auto& [windows, reason] : cases) {
        const std::string text =
            R"({"applications": [{"name": "Editor", "bundleId": "com.example.editor", )" + windows +
            "}]}";
        std::string error;
        EXPECT_FALSE(SimWorld::parse(text, &error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << text << "\n" << error;
    }
}

TEST(SimWorldWindows, TheDefaultWorldGivesTheDocksApplicationsWindows) {
    std::string error;
    const auto world = SimWorld::parse(readFile(VANTOREL_DEFAULT_WORLD), &error);
    ASSERT_TRUE(world) << error;
    SimDesktop desktop;
    world->build(desktop, "/tmp/world-root");
    DockObserver observer(desktop.ports());
    observer.start();
    WindowService service(desktop.ports());

    auto windowsOf = [&](const std::string& title) {
        for (const auto& tile : observer.cachedTiles()) {
            if (tile.title == title && tile.runningApp) return service.windows(*tile.runningApp);
        }
        ADD_FAILURE() << "no running application tile " << title;
        return std::vector<WindowInfo>{};
    };

    // Two processes share Terminal's bundle: its tile lists both.
    const auto terminal = windowsOf("Terminal");
    ASSERT_EQ(terminal.size(), 3u);
    EXPECT_NE(terminal.front().ownerPID, terminal.back().ownerPID);
    EXPECT_EQ(desktop.logger.messages("windows").front(),
              "Terminal: 3 window(s) across 2 instance(s)");

    const auto safari = windowsOf("Safari");
    ASSERT_EQ(safari.size(), 3u);
    EXPECT_TRUE(safari[2].isMinimized);
    EXPECT_EQ(titles(windowsOf("Preview")),
              (std::vector<std::string>{"Invoice 2026-11.pdf", "Export"}));
    // The palette and the window on another space do not show.
    EXPECT_EQ(windowsOf("Music").size(), 1u);
    EXPECT_EQ(windowsOf("Notes").size(), 1u);

    // The switcher sees every regular application's windows, and not the accessory's.
    const auto all = service.allWindows();
    EXPECT_GE(all.size(), 18u);
    for (const auto& w : all)
        EXPECT_NE(w.title, "Clipboard History");
}

}  // namespace
}  // namespace vantorel

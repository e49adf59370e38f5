#include "dock/DockObserver.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Kind = SimDockTileSpec::Kind;
using Reports = std::vector<std::string>;

SimAppSpec app(const std::string& name, const std::string& path,
               std::int64_t policy = RunningApplication::kPolicyRegular) {
    return SimAppSpec{name, "com.example." + name, path, policy, nullptr};
}

class DockObserverTest : public testing::Test {
protected:
    DockObserverTest() {
        desktop.launchDock();
        safari = desktop.launch(app("Safari", "/Applications/Safari.app"));
        mail = desktop.launch(app("Mail", "/System/Applications/Mail.app"));
        for (const char* path : {"/Applications/Safari.app", "/System/Applications/Mail.app",
                                 "/System/Applications/Maps.app"})
            desktop.files.addApplication(path);
        desktop.files.addDirectory("/Users/ana/Downloads");
        desktop.files.addDirectory("/Users/ana/Documents");
        desktop.addPersistentFolder("Documents", "file:///Users/ana/Documents/");
        desktop.setDockTiles({
            {Kind::application, "Safari", "file:///Applications/Safari.app/"},
            {Kind::application, "Mail", "file:///System/Applications/Mail.app/"},
            {Kind::application, "Maps", "file:///System/Applications/Maps.app/"},
            {Kind::separator, "", {}},
            {Kind::folder, "Downloads", "file:///Users/ana/Downloads/"},
            {Kind::folder, "Documents", {}},
            {Kind::folder, "Recent Items", {}},
        });
        observer.onHoverChange = [this](const std::optional<DockItem>& item) {
            reports.push_back(item ? item->id() : "none");
        };
    }

    // Moves the pointer onto a point of a tile, a little later than the last move.
    void hoverTile(std::size_t index, Point offset = {5, 5}) {
        const Rect frame = desktop.dockTileFrame(index);
        moveAX({frame.minX() + offset.x, frame.minY() + offset.y});
    }
    void moveAX(Point ax, bool overOwnWindow = false) {
        desktop.scheduler.advance(16ms);
        desktop.movePointerAX(ax, overOwnWindow);
    }
    std::string appId(ProcessId pid) { return "app:" + std::to_string(pid); }
    std::size_t count(const std::string& line) { return desktop.logger.count(line); }

    SimDesktop desktop;
    DockObserver observer{desktop.ports()};
    Reports reports;
    ProcessId safari = 0;
    ProcessId mail = 0;
};

TEST_F(DockObserverTest, StartCachesTilesAndReportsOncePerChangeNotPerEvent) {
    observer.start();
    EXPECT_EQ(observer.cachedTiles().size(), 7u);
    EXPECT_EQ(observer.dockPID(), *desktop.dockPid());
    EXPECT_TRUE(reports.empty());

    for (int i = 0; i < 20; ++i)
        hoverTile(0, {5.0 + i, 5});
    EXPECT_EQ(reports, Reports{appId(safari)});
    // Into the gap between two tiles, then back; events to our own windows count too.
    const Rect first = desktop.dockTileFrame(0);
    moveAX({first.maxX() + 1, first.minY() + 5});
    moveAX({first.maxX() + 2, first.minY() + 5});
    moveAX(first.center(), /*overOwnWindow=*/true);
    EXPECT_EQ(reports, (Reports{appId(safari), "none", appId(safari)}));

    // An application that is not running, the separator and a stack whose folder cannot be
    // resolved have no target; folders resolve through their URL or the label map.
    for (const std::size_t tile : {2, 3, 6, 4, 5})
        hoverTile(tile);
    EXPECT_EQ(reports, (Reports{appId(safari), "none", appId(safari), "none",
                                "folder:/Users/ana/Downloads", "folder:/Users/ana/Documents"}));
    EXPECT_EQ(observer.currentHover()->kind(), DockItem::Kind::folder);
    EXPECT_EQ(observer.currentHover()->title, "Documents");
    EXPECT_EQ(observer.currentHover()->frame, desktop.dockTileFrame(5));
    EXPECT_EQ(count("Hover → Safari"), 2u);
    EXPECT_EQ(count("Hover → none"), 2u);
    EXPECT_GE(count("No folder path for stack tile \"Recent Items\""), 1u);  // at each rebuild
}

TEST_F(DockObserverTest, HitTestingIncludesMinimumEdgesOnlyAndSkipsNonFinitePoints) {
    observer.start();
    const Rect frame = desktop.dockTileFrame(0);
    moveAX({frame.maxX(), frame.minY() + 5});
    moveAX({frame.minX() + 5, frame.maxY()});
    EXPECT_TRUE(reports.empty());
    moveAX({frame.minX(), frame.minY()});
    EXPECT_EQ(reports, Reports{appId(safari)});
    moveAX({frame.maxX() - 0.001, frame.maxY() - 0.001});
    EXPECT_EQ(reports.size(), 1u);
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({std::numeric_limits<double>::quiet_NaN(), 10});
    EXPECT_EQ(reports.back(), "none");
}

TEST_F(DockObserverTest, ApplicationsResolveByPathThenNameThenBundleFileNameBundlesNeverAsFolders) {
    const auto notes = desktop.launch(app("Notes", "/Applications/Notes.app"));
    desktop.launch(app("Notes", "/Applications/Other Notes.app"));
    const auto renamed = desktop.launch(app("Scribble", "/Applications/Pad.app"));
    desktop.launch(app("Helper", "/Applications/Helper.app", RunningApplication::kPolicyAccessory));
    desktop.launch(app("Daemon", "/Applications/Daemon.app", 7));
    desktop.launch(app("Twin", "/Applications/Twin.app"));
    desktop.files.addPackage("/Users/ana/Report.rtfd");
    const auto laterTwin = desktop.launch(app("Twin 2", "/Applications/Twin.app"));
    desktop.setDockTiles({
        // The title names Mail, but the URL is Safari's bundle: the path wins.
        {Kind::application, "Mail", "file:///Applications/./Safari.app/"},
        // By name and by bundle file name, the first application to claim it wins.
        {Kind::application, "Notes", {}},
        {Kind::application, "Pad", {}},
        {Kind::application, "Helper", "file:///Applications/Helper.app/"},
        {Kind::application, "Daemon", {}},
        // Bundles and missing folders are never folders.
        {Kind::folder, "Maps", "file:///System/Applications/Maps.app/"},
        {Kind::folder, "Report", "file:///Users/ana/Report.rtfd/"},
        {Kind::folder, "Gone", "file:///Users/ana/Gone/"},
        // By path, the application launched last wins.
        {Kind::application, "Twin", "file:///Applications/Twin.app/"},
    });
    observer.start();
    for (std::size_t i = 0; i < 9; ++i)
        hoverTile(i);
    EXPECT_EQ(reports,
              (Reports{appId(safari), appId(notes), appId(renamed), "none", appId(laterTwin)}));
}

TEST_F(DockObserverTest, TilesWithoutTitlePositionOrSizeAreLeftOut) {
    observer.start();
    desktop.dockTile(0)->set("AXTitle", AXValue{12.0});
    desktop.dockTile(1)->remove("AXPosition");
    desktop.dockTile(2)->setResult("AXSize", AXResult::failed(AXError::cannotComplete));
    desktop.dockTile(4)->set("AXURL", AXValue{std::string("file:///Users/ana/Downloads/")});
    observer.refreshTiles(true);
    ASSERT_EQ(observer.cachedTiles().size(), 4u);
    EXPECT_EQ(observer.cachedTiles()[0].title, "");
    // A URL of the wrong type is absent: Downloads is not in the label map either.
    EXPECT_FALSE(observer.cachedTiles()[1].folderURL);
    hoverTile(0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(DockObserverTest, TheCacheIsRebuiltAtMostEveryIntervalAndOnlyOnMoves) {
    observer.start();
    const auto reads = [&] { return desktop.accessibility.readCount(); };
    const auto moveAfter = [&](Duration wait) {
        desktop.scheduler.advance(wait);
        desktop.movePointerAX(desktop.dockTileFrame(1).center());
    };
    const auto initialReads = reads();
    // Mail quits: until the cache is rebuilt, its tile still resolves from the cached copy.
    desktop.terminate(mail);
    moveAfter(300ms);
    EXPECT_EQ(reads(), initialReads);
    EXPECT_EQ(reports, Reports{appId(mail)});

    // While hovered the interval is a full second.
    moveAfter(700ms);
    EXPECT_EQ(reads(), initialReads);
    moveAfter(301ms);
    EXPECT_GT(reads(), initialReads);
    EXPECT_EQ(reports, (Reports{appId(mail), "none"}));

    // Without a hovered item, 0.3 s: exactly 300 ms is not enough, just past it is.
    const auto before = reads();
    moveAfter(300ms);
    EXPECT_EQ(reads(), before);
    moveAfter(1ms);
    EXPECT_GT(reads(), before);

    // Time passing with no pointer event reads nothing; a frame change alone is not reported.
    const auto idle = reads();
    desktop.scheduler.advance(10s);
    EXPECT_EQ(reads(), idle);
    hoverTile(0);
    const Rect oldFrame = observer.currentHover()->frame;
    desktop.setDockTileSize(80);
    desktop.scheduler.advance(2s);
    hoverTile(0);
    EXPECT_EQ(reports, (Reports{appId(mail), "none", appId(safari)}));
    EXPECT_EQ(observer.currentHover()->frame, oldFrame);
}

TEST_F(DockObserverTest, WithoutItsDockTheObserverLogsKeepsItsCacheAndFindsTheNextDock) {
    desktop.quitDock();
    observer.start();
    EXPECT_EQ(count("Could not find the Dock process"), 2u);
    EXPECT_EQ(count("Dock AXList not found"), 1u);
    EXPECT_EQ(count("DockObserver started with 0 tiles"), 1u);
    desktop.launchDock();
    desktop.scheduler.advance(1s);
    hoverTile(0);
    EXPECT_EQ(reports, Reports{appId(safari)});

    // Gone again: the old cache still answers, and a failed attempt is rate-limited too.
    desktop.quitDock();
    desktop.scheduler.advance(1s);
    hoverTile(1);
    hoverTile(0);
    EXPECT_EQ(count("Could not find the Dock process"), 3u);
    EXPECT_EQ(count("Dock AXList not found"), 2u);
    EXPECT_EQ(reports, (Reports{appId(safari), appId(mail), appId(safari)}));

    // A Dock started again is found under its new process id.
    desktop.launchDock();
    desktop.scheduler.advance(1s);
    hoverTile(1);
    EXPECT_EQ(observer.dockPID(), *desktop.dockPid());
    EXPECT_EQ(observer.cachedTiles().size(), 7u);
    EXPECT_EQ(count("Dock AXList not found"), 2u);
}

TEST_F(DockObserverTest, ADockWithoutAReadableListKeepsTheCache) {
    observer.start();
    desktop.dockList()->set("AXRole", AXValue{std::string("AXGroup")});
    desktop.scheduler.advance(1s);
    hoverTile(0);
    desktop.dockList()->set("AXRole", AXValue{std::string("AXList")});
    desktop.dockRoot()->failAll(AXError::cannotComplete);
    desktop.scheduler.advance(2s);
    hoverTile(0);
    EXPECT_EQ(count("Dock AXList not found"), 2u);
    EXPECT_EQ(observer.cachedTiles().size(), 7u);

    // Children whose role cannot be read are skipped; the list after them is found.
    desktop.dockRoot()->failAll(std::nullopt);
    desktop.dockRoot()->setChildren({desktop.accessibility.newNode(), desktop.dockList()});
    desktop.scheduler.advance(2s);
    hoverTile(1);
    EXPECT_EQ(reports, (Reports{appId(safari), appId(mail)}));
    EXPECT_EQ(count("Dock AXList not found"), 2u);
}

TEST_F(DockObserverTest, ThePrimaryScreenHeightFlipsThePointer) {
    // A taller second screen must not change the conversion: only the first one counts.
    desktop.setScreens({Rect(0, 0, 1728, 1117), Rect(1728, 0, 2560, 1440)});
    observer.start();
    hoverTile(0);
    EXPECT_EQ(reports.size(), 1u);

    // Without a screen list the main screen is used; without either, height 0.
    desktop.screens.setScreens({});
    desktop.screens.setMainScreen(ScreenInfo{Rect(0, 0, 1728, 1117), Rect(0, 0, 1728, 1117)});
    const Point tile = desktop.dockTileFrame(1).center();
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({tile.x, 1117 - tile.y});
    EXPECT_EQ(reports.back(), appId(mail));
    desktop.screens.setMainScreen(std::nullopt);
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({tile.x, -tile.y});
    EXPECT_EQ(reports.back(), appId(mail));
}

TEST_F(DockObserverTest, MonitorsGoAwayWithTheObserver) {
    {
        DockObserver scoped(desktop.ports());
        scoped.start();
        EXPECT_EQ(desktop.pointer.monitorCount(), 2u);
    }
    EXPECT_EQ(desktop.pointer.monitorCount(), 0u);
    hoverTile(0);  // must not reach the destroyed observer
}

}  // namespace
}  // namespace vantorel

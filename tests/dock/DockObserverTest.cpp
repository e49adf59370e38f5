#include "dock/DockObserver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimDesktop.h"

namespace vantorel {
namespace {

using namespace std::chrono_literals;
using Kind = SimDockTileSpec::Kind;

SimAppSpec app(const std::string& name, const std::string& bundleId, const std::string& path,
               std::int64_t policy = RunningApplication::kPolicyRegular) {
    return SimAppSpec{name, bundleId, path, policy, nullptr};
}

SimDockTileSpec tile(Kind kind, const std::string& title, std::optional<std::string> url = {}) {
    return SimDockTileSpec{kind, title, std::move(url)};
}

class DockObserverTest : public testing::Test {
protected:
    DockObserverTest() {
        desktop.launchDock();
        safari = desktop.launch(app("Safari", "com.apple.Safari", "/Applications/Safari.app"));
        mail = desktop.launch(app("Mail", "com.apple.mail", "/System/Applications/Mail.app"));
        desktop.files.addApplication("/Applications/Safari.app");
        desktop.files.addApplication("/System/Applications/Mail.app");
        desktop.files.addApplication("/System/Applications/Maps.app");
        desktop.files.addDirectory("/Users/ana/Downloads");
        desktop.files.addDirectory("/Users/ana/Documents");
        desktop.addPersistentFolder("Documents", "file:///Users/ana/Documents/");
        desktop.setDockTiles({
            tile(Kind::application, "Safari", "file:///Applications/Safari.app/"),
            tile(Kind::application, "Mail", "file:///System/Applications/Mail.app/"),
            tile(Kind::application, "Maps", "file:///System/Applications/Maps.app/"),
            tile(Kind::separator, ""),
            tile(Kind::folder, "Downloads", "file:///Users/ana/Downloads/"),
            tile(Kind::folder, "Documents"),
            tile(Kind::folder, "Recent Items"),
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
    void moveAX(Point ax) {
        desktop.scheduler.advance(16ms);
        desktop.movePointerAX(ax);
    }
    std::string appId(ProcessId pid) { return "app:" + std::to_string(pid); }

    SimDesktop desktop;
    DockObserver observer{desktop.ports()};
    std::vector<std::string> reports;
    ProcessId safari = 0;
    ProcessId mail = 0;
};

TEST_F(DockObserverTest, StartCachesTilesAndLogsTheirNumber) {
    observer.start();
    EXPECT_EQ(observer.cachedTiles().size(), 7u);
    EXPECT_EQ(observer.dockPID(), *desktop.dockPid());
    EXPECT_EQ(desktop.logger.count("DockObserver started with 7 tiles"), 1u);
    EXPECT_EQ(desktop.pointer.monitorCount(), 2u);
    EXPECT_TRUE(reports.empty());
}

TEST_F(DockObserverTest, ReportsOncePerChangeNotPerEvent) {
    observer.start();
    for (int i = 0; i < 20; ++i) hoverTile(0, {5.0 + i, 5});
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));

    // Into the gap between two tiles, then back.
    const Rect first = desktop.dockTileFrame(0);
    moveAX({first.maxX() + 1, first.minY() + 5});
    moveAX({first.maxX() + 2, first.minY() + 5});
    hoverTile(0);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari), "none", appId(safari)}));
    EXPECT_EQ(desktop.logger.count("Hover → Safari"), 2u);
    EXPECT_EQ(desktop.logger.count("Hover → none"), 1u);
}

TEST_F(DockObserverTest, TilesWithoutATargetYieldNone) {
    observer.start();
    hoverTile(2);  // an application that is not running
    hoverTile(3);  // the separator
    hoverTile(6);  // a stack whose folder cannot be resolved
    EXPECT_TRUE(reports.empty());
    hoverTile(1);
    hoverTile(2);
    hoverTile(3);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(mail), "none"}));
    EXPECT_EQ(desktop.logger.count("No folder path for stack tile \"Recent Items\""), 1u);
}

TEST_F(DockObserverTest, HitTestingIncludesMinimumEdgesAndExcludesMaximumEdges) {
    observer.start();
    const Rect frame = desktop.dockTileFrame(0);
    moveAX({frame.maxX(), frame.minY() + 5});
    moveAX({frame.minX() + 5, frame.maxY()});
    EXPECT_TRUE(reports.empty());
    moveAX({frame.minX(), frame.minY()});
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));
    moveAX({frame.maxX() - 0.001, frame.maxY() - 0.001});
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(DockObserverTest, FoldersResolveThroughTheirURLOrTheLabelMap) {
    observer.start();
    hoverTile(4);
    hoverTile(5);
    EXPECT_EQ(reports, (std::vector<std::string>{"folder:/Users/ana/Downloads",
                                                 "folder:/Users/ana/Documents"}));
    ASSERT_TRUE(observer.currentHover());
    EXPECT_EQ(observer.currentHover()->kind(), DockItem::Kind::folder);
    EXPECT_EQ(observer.currentHover()->title, "Documents");
    EXPECT_EQ(observer.currentHover()->frame, desktop.dockTileFrame(5));
}

TEST_F(DockObserverTest, BundleURLsNeverCountAsFolders) {
    desktop.files.addPackage("/Users/ana/Report.rtfd");
    desktop.setDockTiles({
        tile(Kind::folder, "Maps", "file:///System/Applications/Maps.app/"),
        tile(Kind::folder, "Report", "file:///Users/ana/Report.rtfd/"),
        tile(Kind::folder, "Gone", "file:///Users/ana/Gone/"),
    });
    observer.start();
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(observer.cachedTiles()[i].folderURL);
    hoverTile(0);
    hoverTile(1);
    hoverTile(2);
    EXPECT_TRUE(reports.empty());
}

TEST_F(DockObserverTest, ApplicationsResolveByBundlePathBeforeTitle) {
    // The tile's title names Mail, but its URL is Safari's bundle: the path wins.
    desktop.setDockTiles({tile(Kind::application, "Mail", "file:///Applications/./Safari.app/")});
    observer.start();
    hoverTile(0);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));
}

TEST_F(DockObserverTest, TitlesResolveByNameThenBundleFileNameAndTheFirstClaimWins) {
    const auto first = desktop.launch(app("Notes", "com.example.notes", "/Applications/Notes.app"));
    desktop.launch(app("Notes", "com.example.notes2", "/Applications/Other Notes.app"));
    const auto renamed = desktop.launch(app("Scribble", "com.example.s", "/Applications/Pad.app"));
    desktop.setDockTiles({tile(Kind::application, "Notes"), tile(Kind::application, "Pad")});
    observer.start();
    hoverTile(0);
    hoverTile(1);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(first), appId(renamed)}));
}

TEST_F(DockObserverTest, OnlyRegularApplicationsResolve) {
    desktop.launch(app("Helper", "com.example.helper", "/Applications/Helper.app",
                       RunningApplication::kPolicyAccessory));
    desktop.launch(app("Daemon", "com.example.daemon", "/Applications/Daemon.app", 7));
    desktop.setDockTiles({tile(Kind::application, "Helper", "file:///Applications/Helper.app/"),
                          tile(Kind::application, "Daemon")});
    observer.start();
    hoverTile(0);
    hoverTile(1);
    EXPECT_TRUE(reports.empty());
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
    const auto initialReads = desktop.accessibility.readCount();
    // Mail quits: until the cache is rebuilt, its tile still resolves from the cached copy.
    desktop.terminate(mail);
    desktop.scheduler.advance(300ms);
    desktop.movePointerAX(desktop.dockTileFrame(1).center());
    EXPECT_EQ(desktop.accessibility.readCount(), initialReads);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(mail)}));

    // While hovered the interval is a full second.
    desktop.scheduler.advance(700ms);
    desktop.movePointerAX(desktop.dockTileFrame(1).center());
    EXPECT_EQ(desktop.accessibility.readCount(), initialReads);
    desktop.scheduler.advance(301ms);
    desktop.movePointerAX(desktop.dockTileFrame(1).center());
    EXPECT_GT(desktop.accessibility.readCount(), initialReads);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(mail), "none"}));

    // Without a hovered item, 0.3 s: exactly 300 ms is not enough, just past it is.
    const auto reads = desktop.accessibility.readCount();
    desktop.scheduler.advance(300ms);
    desktop.movePointerAX(desktop.dockTileFrame(1).center());
    EXPECT_EQ(desktop.accessibility.readCount(), reads);
    desktop.scheduler.advance(1ms);
    desktop.movePointerAX(desktop.dockTileFrame(1).center());
    EXPECT_GT(desktop.accessibility.readCount(), reads);

    // Time passing with no pointer event reads nothing.
    const auto idle = desktop.accessibility.readCount();
    desktop.scheduler.advance(10s);
    EXPECT_EQ(desktop.accessibility.readCount(), idle);
}

TEST_F(DockObserverTest, AFrameChangeAloneIsNotReported) {
    observer.start();
    hoverTile(0);
    const Rect oldFrame = observer.currentHover()->frame;
    desktop.setDockTileSize(80);
    desktop.scheduler.advance(2s);
    hoverTile(0);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(observer.currentHover()->frame, oldFrame);
}

TEST_F(DockObserverTest, ARestartedDockIsFoundAgainUnderItsNewProcessId) {
    observer.start();
    const ProcessId before = observer.dockPID();
    desktop.restartDock();
    ASSERT_NE(*desktop.dockPid(), before);
    desktop.scheduler.advance(1s);
    hoverTile(1);
    EXPECT_EQ(observer.dockPID(), *desktop.dockPid());
    EXPECT_EQ(reports, (std::vector<std::string>{appId(mail)}));
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 0u);
}

TEST_F(DockObserverTest, WhileTheDockIsGoneTheOldCacheStillAnswers) {
    observer.start();
    desktop.quitDock();
    desktop.scheduler.advance(1s);
    hoverTile(0);
    EXPECT_EQ(desktop.logger.count("Could not find the Dock process"), 1u);
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
    EXPECT_EQ(observer.cachedTiles().size(), 7u);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));

    // A failed attempt is rate-limited too.
    hoverTile(0);
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
}

TEST_F(DockObserverTest, StartingWithoutADockLogsAndRecoversLater) {
    desktop.quitDock();
    observer.start();
    EXPECT_EQ(desktop.logger.count("Could not find the Dock process"), 2u);
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
    EXPECT_EQ(desktop.logger.count("DockObserver started with 0 tiles"), 1u);
    desktop.launchDock();
    desktop.scheduler.advance(1s);
    hoverTile(0);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));
}

TEST_F(DockObserverTest, ADockWithoutAListKeepsTheCache) {
    observer.start();
    desktop.dockList()->set("AXRole", AXValue{std::string("AXGroup")});
    desktop.scheduler.advance(1s);
    hoverTile(0);
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
    EXPECT_EQ(observer.cachedTiles().size(), 7u);

    // Children whose role cannot be read are skipped; the list after them is found.
    desktop.dockList()->set("AXRole", AXValue{std::string("AXList")});
    desktop.dockRoot()->setChildren({desktop.accessibility.newNode(), desktop.dockList()});
    desktop.scheduler.advance(2s);
    hoverTile(1);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari), appId(mail)}));
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
}

TEST_F(DockObserverTest, FailingAccessibilityCallsLeaveTheCacheAlone) {
    observer.start();
    desktop.dockRoot()->failAll(AXError::cannotComplete);
    desktop.scheduler.advance(1s);
    hoverTile(0);
    EXPECT_EQ(observer.cachedTiles().size(), 7u);
    EXPECT_EQ(desktop.logger.count("Dock AXList not found"), 1u);
}

TEST_F(DockObserverTest, ASideDockIsHitTestedAsReported) {
    desktop.setDockOrientation("left");
    observer.start();
    const Rect frame = desktop.dockTileFrame(1);
    EXPECT_LT(frame.minX(), 10);
    hoverTile(1);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(mail)}));
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
    const Rect frame = desktop.dockTileFrame(1);
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({frame.center().x, 1117 - frame.center().y});
    EXPECT_EQ(reports.back(), appId(mail));
    desktop.screens.setMainScreen(std::nullopt);
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({frame.center().x, -frame.center().y});
    EXPECT_EQ(reports.back(), appId(mail));
}

TEST_F(DockObserverTest, EventsToOurOwnWindowsAreFollowedToo) {
    observer.start();
    desktop.scheduler.advance(16ms);
    desktop.movePointerAX(desktop.dockTileFrame(0).center(), /*overOwnWindow=*/true);
    EXPECT_EQ(reports, (std::vector<std::string>{appId(safari)}));
}

TEST_F(DockObserverTest, NonFinitePointerPositionsHitNothing) {
    observer.start();
    hoverTile(0);
    desktop.scheduler.advance(16ms);
    desktop.pointer.moveTo({std::numeric_limits<double>::quiet_NaN(), 10});
    EXPECT_EQ(reports.back(), "none");
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

TEST(DockItem, IdentityIsTheTargetAndEqualityAddsTheFrame) {
    RunningApplication a;
    a.processIdentifier = 42;
    const auto item = DockItem::app(a, "Safari", Rect(0, 0, 64, 64));
    EXPECT_EQ(item.id(), "app:42");
    EXPECT_EQ(item, DockItem::app(a, "Other title", Rect(0, 0, 64, 64)));
    EXPECT_FALSE(item == DockItem::app(a, "Safari", Rect(0, 0, 64, 65)));
    const auto folder = DockItem::folder(*Url::parse("file:///Users/ana/Downloads/"), "Downloads",
                                         Rect(0, 0, 64, 64));
    EXPECT_EQ(folder.id(), "folder:/Users/ana/Downloads");
    EXPECT_FALSE(folder.sameTarget(item));
}

}  // namespace
}  // namespace vantorel

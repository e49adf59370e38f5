#include "preview/PanelPlacement.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/SimScreens.h"

namespace vantorel {
namespace {

// The laptop screen of the worked example: 1728 × 1117 points, menu bar on top, Dock at the
// bottom leaving a visible frame of (0, 70, 1728, 1015).
const ScreenInfo kLaptop{{0, 0, 1728, 1117}, {0, 70, 1728, 1015}};

void expectOrigin(const std::optional<Point>& origin, double x, double y) {
    ASSERT_TRUE(origin.has_value());
    EXPECT_DOUBLE_EQ(origin->x, x);
    EXPECT_DOUBLE_EQ(origin->y, y);
}

TEST(PanelOrigin, BottomDockCentresAboveTheTileAndClampsIntoTheVisibleFrame) {
    SimScreens screens;
    screens.setScreens({kLaptop});
    const Rect tile(500, 1040, 64, 56);  // converted: (500, 21, 64, 56)

    expectOrigin(panelOrigin(DockEdge::bottom, tile, {300, 200}, screens), 382, 85);

    // Wider than the screen: raised to the left margin first, then pushed back by the right one,
    // so it overhangs on the left.
    expectOrigin(panelOrigin(DockEdge::bottom, tile, {1800, 200}, screens), -80, 85);

    // Near the left end: the left margin wins.
    expectOrigin(panelOrigin(DockEdge::bottom, {4, 1040, 64, 56}, {300, 200}, screens), 8, 85);
    // Near the right end: the right margin wins.
    expectOrigin(panelOrigin(DockEdge::bottom, {1660, 1040, 64, 56}, {300, 200}, screens),
                 1728 - 300 - 8, 85);

    // Taller than the visible frame: flush with the top margin, overhanging at the bottom.
    expectOrigin(panelOrigin(DockEdge::bottom, tile, {300, 1100}, screens), 382, 1085 - 1100 - 8);
}

TEST(PanelOrigin, SideDocksPlaceThePanelBesideTheTileCentredOnIt) {
    SimScreens screens;
    // Dock on the left, 60 points wide; menu bar 25 points on top.
    screens.setScreens({{{0, 0, 1728, 1117}, {60, 0, 1668, 1092}}});
    // Tile (2, 500, 58, 60) in accessibility coordinates is (2, 557, 58, 60) converted.
    const Rect tile(2, 500, 58, 60);
    expectOrigin(panelOrigin(DockEdge::left, tile, {300, 200}, screens), 68, 587 - 100);

    // Near the top of the screen the vertical centring gives way to the top margin.
    expectOrigin(panelOrigin(DockEdge::left, {2, 10, 58, 60}, {300, 200}, screens), 68,
                 1092 - 200 - 8);
    // Near the bottom, to the bottom margin.
    expectOrigin(panelOrigin(DockEdge::left, {2, 1050, 58, 60}, {300, 200}, screens), 68, 8);

    // Dock on the right: the panel's right edge is 8 points left of the tile.
    screens.setScreens({{{0, 0, 1728, 1117}, {0, 0, 1668, 1092}}});
    const auto right = panelOrigin(DockEdge::right, {1668, 500, 58, 60}, {300, 200}, screens);
    expectOrigin(right, 1360, 487);
    EXPECT_DOUBLE_EQ(right->x + 300, 1668 - 8);
}

TEST(PanelOrigin, UsesTheScreenTheTileIsOn) {
    SimScreens screens;
    // A second display to the right of the laptop, its Dock area excluded from the bottom.
    const ScreenInfo external{{1728, 0, 1920, 1080}, {1728, 70, 1920, 985}};
    screens.setScreens({kLaptop, external});

    expectOrigin(panelOrigin(DockEdge::bottom, {2500, 1040, 64, 56}, {300, 200}, screens), 2382,
                 85);
    // Clamped against the external display's right margin, not the laptop's.
    expectOrigin(panelOrigin(DockEdge::bottom, {3570, 1040, 64, 56}, {1000, 200}, screens),
                 1728 + 1920 - 1000 - 8, 85);

    // A display above the laptop has negative accessibility y: the conversion must use the
    // primary screen's height, not the tile's own screen.
    const ScreenInfo above{{0, 1117, 1920, 1080}, {0, 1187, 1920, 985}};
    screens.setScreens({kLaptop, above});
    // Accessibility y −80…−24 is window-system y 1141…1197.
    expectOrigin(panelOrigin(DockEdge::bottom, {500, -80, 64, 56}, {300, 200}, screens), 382, 1205);
}

TEST(PanelOrigin, FirstIntersectingScreenWinsAndStrayTilesFallBackToTheMainScreen) {
    SimScreens screens;
    // Mirrored displays cover the same area; the first one listed decides.
    const ScreenInfo mirror{{0, 0, 1728, 1117}, {0, 200, 1728, 800}};
    screens.setScreens({kLaptop, mirror});
    expectOrigin(panelOrigin(DockEdge::bottom, {500, 1040, 64, 56}, {300, 200}, screens), 382, 85);

    // A tile on no screen at all (displays being reconfigured): the main screen's visible frame.
    const ScreenInfo external{{1728, 0, 1920, 1080}, {1728, 70, 1920, 985}};
    screens.setScreens({kLaptop, external});
    screens.setMainScreen(external);
    expectOrigin(panelOrigin(DockEdge::bottom, {9000, 1040, 64, 56}, {300, 200}, screens),
                 1728 + 1920 - 300 - 8, 85);

    // Touching a screen's edge is not intersecting it (maximum edges are exclusive).
    screens.setScreens({kLaptop});
    screens.setMainScreen(external);
    expectOrigin(panelOrigin(DockEdge::bottom, {1728, 1040, 64, 56}, {300, 200}, screens), 1728 + 8,
                 85);
}

TEST(PanelOrigin, WithoutAScreenListUsesTheMainScreenAndWithoutAnyScreenGivesNothing) {
    SimScreens screens;
    screens.setScreens({});
    screens.setMainScreen(kLaptop);
    expectOrigin(panelOrigin(DockEdge::bottom, {500, 1040, 64, 56}, {300, 200}, screens), 382, 85);

    screens.setMainScreen(std::nullopt);
    EXPECT_FALSE(panelOrigin(DockEdge::bottom, {500, 1040, 64, 56}, {300, 200}, screens));
    EXPECT_FALSE(panelOrigin(DockEdge::left, {0, 0, 0, 0}, {0, 0}, screens));
}

TEST(PanelOrigin, NonFiniteGeometryGivesNothing) {
    SimScreens screens;
    screens.setScreens({kLaptop});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    EXPECT_FALSE(panelOrigin(DockEdge::bottom, {nan, 1040, 64, 56}, {300, 200}, screens));
    EXPECT_FALSE(panelOrigin(DockEdge::left, {2, 500, 58, nan}, {300, 200}, screens));
    EXPECT_FALSE(panelOrigin(DockEdge::bottom, {500, 1040, 64, 56}, {nan, 200}, screens));
    EXPECT_FALSE(panelOrigin(DockEdge::right, {500, 1040, 64, 56}, {300, inf}, screens));

    // A screen reporting a broken visible frame must not let the panel escape the clamp.
    screens.setScreens({{{0, 0, 1728, 1117}, {0, 70, nan, 1015}}});
    EXPECT_FALSE(panelOrigin(DockEdge::bottom, {500, 1040, 64, 56}, {300, 200}, screens));
}

}  // namespace
}  // namespace vantorel

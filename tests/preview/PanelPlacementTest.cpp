#include "preview/PanelPlacement.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/sim/SimScreens.h"

namespace vantorel {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// The laptop of the worked example: menu bar on top, Dock at the bottom.
const ScreenInfo kLaptop{{0, 0, 1728, 1117}, {0, 70, 1728, 1015}};
// The same screen with the Dock on the left and on the right.
const ScreenInfo kLeftDock{{0, 0, 1728, 1117}, {60, 0, 1668, 1092}};
const ScreenInfo kRightDock{{0, 0, 1728, 1117}, {0, 0, 1668, 1092}};
// A display to the right of the laptop, one above it (negative accessibility y), a mirror.
const ScreenInfo kRight{{1728, 0, 1920, 1080}, {1728, 70, 1920, 985}};
const ScreenInfo kAbove{{0, 1117, 1920, 1080}, {0, 1187, 1920, 985}};
const ScreenInfo kMirror{{0, 0, 1728, 1117}, {0, 200, 1728, 800}};
const ScreenInfo kBroken{{0, 0, 1728, 1117}, {0, 70, kNan, 1015}};

TEST(PanelOrigin, BesideTheTileInsideTheVisibleFrameOfItsScreenOrNothing) {
    struct Case {
        const char* name;
        std::vector<ScreenInfo> screens;
        DockEdge edge;
        Rect tile;  // accessibility coordinates
        Size size;
        std::optional<Point> origin;
        std::optional<ScreenInfo> main = {};  // else the first screen
    };
    const auto B = DockEdge::bottom, L = DockEdge::left, R = DockEdge::right;
    const Rect tile(500, 1040, 64, 56);  // converted: (500, 21, 64, 56)
    const Rect far(9000, 1040, 64, 56);
    const Size panel{300, 200};
    const std::optional<Point> none;
    const Case cases[] = {
        {"centred above", {kLaptop}, B, tile, panel, Point{382, 85}},
        // Raised to the left margin first, then pushed back by the right one.
        {"wider than the screen", {kLaptop}, B, tile, {1800, 200}, Point{-80, 85}},
        {"left margin", {kLaptop}, B, {4, 1040, 64, 56}, panel, Point{8, 85}},
        {"right margin", {kLaptop}, B, {1660, 1040, 64, 56}, panel, Point{1420, 85}},
        {"taller than the frame", {kLaptop}, B, tile, {300, 1100}, Point{382, -23}},
        {"left Dock", {kLeftDock}, L, {2, 500, 58, 60}, panel, Point{68, 487}},
        {"left Dock, top", {kLeftDock}, L, {2, 10, 58, 60}, panel, Point{68, 884}},
        {"left Dock, bottom", {kLeftDock}, L, {2, 1050, 58, 60}, panel, Point{68, 8}},
        {"right Dock", {kRightDock}, R, {1668, 500, 58, 60}, panel, Point{1360, 487}},
        {"second display", {kLaptop, kRight}, B, {2500, 1040, 64, 56}, panel, Point{2382, 85}},
        {"its margin", {kLaptop, kRight}, B, {3570, 1040, 64, 56}, {1000, 200}, Point{2640, 85}},
        // Converted with the primary screen's height, not the tile's own screen's.
        {"display above", {kLaptop, kAbove}, B, {500, -80, 64, 56}, panel, Point{382, 1205}},
        {"mirrors: the first", {kLaptop, kMirror}, B, tile, panel, Point{382, 85}},
        {"on none: the main", {kLaptop, kRight}, B, far, panel, Point{3340, 85}, kRight},
        // Maximum edges are exclusive.
        {"touching is not on", {kLaptop}, B, {1728, 1040, 64, 56}, panel, Point{1736, 85}, kRight},
        {"no list: the main", {}, B, tile, panel, Point{382, 85}, kLaptop},
        {"no screen at all", {}, B, tile, panel, none},
        {"tile x NaN", {kLaptop}, B, {kNan, 1040, 64, 56}, panel, none},
        {"tile height NaN", {kLaptop}, L, {2, 500, 58, kNan}, panel, none},
        {"width NaN", {kLaptop}, B, tile, {kNan, 200}, none},
        {"height infinite", {kLaptop}, R, tile, {300, kInf}, none},
        // std::max and std::min would let a NaN bound through.
        {"broken visible frame", {kBroken}, B, tile, panel, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimScreens screens;
        screens.setScreens(c.screens);
        if (c.main) screens.setMainScreen(c.main);
        const std::optional<Point> origin = panelOrigin(c.edge, c.tile, c.size, screens);
        ASSERT_EQ(origin.has_value(), c.origin.has_value());
        if (origin) {
            EXPECT_EQ(origin->x, c.origin->x);
            EXPECT_EQ(origin->y, c.origin->y);
        }
    }
}

}  // namespace
}  // namespace vantorel

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

#include "app/playground/SimDesktopView.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace vantorel {
namespace {

// A small screen, one application in pure red with one pure green window, a minimised blue one,
// and a folder.
constexpr const char* kWorld = R"({
  "screens": [ { "frame": [0, 0, 800, 500] } ],
  "applications": [
    { "name": "Redder", "bundleId": "com.example.redder", "bundlePath": "/Applications/Redder.app",
      "color": "#ff0000",
      "windows": [
        { "title": "Green", "frame": [100, 80, 300, 200], "color": "#00ff00" },
        { "title": "Blue", "frame": [450, 80, 300, 200], "color": "#0000ff", "minimized": true }
      ] }
  ],
  "dock": { "orientation": "bottom", "tileSize": 64,
            "tiles": [ { "app": "com.example.redder" }, { "separator": true },
                       { "folder": "Stuff", "path": "${ROOT}/Stuff" } ] }
})";

class SimDesktopViewTest : public testing::Test {
protected:
    SimDesktopViewTest() {
        std::string error;
        world = SimWorld::parse(kWorld, &error);
        EXPECT_TRUE(world) << error;
        world->build(desktop, "/tmp/vantorel-view-test");
        view = std::make_unique<SimDesktopView>(desktop, *world);
    }

    static bool near(QRgb pixel, QColor colour, int tolerance = 40) {
        return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
               std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
               std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
    }
    QRgb at(const QImage& image, Point ax) {
        return image.pixel(static_cast<int>(ax.x), static_cast<int>(ax.y));
    }

    SimDesktop desktop;
    std::optional<SimWorld> world;
    std::unique_ptr<SimDesktopView> view;
};

TEST_F(SimDesktopViewTest, TheViewIsTheScreenAndTheRealPointerMovesTheSimulatedOneWhenAsked) {
    EXPECT_EQ(view->size(), QSize(800, 500));
    // Window-system coordinates have y upward from the screen's bottom edge.
    EXPECT_EQ(view->fromSimulated({10, 20}), QPointF(10, 480));
    EXPECT_EQ(view->toSimulated(QPointF(10, 480)).y, 20);
    view->move(300, 200);
    // A 200 x 100 panel whose bottom-left corner is 20 points above the screen's bottom edge.
    EXPECT_EQ(view->panelPosition({10, 20}, QSize(200, 100)),
              view->mapToGlobal(QPoint(0, 0)) + QPoint(10, 380));

    // Over the view the moves reach the other applications; over a panel of Vantorel's own
    // (a child of it under the pointer), Vantorel, told once however far up it is passed.
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    QWidget card(&panel);
    int moves = 0;
    int ownMoves = 0;
    auto monitor = desktop.pointer.addGlobalMonitor(kEventMaskMouseMoved, [&] { ++moves; });
    auto own = desktop.pointer.addLocalMonitor(kEventMaskMouseMoved, [&] { ++ownMoves; });
    const auto moveMouse = [&](QWidget& over, QPointF viewPoint) {
        const QPointF global = view->mapToGlobal(viewPoint);
        QMouseEvent event(QEvent::MouseMove, over.mapFromGlobal(global), global, Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&over, &event);
    };
    for (const bool follows : {false, true}) {
        view->setPointerFollowsMouse(follows);
        moveMouse(*view, QPointF(120, 470));
        moveMouse(card, QPointF(130, 400));
        EXPECT_EQ(moves, follows ? 1 : 0);
        EXPECT_EQ(ownMoves, follows ? 1 : 0);
    }
    EXPECT_EQ(desktop.pointer.mouseLocation(), (Point{130, 100}));
    view->setPointerFollowsMouse(false);
}

TEST_F(SimDesktopViewTest, PicturesShowWindowsTheDockPanelsAndThePointerInTheirOrder) {
    QWidget panel(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    QWidget hidden(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    QPalette magenta;
    magenta.setColor(QPalette::Window, QColor(255, 0, 255));
    for (auto [widget, x] : {std::pair{&panel, 600}, {&hidden, 100}}) {
        widget->setAutoFillBackground(true);
        widget->setPalette(magenta);
        widget->setGeometry(QRect(view->mapToGlobal(QPoint(x, 300)), QSize(100, 60)));
    }

    panel.show();
    QImage picture = view->picture({&panel, &hidden, nullptr});
    ASSERT_EQ(picture.size(), QSize(800, 500));
    // The window's body, below its title bar; the minimised window is not on screen.
    EXPECT_TRUE(near(at(picture, {250, 200}), QColor(0, 255, 0)));
    EXPECT_FALSE(near(at(picture, {600, 200}), QColor(0, 0, 255), 80));
    // The application's tile in its colour, lit from above: reddish in its middle.
    const Point tile = desktop.dockTileFrame(0).center();
    EXPECT_GT(qRed(at(picture, {tile.x - 20, tile.y + 20})), 170);
    EXPECT_LT(qGreen(at(picture, {tile.x - 20, tile.y + 20})), 90);
    // The shown panel over everything; the hidden one nowhere.
    EXPECT_TRUE(near(at(picture, {650, 330}), QColor(255, 0, 255), 0));
    EXPECT_FALSE(near(at(picture, {150, 330}), QColor(255, 0, 255), 30));

    // The simulated pointer, drawn over the panel: its tip is black.
    desktop.pointer.moveTo(view->toSimulated(QPointF(612, 312)));
    view->setShowsPointer(true);
    picture = view->picture({&panel});
    EXPECT_TRUE(near(at(picture, {613, 318}), QColor(0, 0, 0), 20));

    // The Dock follows its edge: on the left, the tile is there and no longer at the bottom.
    desktop.setDockOrientation("left");
    const Point left = desktop.dockTileFrame(0).center();
    EXPECT_LT(left.x, 100);
    picture = view->picture({});
    EXPECT_GT(qRed(at(picture, {left.x - 20, left.y + 20})), 170);
    EXPECT_FALSE(near(at(picture, {tile.x - 20, tile.y + 20}), QColor(255, 0, 0), 60));
}

}  // namespace
}  // namespace vantorel

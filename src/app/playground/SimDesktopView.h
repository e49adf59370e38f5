#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Image.h"
#include "platform/WindowServer.h"

namespace vantorel {

class SimDesktop;
class SimWorld;
struct SimWindowSpec;

// The simulated desktop drawn as a real window: wallpaper, the menu bar, the applications'
// windows with their content, and the Dock along the edge its "orientation" names. The view is
// exactly as large as the simulated primary screen, whose top-left corner is the view's.
class SimDesktopView final : public QWidget {
public:
    // The desktop and the world it was built from must outlive the view.
    SimDesktopView(SimDesktop& desktop, const SimWorld& world, QWidget* parent = nullptr);
    ~SimDesktopView() override;

    QSize sizeHint() const override;

    // Where a panel goes on the real screen, given the bottom-left corner of its frame in the
    // simulated window-system coordinates (bottom-left origin, y upward) and its size.
    QPoint panelPosition(Point origin, QSize size) const;
    // A point of the view (accessibility coordinates) in the simulated window-system
    // coordinates, and back.
    Point toSimulated(QPointF viewPoint) const;
    QPointF fromSimulated(Point simulated) const;

    // The real pointer drives the simulated one: over the view, through its move events; over
    // `ownWindows` (Vantorel's panels) and elsewhere, by following the cursor.
    void setPointerFollowsMouse(bool follows);
    void setOwnWindows(std::function<std::vector<QWidget*>()> ownWindows);
    // Draws the simulated pointer too, for pictures taken without a real one.
    void setShowsPointer(bool shows);
    // Sits at the right end of the menu bar, like the menu-bar extras of the platform.
    void setMenuBarExtra(QWidget* extra);

    // Redraws when what the desktop shows has changed since the last look.
    void refreshIfChanged();
    // What the desktop shows under a rectangle of the real screen, without any panel; outside
    // the view, nothing (transparent).
    QImage beneath(const QRect& global);
    // The screen as drawn now, with `panels` (top-level windows) laid over it where they are.
    QImage picture(const std::vector<QWidget*>& panels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct WindowContent {
        std::string title;
        Size size;
        std::uint32_t color = 0;
        QImage image;
    };

    double screenHeight() const;
    std::string signature() const;
    void paintWallpaper(QPainter& p);
    void paintWindows(QPainter& p);
    void paintMenuBar(QPainter& p);
    void paintDock(QPainter& p);
    void paintPointer(QPainter& p);
    const QImage& contentFor(WindowNumber number, const SimWindowSpec& spec);
    void followCursor();
    void placeExtra();

    SimDesktop& desktop_;
    const SimWorld& world_;
    QPixmap wallpaper_;
    std::map<WindowNumber, WindowContent> contents_;
    std::string lastSignature_;
    QTimer refresh_;
    QTimer follow_;
    QPoint lastCursor_;
    bool showsPointer_ = false;
    bool takingPicture_ = false;
    QElapsedTimer paintClock_;
    bool contentPending_ = false;
    bool followsMouse_ = false;
    std::function<std::vector<QWidget*>()> ownWindows_;
    QPointer<QWidget> extra_;
};

}  // namespace vantorel

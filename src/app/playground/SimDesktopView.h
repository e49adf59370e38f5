#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/Geometry.h"

namespace vantorel {

class PointerFollower;
class SimDesktop;
class SimDesktopPainter;
class SimWorld;

// The simulated desktop as a real window that Vantorel's panels are placed over: exactly as
// large as the simulated primary screen, whose top-left corner is the view's. It repaints when
// what the desktop shows has changed, looked at only when the event loop has run something, and
// never on a clock.
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

    // The real pointer drives the simulated one, over the view and over every other window of
    // the application (Vantorel's own).
    void setPointerFollowsMouse(bool follows);
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
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    double screenHeight() const;
    void placeExtra();
    qreal menuBarEnd() const;

    SimDesktop& desktop_;
    std::unique_ptr<SimDesktopPainter> painter_;
    std::unique_ptr<PointerFollower> follower_;
    std::string lastSignature_;
    bool showsPointer_ = false;
    bool takingPicture_ = false;
    QPointer<QWidget> extra_;
};

}  // namespace vantorel

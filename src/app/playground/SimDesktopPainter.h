#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPalette>
#include <QPointF>

#include <string>
#include <vector>

#include "platform/WindowServer.h"

class QPainter;

namespace vantorel {

class SimDesktop;
class SimWorld;

// Draws the simulated desktop: wallpaper, the applications' windows with their content, the
// Dock along the edge its "orientation" names, the menu bar and the pointer.
//
// The wallpaper and the windows are composed once into one layer of the view's size and reused
// until the windows change; windows hidden behind another are not drawn. Composing is spread
// over frames when it takes long, a window at least per frame, and the windows still waiting
// are drawn plainly meanwhile.
class SimDesktopPainter {
public:
    // Both must outlive the painter.
    SimDesktopPainter(SimDesktop& desktop, const SimWorld& world);

    // What the desktop shows, as text: equal texts draw the same.
    std::string signature(bool withPointer) const;

    // Paints everything but the pointer into `size` at the painter's origin. With `budgeted`
    // the composing stops after its share of a frame; true when windows still wait for it.
    // `menuBarEnd`: where the menu bar's own items must stop; `glass`: the Dock's palette.
    bool paint(QPainter& p, QSize size, bool budgeted, qreal menuBarEnd, const QPalette& glass);
    void paintPointer(QPainter& p, QPointF tip) const;
    // Lets the layer go (it is composed again on the next paint).
    void release();

private:
    struct Shown;
    std::vector<Shown> shownWindows() const;
    void compose(QSize size, const std::vector<Shown>& shown, bool budgeted);
    void paintWallpaper(QPainter& p, QSize size);
    void paintMenuBar(QPainter& p, qreal width, qreal end) const;
    void paintDock(QPainter& p, const QPalette& glass) const;

    SimDesktop& desktop_;
    const SimWorld& world_;
    // The wallpaper at the size it is drawn (a quarter of the view's), scaled on composing.
    QImage wallpaper_;
    // The wallpaper and the windows, composed back to front up to `composed_`.
    QImage layer_;
    std::string layerSignature_;
    std::size_t composed_ = 0;
};

}  // namespace vantorel

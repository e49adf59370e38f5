#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

#include "platform/Geometry.h"

namespace vantorel {

// The simulated pointer playing the real one over real panel windows: it sends them the enter,
// leave and click events a pointer at a global position would. Used where no display moves a
// real pointer (the tour, the soak).
class PanelPointer {
public:
    // Sends the enter and leave events the pointer at `at` causes among the visible windows;
    // whether it is over one of them.
    bool route(Point at, const std::vector<QWidget*>& windows);
    // A press and release of the left button on the widget last entered, if any.
    void click(Point at);
    // A turn of the wheel, `rows` notches down, over the widget last entered.
    void scroll(Point at, int rows);

private:
    std::vector<QPointer<QWidget>> hovered_;
};

}  // namespace vantorel

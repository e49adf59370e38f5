#pragma once

#include <QRectF>

class QPainter;

namespace vantorel {

// The application's own icon (the one installed as app.vantorel.Vantorel.svg) drawn with
// QPainter, since no SVG renderer is linked: a blue-violet tile with two windows on it.
class ApplicationIcon {
public:
    static void paint(QPainter& painter, const QRectF& box);
};

}  // namespace vantorel

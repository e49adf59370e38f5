#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointF>

class QPainter;

namespace vantorel {

// What lies beneath a glass surface, blurred, where the program has those pixels itself (the
// simulated desktop): the glass then reads as glass without a compositor's help.
class GlassBackdrop {
public:
    // In points of the picture beneath: wide enough that no edge behind the glass stays sharp.
    static constexpr qreal kBlurRadius = 22;

    // `beneath` blurred (three box passes, close to a gaussian) with `radius` in points (its
    // pixels over its device pixel ratio); edges repeat outward. A null image stays null.
    static QImage blur(const QImage& beneath, qreal radius = kBlurRadius);
    // Fills `shape` with `blurred` placed with its top-left corner at `topLeft`.
    static void paint(QPainter& painter, const QPainterPath& shape, const QImage& blurred,
                      const QPointF& topLeft);

private:
    static void drawClipped(QPainter& painter, const QPainterPath& shape, const QImage& blurred,
                            const QPointF& topLeft);
};

}  // namespace vantorel

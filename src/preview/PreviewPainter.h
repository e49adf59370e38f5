#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QFont;
class QPainter;
class QPalette;

namespace vantorel {

class SymbolTable;

// Drawing shared by the preview views: thumbnail wells, images, placeholders and the progress
// indicator.
class PreviewPainter {
public:
    // The dark well behind a thumbnail: black at 0.18 with an inside outline of white at 0.08.
    static void paintWell(QPainter& painter, const QRectF& rect, qreal radius);
    // `image` declared at scale factor 2, fitted into `rect` keeping its proportions, clipped to
    // the rounded shape.
    static void paintImage(QPainter& painter, const QRectF& rect, qreal radius,
                           const QImage& image);
    // The application icon, or the "macwindow" symbol in the secondary colour without one.
    static void paintIconOrWindowSymbol(QPainter& painter, const QRectF& rect, const QImage& icon,
                                        qreal iconOpacity, const SymbolTable& symbols,
                                        const QPalette& palette);
    // The minimised card's placeholder: the icon with a minus badge above "Minimized".
    static void paintMinimizedPlaceholder(QPainter& painter, const QRectF& rect, const QImage& icon,
                                          const QFont& caption, const SymbolTable& symbols,
                                          const QPalette& palette);
    // A small spinning indicator; `phase` advances one spoke per tick.
    static void paintProgress(QPainter& painter, QPointF centre, qreal diameter, int phase,
                              const QColor& color);
    static constexpr int kProgressSpokes = 12;

    // `text` cut in the middle to fit `width`.
    static QString elidedMiddle(const QString& text, const QFont& font, qreal width);
};

}  // namespace vantorel

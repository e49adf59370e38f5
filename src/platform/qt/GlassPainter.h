#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPalette>
#include <QRectF>

#include <optional>

class QPainter;

namespace vantorel {

// How one surface is drawn.
struct GlassStyle {
    qreal cornerRadius = 26;
    // The opaque replacement for glass: reduce transparency, or a window that cannot be
    // translucent.
    bool opaque = false;
    // A wash over the glass, e.g. the accent colour for the active card.
    std::optional<QColor> tint;
    // The outline of the opaque surface, drawn inside the shape; the separator colour by default.
    std::optional<QColor> borderColor;
    qreal borderWidth = 1;
    // Soft shadow outside the shape; needs kShadowExtent of transparent margin around it.
    bool shadow = true;
    // What lies beneath is blurred (a blurred backdrop, or the compositor's blur): the fill can
    // be light enough to let its colour through.
    bool overBlur = false;
};

// The one painter of every glass surface: a translucent rounded fill with a hairline highlight
// and a soft shadow, or its opaque replacement.
class GlassPainter {
public:
    static constexpr qreal kShadowExtent = 8;

    static void paint(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                      const QPalette& palette);
    // A drawing of `rect` with corners of `radius` that depends on nothing else: drawn once
    // per size, radius and place within the pixel, and copied after, as glass is. It may be
    // given a fresh painter: it sets the hints it needs.
    using Drawing = void (*)(QPainter& painter, const QRectF& rect, qreal radius);
    static void paintCopied(QPainter& painter, const QRectF& rect, qreal radius, Drawing draw);

    // The rounded rectangle with continuous corners: the curve eases into the straight edges
    // instead of meeting them with a sudden change of curvature. Radii that do not fit get
    // plain circular corners (capsules).
    static QPainterPath shape(const QRectF& rect, qreal radius);

    static bool isDark(const QPalette& palette);
    static QColor separatorColor(const QPalette& palette);
    static QColor accentColor(const QPalette& palette);
};

}  // namespace vantorel

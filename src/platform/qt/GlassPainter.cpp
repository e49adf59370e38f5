#include "platform/qt/GlassPainter.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace vantorel {
namespace {

// Continuous corners start 1.528 radii from the corner; the control distance keeps the apex
// where a circular arc of the same radius would put it.
constexpr qreal kCornerReach = 1.528;
constexpr qreal kCornerControl = 0.29;

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return color;
}

void paintShadow(QPainter& painter, const QRectF& rect, qreal radius, bool dark) {
    constexpr int kLayers = 8;
    constexpr qreal kOffsetY = 2;
    const qreal layerAlpha = dark ? 0.045 : 0.022;
    const QPainterPath surface = GlassPainter::shape(rect, radius);

    // Only outside the surface: under translucent glass the shadow would grey the whole fill.
    QPainterPath outside;
    outside.addRect(rect.adjusted(-GlassPainter::kShadowExtent, -GlassPainter::kShadowExtent,
                                  GlassPainter::kShadowExtent, GlassPainter::kShadowExtent));
    outside = outside.subtracted(surface);

    painter.save();
    painter.setClipPath(outside, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    const QColor layer = withAlpha(Qt::black, layerAlpha);
    // Stacked layers, widest first: the alpha adds up towards the surface like a blur would.
    for (int i = kLayers; i >= 1; --i) {
        const qreal grow = GlassPainter::kShadowExtent * i / kLayers - kOffsetY * 0.5;
        const QRectF spread = rect.adjusted(-grow, -grow + kOffsetY, grow, grow + kOffsetY);
        painter.fillPath(GlassPainter::shape(spread, radius + grow), layer);
    }
    painter.restore();
}

void paintGlass(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                const QPalette& palette) {
    const bool dark = GlassPainter::isDark(palette);
    const qreal radius = style.cornerRadius;
    const QPainterPath surface = GlassPainter::shape(rect, radius);

    // Body: a frosted fill, a little denser at the bottom where the content sits. Unless what
    // lies beneath is blurred, the fill has to be dense enough that text behind it cannot compete
    // with the panel's own.
    QLinearGradient body(rect.topLeft(), rect.bottomLeft());
    const int lift = style.overBlur ? 92 : 0;
    if (dark) {
        body.setColorAt(0, QColor(58, 58, 64, 222 - lift));
        body.setColorAt(1, QColor(36, 36, 40, 232 - lift));
    } else {
        body.setColorAt(0, QColor(252, 252, 254, 216 - lift));
        body.setColorAt(1, QColor(238, 238, 242, 228 - lift));
    }
    painter.fillPath(surface, body);
    if (style.tint) painter.fillPath(surface, *style.tint);

    // Sheen: light catching the upper part of the glass.
    QLinearGradient sheen(rect.topLeft(), QPointF(rect.left(), rect.top() + rect.height() * 0.5));
    sheen.setColorAt(0, withAlpha(Qt::white, dark ? 0.07 : 0.22));
    sheen.setColorAt(1, withAlpha(Qt::white, 0));
    painter.fillPath(surface, sheen);

    // Outer hairline to separate the glass from whatever lies beneath.
    painter.strokePath(GlassPainter::shape(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5),
                       QPen(withAlpha(Qt::black, dark ? 0.45 : 0.13), 1));
    // Inner highlight, bright along the top edge and fading down the sides.
    QLinearGradient rim(rect.topLeft(), rect.bottomLeft());
    rim.setColorAt(0, withAlpha(Qt::white, dark ? 0.28 : 0.85));
    rim.setColorAt(0.35, withAlpha(Qt::white, dark ? 0.08 : 0.35));
    rim.setColorAt(1, withAlpha(Qt::white, dark ? 0.05 : 0.25));
    painter.strokePath(GlassPainter::shape(rect.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5),
                       QPen(QBrush(rim), 1));
}

void paintOpaque(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                 const QPalette& palette) {
    const qreal radius = style.cornerRadius;
    painter.fillPath(GlassPainter::shape(rect, radius), palette.color(QPalette::Window));
    const qreal width = std::max<qreal>(style.borderWidth, 0);
    if (width <= 0) return;
    // Inside the shape: the stroke's centre line runs half a width in from the edge.
    const qreal inset = width / 2;
    const QColor border = style.borderColor.value_or(GlassPainter::separatorColor(palette));
    painter.strokePath(
        GlassPainter::shape(rect.adjusted(inset, inset, -inset, -inset), radius - inset),
        QPen(border, width));
}

void paintSurface(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                  const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (style.shadow) paintShadow(painter, rect, style.cornerRadius, GlassPainter::isDark(palette));
    if (style.opaque) {
        paintOpaque(painter, rect, style, palette);
    } else {
        paintGlass(painter, rect, style, palette);
    }
    painter.restore();
}

// Everything a drawn surface depends on. The offset is where the surface starts within its
// first device pixel, so a copy lands on the same pixels as drawing it there would.
struct SurfaceKey {
    QSizeF size;
    QPointF offset;
    qreal cornerRadius;
    bool opaque;
    bool shadow;
    bool overBlur;
    QRgb tint;
    QRgb border;
    qreal borderWidth;
    QRgb window;
    // What draws it, when not the glass of the style above.
    GlassPainter::Drawing drawing = nullptr;

    bool operator==(const SurfaceKey&) const = default;
};

struct DrawnSurface {
    SurfaceKey key;
    QImage image;
};

// A panel repaints the same few surfaces (the panel, cards of one size) frame after frame: each
// is drawn once and copied after. Per thread, since painting may happen off the GUI thread into
// images; bounded in bytes, the least recently used going first.
constexpr qsizetype kCacheBytes = 8 << 20;
thread_local std::vector<DrawnSurface> drawnSurfaces;

const QImage& drawnSurface(const SurfaceKey& key, const QRect& pixels,
                           const std::function<void(QPainter&)>& draw) {
    auto it = std::find_if(drawnSurfaces.begin(), drawnSurfaces.end(),
                           [&](const DrawnSurface& d) { return d.key == key; });
    if (it != drawnSurfaces.end()) {
        std::rotate(drawnSurfaces.begin(), it, it + 1);
        return drawnSurfaces.front().image;
    }
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.translate(-pixels.topLeft());
        draw(p);
    }
    qsizetype bytes = image.sizeInBytes();
    for (auto kept = drawnSurfaces.begin(); kept != drawnSurfaces.end(); ++kept) {
        bytes += kept->image.sizeInBytes();
        if (bytes > kCacheBytes) {
            drawnSurfaces.erase(kept, drawnSurfaces.end());
            break;
        }
    }
    drawnSurfaces.insert(drawnSurfaces.begin(), DrawnSurface{key, std::move(image)});
    return drawnSurfaces.front().image;
}

// Only a copy placed pixel for pixel gives what drawing would: no scaling, no fading of the
// whole, no other way of combining.
bool copiesAsDrawn(const QPainter& painter) {
    return painter.deviceTransform().type() <= QTransform::TxTranslate && painter.opacity() >= 1 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

// Draws once what `draw` draws of `rect` (in device pixels) and `margin` around it for `key`,
// and copies it after.
void paintDrawn(QPainter& painter, const QRectF& rect, qreal margin, SurfaceKey key,
                const std::function<void(QPainter&, const QRectF&)>& draw) {
    const QTransform& device = painter.deviceTransform();
    const QRectF placed = device.mapRect(rect);
    const QRect pixels = placed.adjusted(-margin, -margin, margin, margin).toAlignedRect();
    key.size = placed.size();
    key.offset = placed.topLeft() - pixels.topLeft();
    const QImage& image = drawnSurface(key, pixels, [&](QPainter& p) { draw(p, placed); });
    // Back into the painter's own coordinates, whatever offset its device adds.
    painter.drawImage(QPointF(pixels.topLeft()) - QPointF(device.dx(), device.dy()), image);
}

}  // namespace

void GlassPainter::paint(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                         const QPalette& palette) {
    if (!rect.isValid() || rect.isEmpty()) return;
    if (!copiesAsDrawn(painter)) {
        paintSurface(painter, rect, style, palette);
        return;
    }
    const SurfaceKey key{{},
                         {},
                         style.cornerRadius,
                         style.opaque,
                         style.shadow,
                         style.overBlur,
                         style.tint ? style.tint->rgba() : 0,
                         style.borderColor ? style.borderColor->rgba() : 0,
                         style.borderWidth,
                         palette.color(QPalette::Window).rgba()};
    paintDrawn(painter, rect, style.shadow ? kShadowExtent + 1 : 1, key,
               [&](QPainter& p, const QRectF& placed) { paintSurface(p, placed, style, palette); });
}

void GlassPainter::paintCopied(QPainter& painter, const QRectF& rect, qreal radius, Drawing draw) {
    if (!rect.isValid() || rect.isEmpty()) return;
    if (!copiesAsDrawn(painter)) {
        draw(painter, rect, radius);
        return;
    }
    SurfaceKey key{};
    key.cornerRadius = radius;
    key.drawing = draw;
    paintDrawn(painter, rect, 1, key,
               [&](QPainter& p, const QRectF& placed) { draw(p, placed, radius); });
}

QPainterPath GlassPainter::shape(const QRectF& rect, qreal radius) {
    QPainterPath path;
    if (!rect.isValid() || rect.isEmpty()) return path;
    const qreal half = std::min(rect.width(), rect.height()) / 2;
    radius = std::clamp(radius, 0.0, half);
    if (radius <= 0) {
        path.addRect(rect);
        return path;
    }
    const qreal a = radius * kCornerReach;
    if (a > half) {
        path.addRoundedRect(rect, radius, radius);
        return path;
    }
    const qreal b = radius * kCornerControl;
    const qreal l = rect.left();
    const qreal t = rect.top();
    const qreal r = rect.right();
    const qreal btm = rect.bottom();
    path.moveTo(l + a, t);
    path.lineTo(r - a, t);
    path.cubicTo(r - b, t, r, t + b, r, t + a);
    path.lineTo(r, btm - a);
    path.cubicTo(r, btm - b, r - b, btm, r - a, btm);
    path.lineTo(l + a, btm);
    path.cubicTo(l + b, btm, l, btm - b, l, btm - a);
    path.lineTo(l, t + a);
    path.cubicTo(l, t + b, l + b, t, l + a, t);
    path.closeSubpath();
    return path;
}

bool GlassPainter::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor GlassPainter::separatorColor(const QPalette& palette) {
    return withAlpha(isDark(palette) ? Qt::white : Qt::black, isDark(palette) ? 0.16 : 0.14);
}

QColor GlassPainter::accentColor(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

}  // namespace vantorel

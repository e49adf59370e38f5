#include "preview/PreviewPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

QColor gray(int value, qreal alpha) {
    QColor color(value, value, value);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

void drawWell(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(GlassPainter::shape(rect, radius), gray(0, 0.18));
    painter.strokePath(GlassPainter::shape(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5),
                       QPen(gray(255, 0.08), 1));
    painter.restore();
}

}  // namespace

void PreviewPainter::paintWell(QPainter& painter, const QRectF& rect, qreal radius) {
    if (rect.isEmpty()) return;
    // Redrawn under every live frame: a copy, not a fill.
    GlassPainter::paintCopied(painter, rect, radius, &drawWell);
}

void PreviewPainter::paintImage(QPainter& painter, const QRectF& rect, qreal radius,
                                const QImage& image) {
    if (rect.isEmpty() || image.isNull()) return;
    // Two image pixels a point; fitted, since a window's proportions need not be the frame's.
    const QSizeF natural(image.width() / 2.0, image.height() / 2.0);
    const qreal scale = std::min(rect.width() / natural.width(), rect.height() / natural.height());
    const QSizeF fitted = natural * scale;
    const QRectF target(rect.center().x() - fitted.width() / 2,
                        rect.center().y() - fitted.height() / 2, fitted.width(), fitted.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setClipPath(GlassPainter::shape(rect, radius), Qt::IntersectClip);
    painter.drawImage(target, image);
    painter.restore();
}

void PreviewPainter::paintIconOrWindowSymbol(QPainter& painter, const QRectF& rect,
                                             const QImage& icon, qreal iconOpacity,
                                             const SymbolTable& symbols, const QPalette& palette) {
    if (rect.isEmpty()) return;
    if (icon.isNull()) {
        symbols.draw(painter, rect, QStringLiteral("macwindow"),
                     PanelViewContext::secondaryText(palette));
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setOpacity(painter.opacity() * iconOpacity);
    const qreal side = std::min(rect.width(), rect.height());
    painter.drawImage(
        QRectF(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side), icon);
    painter.restore();
}

void PreviewPainter::paintMinimizedPlaceholder(QPainter& painter, const QRectF& rect,
                                               const QImage& icon, const QFont& caption,
                                               const SymbolTable& symbols,
                                               const QPalette& palette) {
    constexpr qreal kIcon = 54;
    constexpr qreal kSpacing = 8;
    constexpr qreal kBadge = 18;
    const QFontMetricsF metrics(caption);
    const qreal height = kIcon + kSpacing + metrics.height();
    const qreal top = rect.center().y() - height / 2;
    const QRectF iconRect(rect.center().x() - kIcon / 2, top, kIcon, kIcon);

    painter.save();
    painter.setOpacity(painter.opacity() * 0.92);
    if (icon.isNull()) {
        paintIconOrWindowSymbol(painter, iconRect.adjusted(8, 8, -8, -8), icon, 1, symbols,
                                palette);
    } else {
        paintIconOrWindowSymbol(painter, iconRect, icon, 1, symbols, palette);
    }
    painter.restore();

    // The badge in two colours: white showing through the secondary-coloured disc's minus.
    const QRectF badge(iconRect.right() - kBadge, iconRect.bottom() - kBadge, kBadge, kBadge);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(badge.adjusted(3, 3, -3, -3));
    QColor disc = PanelViewContext::secondaryText(palette);
    disc.setAlphaF(1);
    disc = disc.lightness() < 128 ? QColor(128, 128, 134) : QColor(160, 160, 166);
    symbols.draw(painter, badge, QStringLiteral("minus.circle.fill"), disc);
    painter.restore();

    painter.save();
    painter.setFont(caption);
    painter.setPen(PanelViewContext::secondaryText(palette));
    painter.drawText(
        QRectF(rect.left(), iconRect.bottom() + kSpacing, rect.width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Minimized"));
    painter.restore();
}

void PreviewPainter::paintProgress(QPainter& painter, QPointF centre, qreal diameter, int phase,
                                   const QColor& color) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal outer = diameter / 2;
    const qreal inner = outer * 0.45;
    QPen pen(color, std::max<qreal>(diameter / 9, 1.2));
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i < kProgressSpokes; ++i) {
        // The spoke at the phase is darkest; the ones behind it fade out.
        const int age = ((phase - i) % kProgressSpokes + kProgressSpokes) % kProgressSpokes;
        QColor spoke = color;
        spoke.setAlphaF(static_cast<float>(color.alphaF() * (1.0 - age * 0.07)));
        pen.setColor(spoke);
        painter.setPen(pen);
        const double angle = 2 * std::numbers::pi * i / kProgressSpokes;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.drawLine(centre + direction * inner, centre + direction * outer);
    }
    painter.restore();
}

QString PreviewPainter::elidedMiddle(const QString& text, const QFont& font, qreal width) {
    return QFontMetricsF(font).elidedText(text, Qt::ElideMiddle, std::max<qreal>(width, 0));
}

}  // namespace vantorel

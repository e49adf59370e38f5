#include "settings/ApplicationIcon.h"

#include <QLinearGradient>
#include <QPainter>

namespace vantorel {
namespace {

constexpr qreal kSide = 128;

void roundedRect(QPainter& p, const QRectF& r, qreal radius, const QBrush& brush) {
    p.setBrush(brush);
    p.drawRoundedRect(r, radius, radius);
}

}  // namespace

void ApplicationIcon::paint(QPainter& painter, const QRectF& box) {
    // Drawn in the icon's own 128-unit square, scaled into the box's largest centred square.
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.translate(box.center() - QPointF(side / 2, side / 2));
    painter.scale(side / kSide, side / kSide);

    QLinearGradient tile(0, 8, 0, 120);
    tile.setColorAt(0, QColor(0x6a, 0x8d, 0xf5));
    tile.setColorAt(1, QColor(0x8a, 0x5b, 0xd6));
    roundedRect(painter, QRectF(8, 8, 112, 112), 26, tile);

    painter.save();
    painter.translate(64, 64);
    painter.rotate(-8);
    painter.translate(-64, -64);
    roundedRect(painter, QRectF(30, 30, 58, 42), 7, QColor(255, 255, 255, 115));
    painter.restore();

    QLinearGradient glass(0, 44, 0, 86);
    glass.setColorAt(0, QColor(255, 255, 255, 242));
    glass.setColorAt(1, QColor(0xee, 0xf0, 0xf6, 217));
    roundedRect(painter, QRectF(40, 44, 58, 42), 7, glass);
    roundedRect(painter, QRectF(40, 44, 58, 9), 4, QColor(0xd8, 0xdc, 0xea));
    const QColor lights[] = {QColor(0xff, 0x5f, 0x57), QColor(0xfe, 0xbc, 0x2e),
                             QColor(0x28, 0xc8, 0x40)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(lights[i]);
        painter.drawEllipse(QPointF(47 + 7 * i, 48.5), 2, 2);
    }
    const QColor line(0xb8, 0xbd, 0xd0);
    roundedRect(painter, QRectF(46, 60, 34, 4), 2, line);
    roundedRect(painter, QRectF(46, 68, 42, 4), 2, line);
    roundedRect(painter, QRectF(46, 76, 26, 4), 2, line);
    roundedRect(painter, QRectF(34, 96, 60, 8), 4, QColor(255, 255, 255, 153));
    painter.restore();
}

}  // namespace vantorel

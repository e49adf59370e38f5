// The core's headers before Qt's, as everywhere the two meet.
#include "platform/sim/SimWorld.h"

#include "app/playground/AppIcon.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
namespace {

bool isLight(const QColor& c) {
    return 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF() > 0.7;
}

}  // namespace

QImage AppIcon::paint(const QColor& colour, const QString& symbol, const QString& name,
                      const SymbolTable& symbols, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const qreal inset = side * 0.06;
    const QRectF icon(inset, inset, side - 2 * inset, side - 2 * inset);
    const QPainterPath shape = GlassPainter::shape(icon, icon.width() * 0.225);
    p.save();
    p.translate(0, side * 0.02);
    p.fillPath(shape, QColor(0, 0, 0, 50));
    p.restore();
    QLinearGradient fill(icon.topLeft(), icon.bottomLeft());
    fill.setColorAt(0, colour.lighter(125));
    fill.setColorAt(1, colour.darker(112));
    p.fillPath(shape, fill);
    p.setPen(QPen(QColor(255, 255, 255, 70), std::max(1.0, side / 64.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    const QColor ink = isLight(colour) ? QColor(60, 60, 67) : QColor(255, 255, 255);
    const qreal glyph = icon.width() * 0.62;
    const QRectF box(icon.center().x() - glyph / 2, icon.center().y() - glyph / 2, glyph, glyph);
    if (!symbols.drawLigature(p, box, symbol, ink)) {
        QFont font = QGuiApplication::font();
        font.setPixelSize(static_cast<int>(icon.height() * 0.52));
        font.setBold(true);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(icon, Qt::AlignCenter, name.isEmpty() ? QStringLiteral("?") : name.left(1));
    }
    return image;
}

void AppIcon::dress(SimWorld& world, const SymbolTable& symbols) {
    for (SimWorld::App& app : world.apps) {
        const QColor colour = QColor::fromRgb(static_cast<QRgb>(app.color | 0xff000000u));
        app.spec.icon = fromQImage(paint(colour, QString::fromStdString(app.symbol),
                                         QString::fromStdString(app.spec.name), symbols));
    }
}

}  // namespace vantorel

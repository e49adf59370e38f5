#include "platform/qt/RoundSymbolButton.h"

#include <QPainter>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {

RoundSymbolButton::RoundSymbolButton(PanelViewContext& context, const SymbolTable& symbols,
                                     int side, qreal glyphBox, QWidget* parent)
    : QAbstractButton(parent), context_(context), symbols_(symbols), glyphBox_(glyphBox) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(side, side);
}

void RoundSymbolButton::setSymbol(const QString& symbol, const QString& label) {
    if (symbol_ == symbol && accessibleName() == label) return;
    symbol_ = symbol;
    setAccessibleName(label);
    setToolTip(label);
    update();
}

void RoundSymbolButton::setOpacity(qreal opacity) {
    if (qFuzzyCompare(opacity_, opacity)) return;
    opacity_ = opacity;
    update();
}

void RoundSymbolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(opacity_);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    GlassStyle style;
    style.cornerRadius = circle.width() / 2;
    style.opaque = context_.opaqueSurfaces();
    style.shadow = false;
    if (isDown()) style.tint = QColor(0, 0, 0, 40);
    GlassPainter::paint(painter, circle, style, palette());
    const QRectF glyph(circle.center().x() - glyphBox_ / 2, circle.center().y() - glyphBox_ / 2,
                       glyphBox_, glyphBox_);
    symbols_.draw(painter, glyph, symbol_, PanelViewContext::primaryText(palette()));
}

}  // namespace vantorel

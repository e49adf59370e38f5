#include "widgets/MediaControlButton.h"

#include <QPainter>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {
MediaControlButton::MediaControlButton(PanelViewContext& context, int side, qreal symbolSize,
                                       QWidget* parent)
    : QAbstractButton(parent), context_(context), symbolSize_(symbolSize) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    setFixedSize(side, side);
}

void MediaControlButton::setSymbol(const QString& symbol, const QString& label) {
    if (symbol_ == symbol && accessibleName() == label) return;
    symbol_ = symbol;
    setAccessibleName(label);
    setToolTip(label);
    update();
}

void MediaControlButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    GlassStyle style;
    style.cornerRadius = circle.width() / 2;
    style.opaque = context_.opaqueSurfaces();
    style.shadow = false;
    if (isDown()) style.tint = QColor(0, 0, 0, 40);
    GlassPainter::paint(painter, circle, style, palette());
    const qreal box = symbolSize_ * kGlyphBoxScale;
    const QRectF glyph(circle.center().x() - box / 2, circle.center().y() - box / 2, box, box);
    SymbolTable::shared().draw(painter, glyph, symbol_, PanelViewContext::primaryText(palette()));
}

}  // namespace vantorel

#include "preview/HoverControlButton.h"

#include <QPainter>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {
namespace {

// The symbol's box: a 10-point bold glyph; the icon font's glyphs carry their own margin.
constexpr qreal kGlyphBox = 13;

}  // namespace

HoverControlButton::HoverControlButton(PreviewViewContext& context, QWidget* parent)
    : QAbstractButton(parent), context_(context) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    const int side = static_cast<int>(PreviewMetrics::kControlSide);
    setFixedSize(side, side);
}

void HoverControlButton::setSymbol(const QString& symbol, const QString& label) {
    if (symbol_ == symbol && accessibleName() == label) return;
    symbol_ = symbol;
    setAccessibleName(label);
    setToolTip(label);
    update();
}

void HoverControlButton::setOpacity(qreal opacity) {
    if (qFuzzyCompare(opacity_, opacity)) return;
    opacity_ = opacity;
    update();
}

QSize HoverControlButton::sizeHint() const {
    const int side = static_cast<int>(PreviewMetrics::kControlSide);
    return {side, side};
}

void HoverControlButton::paintEvent(QPaintEvent*) {
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
    const QRectF glyph(circle.center().x() - kGlyphBox / 2, circle.center().y() - kGlyphBox / 2,
                       kGlyphBox, kGlyphBox);
    context_.symbols().draw(painter, glyph, symbol_, PanelViewContext::primaryText(palette()));
}

}  // namespace vantorel

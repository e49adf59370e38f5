#include "widgets/WidgetRow.h"

#include <QPainter>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"

namespace vantorel {

WidgetRow::WidgetRow(const PanelViewContext& context, Painter paintContent, QWidget* parent)
    : QAbstractButton(parent), context_(context), paintContent_(std::move(paintContent)) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, true);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onClick) {
            const auto click = onClick;
            click();
        }
    });
}

void WidgetRow::paintInteractiveGlass(QPainter& painter, const QRectF& rect, qreal radius,
                                      bool opaque, bool hovering, const QPalette& palette) {
    GlassStyle glass;
    glass.cornerRadius = radius;
    glass.opaque = opaque;
    glass.shadow = false;
    if (hovering && !opaque) {
        QColor wash = GlassPainter::accentColor(palette);
        wash.setAlpha(48);
        glass.tint = wash;
    }
    GlassPainter::paint(painter, rect, glass, palette);
}

void WidgetRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintInteractiveGlass(painter, QRectF(rect()), kRadius, context_.opaqueSurfaces(), isHovering_,
                          palette());
    if (paintContent_) {
        paintContent_(painter,
                      QRectF(rect()).adjusted(kPaddingX, kPaddingY, -kPaddingX, -kPaddingY));
    }
}

void WidgetRow::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    isHovering_ = true;
    update();
}

void WidgetRow::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    isHovering_ = false;
    update();
}

}  // namespace vantorel

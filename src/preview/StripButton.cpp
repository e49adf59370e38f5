#include "preview/StripButton.h"

#include <QPainter>

#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "preview/PreviewAccessible.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPainter.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {

StripButton::StripButton(PreviewViewContext& context, QWidget* parent)
    : QAbstractButton(parent), context_(context) {
    PreviewAccessible::install();
    setFocusPolicy(Qt::NoFocus);
    setCheckable(true);
    setAutoExclusive(false);
}

void StripButton::bind(const PreviewState::Card& card, bool selected) {
    id_ = card.id;
    image_ = toQImage(card.thumbnail);
    if (!image_.isNull()) image_.setDevicePixelRatio(2);
    const QString name = QString::fromStdString(card.title);
    if (accessibleName() != name) setAccessibleName(name);
    setChecked(selected);
    update();
}

void StripButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box = QRectF(rect());
    const qreal radius = PreviewMetrics::kStripRadius;
    painter.fillPath(GlassPainter::shape(box, radius), QColor(0, 0, 0, 46));
    if (!image_.isNull()) {
        picture_.paint(painter, box, radius, image_);
    } else if (!context_.appIcon().isNull()) {
        PreviewPainter::paintIconOrWindowSymbol(painter, box.adjusted(8, 8, -8, -8),
                                                context_.appIcon(), 0.9, context_.symbols(),
                                                palette());
    }
    const bool selected = isChecked();
    const qreal width = selected ? 2 : 1;
    QColor outline = selected ? GlassPainter::accentColor(palette()) : QColor(255, 255, 255);
    if (!selected) outline.setAlphaF(0.1f);
    const qreal inset = width / 2;
    painter.strokePath(
        GlassPainter::shape(box.adjusted(inset, inset, -inset, -inset), radius - inset),
        QPen(outline, width));
}

}  // namespace vantorel

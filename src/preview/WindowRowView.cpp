#include "preview/WindowRowView.h"

#include <QFontMetricsF>
#include <QPainter>

#include "platform/qt/GeometryConversion.h"
#include "platform/qt/GlassPainter.h"
#include "preview/HoverControlButton.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPainter.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {
WindowRowView::WindowRowView(PreviewViewContext& context, QWidget* parent)
    : WindowItemView(context, parent) {}

void WindowRowView::setThumbnailSize(const QSizeF& size) {
    if (thumbSize_ == size) return;
    thumbSize_ = size;
    update();
}

QRectF WindowRowView::thumbnailRect() const {
    return toQRect(PreviewMetrics::rowThumbnailFrame(toSize(size()), toSize(thumbSize_)));
}

void WindowRowView::placeControls() {
    const Size row = toSize(size());
    closeControl()->move(toQRect(PreviewMetrics::rowControlFrame(row, 0)).topLeft().toPoint());
    minimizeControl()->move(toQRect(PreviewMetrics::rowControlFrame(row, 1)).topLeft().toPoint());
}

void WindowRowView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& colors = palette();

    GlassPainter::paint(painter, QRectF(rect()), surfaceStyle(PreviewMetrics::kListRowRadius),
                        colors);

    const QRectF well = thumbnailRect();
    const qreal radius = PreviewMetrics::kListThumbnailRadius;
    PreviewPainter::paintWell(painter, well, radius);
    if (!thumbnailImage().isNull()) {
        paintThumbnail(painter, well, radius);
    } else if (card().window.isMinimized) {
        const QImage& icon = context().appIcon();
        PreviewPainter::paintIconOrWindowSymbol(
            painter, icon.isNull() ? well.adjusted(14, 8, -14, -8) : well.adjusted(6, 6, -6, -6),
            icon, 0.9, context().symbols(), colors);
    } else {
        PreviewPainter::paintProgress(painter, well.center(), 14, progressPhase(),
                                      PanelViewContext::secondaryText(colors));
    }

    const double titleHeight = QFontMetricsF(context().calloutFont()).height();
    const QRectF caption = toQRect(PreviewMetrics::rowTitleFrame(toSize(size()), toSize(thumbSize_),
                                                                 titleHeight, isHovering()));
    painter.setFont(context().calloutFont());
    painter.setPen(PanelViewContext::primaryText(colors));
    painter.drawText(
        caption, Qt::AlignLeft | Qt::AlignVCenter,
        PreviewPainter::elidedMiddle(title(), context().calloutFont(), caption.width()));
}

}  // namespace vantorel

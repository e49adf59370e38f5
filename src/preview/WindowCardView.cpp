#include "preview/WindowCardView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

#include "platform/qt/GeometryConversion.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/Spring.h"
#include "preview/HoverControlButton.h"
#include "preview/PreviewMetrics.h"
#include "preview/PreviewPainter.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {
namespace {

const Spring kHoverSpring(0.28, 0.7);

}  // namespace

WindowCardView::WindowCardView(PreviewViewContext& context, QWidget* parent)
    : WindowItemView(context, parent) {
    scaleAnimation_ = new QVariantAnimation(this);
    scaleAnimation_->setStartValue(0.0);
    scaleAnimation_->setEndValue(1.0);
    scaleAnimation_->setDuration(kHoverSpring.durationMs());
    connect(scaleAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const double seconds = v.toDouble() * scaleAnimation_->duration() / 1000.0;
        setScale(scaleFrom_ + (scaleTo_ - scaleFrom_) * kHoverSpring.progress(seconds));
    });
}

void WindowCardView::placeInSlot(const QRectF& slot) {
    cardSize_ = slot.size();
    // Room for the enlargement, and for the spring's overshoot beyond it.
    margin_ =
        std::ceil(std::max(slot.width(), slot.height()) * (PreviewMetrics::kHoverScale - 1) * 0.6) +
        1;
    setGeometry(slot.adjusted(-margin_, -margin_, margin_, margin_).toAlignedRect());
    placeControls();
}

void WindowCardView::finishAnimations() {
    WindowItemView::finishAnimations();
    if (scaleAnimation_->state() == QAbstractAnimation::Running) {
        scaleAnimation_->setCurrentTime(scaleAnimation_->totalDuration());
    }
}

QRectF WindowCardView::unscaledCard() const {
    return {margin_, margin_, cardSize_.width(), cardSize_.height()};
}

QRectF WindowCardView::unscaledThumbnail() const {
    const double titleHeight = QFontMetricsF(context().captionFont()).height();
    const QRectF inner =
        toQRect(PreviewMetrics::cardThumbnailFrame(toSize(cardSize_), titleHeight));
    return inner.translated(margin_, margin_);
}

QRectF WindowCardView::scaled(const QRectF& rect) const {
    const QPointF centre = unscaledCard().center();
    return {centre + (rect.topLeft() - centre) * scale_, rect.size() * scale_};
}

QRectF WindowCardView::cardRect() const {
    return scaled(unscaledCard());
}

QRectF WindowCardView::thumbnailRect() const {
    return scaled(unscaledThumbnail());
}

void WindowCardView::placeControls() {
    const Rect thumbnail = [this] {
        const QRectF r = thumbnailRect();
        return Rect(r.x(), r.y(), r.width(), r.height());
    }();
    closeControl()->move(
        toQRect(PreviewMetrics::cardControlFrame(thumbnail, 0)).topLeft().toPoint());
    minimizeControl()->move(
        toQRect(PreviewMetrics::cardControlFrame(thumbnail, 1)).topLeft().toPoint());
}

void WindowCardView::hoverChanged() {
    const qreal target =
        isHovering() && !context().reduceMotion() ? PreviewMetrics::kHoverScale : 1;
    scaleAnimation_->stop();
    if (qFuzzyCompare(scale_, target)) return;
    if (context().reduceMotion() || !isVisible()) {
        setScale(target);
        return;
    }
    scaleFrom_ = scale_;
    scaleTo_ = target;
    scaleAnimation_->start();
}

void WindowCardView::setScale(qreal scale) {
    if (qFuzzyCompare(scale_, scale)) return;
    scale_ = scale;
    placeControls();
    update();
}

void WindowCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& colors = palette();

    // Everything is drawn at its resting size and scaled about the card's centre.
    const QPointF centre = unscaledCard().center();
    painter.translate(centre);
    painter.scale(scale_, scale_);
    painter.translate(-centre);

    GlassPainter::paint(painter, unscaledCard(), surfaceStyle(PreviewMetrics::kCardRadius), colors);

    const QRectF well = unscaledThumbnail();
    const qreal radius = PreviewMetrics::kThumbnailRadius;
    if (!thumbnailImage().isNull()) {
        PreviewPainter::paintWell(painter, well, radius);
        paintThumbnail(painter, well, radius);
    } else if (card().window.isMinimized) {
        PreviewPainter::paintWell(painter, well, radius);
        PreviewPainter::paintMinimizedPlaceholder(painter, well, context().appIcon(),
                                                  context().captionFont(), context().symbols(),
                                                  colors);
    } else {
        PreviewPainter::paintWell(painter, well, radius);
        PreviewPainter::paintProgress(painter, well.center(), 16, progressPhase(),
                                      PanelViewContext::secondaryText(colors));
    }

    const double titleHeight = QFontMetricsF(context().captionFont()).height();
    const QRectF caption = toQRect(PreviewMetrics::cardTitleFrame(toSize(cardSize_), titleHeight))
                               .translated(margin_, margin_);
    painter.setFont(context().captionFont());
    painter.setPen(PanelViewContext::primaryText(colors));
    painter.drawText(
        caption, Qt::AlignHCenter | Qt::AlignVCenter,
        PreviewPainter::elidedMiddle(title(), context().captionFont(), caption.width()));
}

}  // namespace vantorel

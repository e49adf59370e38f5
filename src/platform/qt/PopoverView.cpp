#include "platform/qt/PopoverView.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/FloatingPanelWindow.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/QtPanelSurface.h"

namespace vantorel {

PopoverView::PopoverView(PanelViewContext& context, Appearance& appearance, QWidget* parent)
    : QWidget(parent), context_(context) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    connect(&appearance, &Appearance::changed, this, [this] { update(); });
}

PopoverView::~PopoverView() = default;

void PopoverView::setTranslucentWindow(bool translucent) {
    context_.setTranslucentWindow(translucent);
    update();
}

void PopoverView::setBlurredBehind(bool blurred) {
    context_.setBlurredBehind(blurred);
    update();
}

std::unique_ptr<PanelSurface> PopoverView::makeSurface(Appearance& appearance, PopoverView* view,
                                                       qreal cardRadius) {
    auto window = std::make_unique<FloatingPanelWindow>(appearance);
    FloatingPanelWindow* host = window.get();
    // A backdrop of our own shows through the glass even where the window cannot.
    host->onSurfaceChange = [host, view] {
        view->setTranslucentWindow(host->isTranslucent() || host->blursBehind());
        view->setBlurredBehind(host->blursBehind());
    };
    host->onSurfaceChange();
    window->setSurfaceShape(QMarginsF(kMargin, kMargin, kMargin, kMargin), cardRadius);
    return std::make_unique<QtPanelSurface>(
        std::move(window), view,
        [view](std::function<void(bool)> report) { view->onPanelHoverChange = std::move(report); });
}

QRect PopoverView::card() const {
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QRect PopoverView::content() const {
    return card().adjusted(kContentInset, kContentInset, -kContentInset, -kContentInset);
}

void PopoverView::paintCard(QPainter& painter, const QRectF& card, qreal radius) const {
    GlassStyle glass;
    glass.cornerRadius = radius;
    glass.opaque = context_.opaqueSurfaces();
    glass.overBlur = context_.blurredBehind();
    GlassPainter::paint(painter, card, glass, palette());
}

QScrollArea* PopoverView::addScrollArea(QWidget* content) {
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setWidget(content);
    // The scroll area paints its widget's background by default.
    content->setAutoFillBackground(false);
    return scroll;
}

QSizeF PopoverView::countBadgeSize(const QString& count) const {
    const QFontMetricsF metrics(context_.captionFont());
    return {std::ceil(metrics.horizontalAdvance(count)) + 2 * kCountPaddingX,
            metrics.height() + 2 * kCountPaddingY};
}

QSizeF PopoverView::measureTitleHeader(const QImage& icon, const QString& name,
                                       const QString& count) const {
    const QFontMetricsF metrics(context_.headlineFont());
    const qreal nameWidth = std::min(metrics.horizontalAdvance(name), kHeaderNameMaxWidth);
    const QSizeF badge = countBadgeSize(count);
    qreal width = std::ceil(nameWidth) + kHeaderSpacing + badge.width();
    qreal height = std::max(metrics.height(), badge.height());
    if (!icon.isNull()) {
        width += kHeaderIconSide + kHeaderSpacing;
        height = std::max(height, kHeaderIconSide);
    }
    return {std::ceil(width), std::ceil(height)};
}

void PopoverView::paintTitleHeader(QPainter& painter, qreal left, qreal middle, const QImage& icon,
                                   const QString& name, const QString& count) const {
    qreal x = left;
    if (!icon.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(x, middle - kHeaderIconSide / 2, kHeaderIconSide, kHeaderIconSide),
                          icon);
        painter.restore();
        x += kHeaderIconSide + kHeaderSpacing;
    }
    const QFontMetricsF metrics(context_.headlineFont());
    const qreal nameWidth =
        std::ceil(std::min(metrics.horizontalAdvance(name), kHeaderNameMaxWidth));
    painter.setFont(context_.headlineFont());
    painter.setPen(PanelViewContext::primaryText(palette()));
    painter.drawText(QRectF(x, middle - metrics.height() / 2, nameWidth, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(name, Qt::ElideRight, nameWidth));
    paintCountBadge(painter, x + nameWidth + kHeaderSpacing, middle, count);
}

void PopoverView::paintCountBadge(QPainter& painter, qreal left, qreal middle,
                                  const QString& count) const {
    const QSizeF size = countBadgeSize(count);
    const QRectF capsule(QPointF(left, middle - size.height() / 2), size);
    GlassStyle glass;
    glass.cornerRadius = capsule.height() / 2;
    glass.opaque = context_.opaqueSurfaces();
    glass.shadow = false;
    GlassPainter::paint(painter, capsule, glass, palette());
    painter.setFont(context_.captionFont());
    painter.setPen(PanelViewContext::secondaryText(palette()));
    painter.drawText(capsule, Qt::AlignCenter, count);
}

void PopoverView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setPointerInside(true);
}

void PopoverView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setPointerInside(false);
}

void PopoverView::setPointerInside(bool inside) {
    if (pointerInside_ == inside) return;
    pointerInside_ = inside;
    if (onPanelHoverChange) {
        const auto report = onPanelHoverChange;
        report(inside);
    }
}

}  // namespace vantorel

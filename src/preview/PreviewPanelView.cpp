#include "preview/PreviewPanelView.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GeometryConversion.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "preview/CardCollectionView.h"
#include "preview/LargeLayoutView.h"
#include "preview/PreviewAccessible.h"
#include "preview/PreviewPainter.h"

namespace vantorel {
namespace {

QString countText(const PreviewState& state) {
    return QString::number(static_cast<qlonglong>(state.cards().size()));
}

}  // namespace

PreviewPanelView::PreviewPanelView(PreviewState& state, Appearance& appearance,
                                   const SymbolTable& symbols, QWidget* parent)
    : QWidget(parent), context_(state, appearance, symbols), metrics_(PreviewMetrics::Input{}) {
    PreviewAccessible::install();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    collection_ = new CardCollectionView(context_, this);
    large_ = new LargeLayoutView(context_, this);
    large_->hide();
    connect(&appearance, &Appearance::changed, this, [this] { update(); });
    subscription_ =
        state.observe([this](const PreviewState::Change& change) { stateChanged(change); });
    rebuild();
}

PreviewPanelView::~PreviewPanelView() = default;

QSize PreviewPanelView::sizeHint() const {
    const Size size = metrics_.panelSize();
    return {static_cast<int>(std::ceil(size.width)), static_cast<int>(std::ceil(size.height))};
}

void PreviewPanelView::setTranslucentWindow(bool translucent) {
    context_.setTranslucentWindow(translucent);
    update();
}

void PreviewPanelView::setBlurredBehind(bool blurred) {
    context_.setBlurredBehind(blurred);
    update();
}

void PreviewPanelView::finishAnimations() {
    collection_->finishAnimations();
    large_->finishAnimations();
}

void PreviewPanelView::stateChanged(const PreviewState::Change& change) {
    switch (change.kind) {
        case PreviewState::Change::Kind::content:
        case PreviewState::Change::Kind::settings:
            rebuild();
            break;
        case PreviewState::Change::Kind::thumbnail:
        case PreviewState::Change::Kind::active:
            if (metrics_.layout() == PreviewLayout::large) {
                large_->refreshCard(change.cardID);
            } else {
                collection_->refreshCard(change.cardID);
            }
            break;
    }
}

void PreviewPanelView::rebuild() {
    const PreviewState& state = context_.state();
    context_.setAppIcon(toQImage(state.appIcon()));
    metrics_ = PreviewMetrics({state.effectiveLayout(), state.previewSize(),
                               static_cast<int>(state.cards().size()), measureHeader()});

    const std::size_t count = state.cards().size();
    const QString name = QString::fromStdString(state.appName()) +
                         QStringLiteral(" window previews, ") + countText(state) +
                         QStringLiteral(" window") + (count != 1 ? QStringLiteral("s") : QString());
    // Set only on a change, as each is announced; the panel's window carries the name too.
    if (accessibleName() != name) setAccessibleName(name);
    if (QWidget* panel = window(); panel != this && panel->accessibleName() != name) {
        panel->setAccessibleName(name);
    }

    if (metrics_.layout() == PreviewLayout::large) {
        collection_->clear();
        collection_->hide();
        large_->showCards(metrics_);
        large_->show();
    } else {
        large_->hide();
        collection_->showCards(metrics_);
        collection_->show();
    }
    placeBody();
    updateGeometry();
    update();
}

void PreviewPanelView::placeBody() {
    const QRectF body = toQRect(metrics_.body());
    collection_->setGeometry(body.toAlignedRect());
    const int bleed = LargeLayoutView::kBleed;
    large_->setGeometry(body.toAlignedRect().adjusted(-bleed, -bleed, bleed, bleed));
}

Size PreviewPanelView::measureHeader() const {
    const PreviewState& state = context_.state();
    const QFontMetricsF name(context_.headlineFont());
    const QFontMetricsF count(context_.captionFont());
    const double nameWidth =
        std::min(name.horizontalAdvance(QString::fromStdString(state.appName())),
                 PreviewMetrics::kHeaderNameMaxWidth);
    const double capsuleWidth =
        std::ceil(count.horizontalAdvance(countText(state))) + 2 * PreviewMetrics::kCountPaddingX;
    const double capsuleHeight = count.height() + 2 * PreviewMetrics::kCountPaddingY;
    double width = std::ceil(nameWidth) + PreviewMetrics::kHeaderSpacing + capsuleWidth;
    double height = std::max(name.height(), capsuleHeight);
    if (!context_.appIcon().isNull()) {
        width += PreviewMetrics::kHeaderIconSide + PreviewMetrics::kHeaderSpacing;
        height = std::max(height, PreviewMetrics::kHeaderIconSide);
    }
    return {width, std::ceil(height)};
}

void PreviewPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    GlassStyle glass;
    glass.cornerRadius = PreviewMetrics::kSurfaceRadius;
    glass.opaque = context_.opaqueSurfaces();
    glass.overBlur = context_.blurredBehind();
    GlassPainter::paint(painter, toQRect(metrics_.surface()), glass, palette());
    paintHeader(painter);
}

void PreviewPanelView::paintHeader(QPainter& painter) {
    const PreviewState& state = context_.state();
    const QRectF header = toQRect(metrics_.header());
    qreal x = header.left();
    const qreal middle = header.center().y();

    const QImage& icon = context_.appIcon();
    if (!icon.isNull()) {
        constexpr qreal side = PreviewMetrics::kHeaderIconSide;
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRectF(x, middle - side / 2, side, side), icon);
        painter.restore();
        x += side + PreviewMetrics::kHeaderSpacing;
    }

    const QFontMetricsF nameMetrics(context_.headlineFont());
    const QString name = QString::fromStdString(state.appName());
    const qreal nameWidth = std::ceil(
        std::min(nameMetrics.horizontalAdvance(name), PreviewMetrics::kHeaderNameMaxWidth));
    painter.setFont(context_.headlineFont());
    painter.setPen(PreviewViewContext::primaryText(palette()));
    painter.drawText(QRectF(x, middle - nameMetrics.height() / 2, nameWidth, nameMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     nameMetrics.elidedText(name, Qt::ElideRight, nameWidth));
    x += nameWidth + PreviewMetrics::kHeaderSpacing;

    const QFontMetricsF countMetrics(context_.captionFont());
    const QString count = countText(state);
    const QRectF capsule(
        x, middle - (countMetrics.height() + 2 * PreviewMetrics::kCountPaddingY) / 2,
        std::ceil(countMetrics.horizontalAdvance(count)) + 2 * PreviewMetrics::kCountPaddingX,
        countMetrics.height() + 2 * PreviewMetrics::kCountPaddingY);
    GlassStyle glass;
    glass.cornerRadius = capsule.height() / 2;
    glass.opaque = context_.opaqueSurfaces();
    glass.shadow = false;
    GlassPainter::paint(painter, capsule, glass, palette());
    painter.setFont(context_.captionFont());
    painter.setPen(PreviewViewContext::secondaryText(palette()));
    painter.drawText(capsule, Qt::AlignCenter, count);
}

void PreviewPanelView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setPointerInside(true);
}

void PreviewPanelView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setPointerInside(false);
}

void PreviewPanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBody();
}

void PreviewPanelView::setPointerInside(bool inside) {
    if (pointerInside_ == inside) return;
    pointerInside_ = inside;
    if (onPanelHoverChange) {
        const auto report = onPanelHoverChange;
        report(inside);
    }
}

}  // namespace vantorel

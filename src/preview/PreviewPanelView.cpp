#include "preview/PreviewPanelView.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GeometryConversion.h"
#include "platform/qt/ImageConversion.h"
#include "preview/CardCollectionView.h"
#include "preview/LargeLayoutView.h"
#include "preview/PreviewAccessible.h"
#include "preview/PreviewPainter.h"

namespace vantorel {
namespace {

// The header is measured by the panel's metrics and drawn by the shared chrome.
static_assert(PreviewMetrics::kHeaderIconSide == PopoverView::kHeaderIconSide &&
              PreviewMetrics::kHeaderSpacing == PopoverView::kHeaderSpacing &&
              PreviewMetrics::kHeaderNameMaxWidth == PopoverView::kHeaderNameMaxWidth &&
              PreviewMetrics::kPanelMargin == PopoverView::kMargin &&
              PreviewMetrics::kContentPadding == PopoverView::kContentInset);

QString countText(const PreviewState& state) {
    return QString::number(static_cast<qlonglong>(state.cards().size()));
}

}  // namespace

PreviewPanelView::PreviewPanelView(PreviewState& state, Appearance& appearance,
                                   const SymbolTable& symbols, QWidget* parent)
    : PopoverView(context_, appearance, parent),
      context_(state, appearance, symbols),
      metrics_(PreviewMetrics::Input{}) {
    PreviewAccessible::install();
    collection_ = new CardCollectionView(context_, this);
    large_ = new LargeLayoutView(context_, this);
    large_->hide();
    subscription_ =
        state.observe([this](const PreviewState::Change& change) { stateChanged(change); });
    rebuild();
}

PreviewPanelView::~PreviewPanelView() = default;

QSize PreviewPanelView::sizeHint() const {
    const Size size = metrics_.panelSize();
    return {static_cast<int>(std::ceil(size.width)), static_cast<int>(std::ceil(size.height))};
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
    const QSizeF size = measureTitleHeader(
        context_.appIcon(), QString::fromStdString(state.appName()), countText(state));
    return {size.width(), size.height()};
}

void PreviewPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintCard(painter, toQRect(metrics_.surface()), PreviewMetrics::kSurfaceRadius);
    const PreviewState& state = context_.state();
    const QRectF header = toQRect(metrics_.header());
    paintTitleHeader(painter, header.left(), header.center().y(), context_.appIcon(),
                     QString::fromStdString(state.appName()), countText(state));
}

void PreviewPanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBody();
}

}  // namespace vantorel

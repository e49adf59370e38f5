#include "widgets/FolderPopoverView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "widgets/FolderItemTile.h"

namespace vantorel {
namespace {

constexpr int kRowPitch = FolderItemTile::kHeight + FolderPopoverView::kSpacing;
constexpr int kColumnPitch = FolderItemTile::kWidth + FolderPopoverView::kSpacing;

QString countText(const FolderState& state) {
    return QString::number(static_cast<qlonglong>(state.entries().size()));
}

}  // namespace

FolderPopoverView::FolderPopoverView(FolderState& state, Appearance& appearance, QWidget* parent)
    : QWidget(parent), state_(state), context_(appearance) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);
    grid_ = new QWidget;
    scroll_->setWidget(grid_);
    // The scroll area paints its widget's background by default; the card shows through here.
    grid_->setAutoFillBackground(false);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { buildVisibleTiles(); });
    connect(&appearance, &Appearance::changed, this, [this] {
        update();
        for (auto& [index, tile] : tiles_)
            tile->update();
    });
    subscription_ = state_.observe([this](const FolderState::Change&) { rebuild(); });
    rebuild();
}

FolderPopoverView::~FolderPopoverView() = default;

QSize FolderPopoverView::sizeHint() const {
    const int contentWidth = std::max(header_.width() + 2 * kHeaderInset, bodySize_.width());
    const int contentHeight = header_.height() + kSpacing + bodySize_.height();
    const int outside = 2 * (kMargin + kContentInset);
    return {contentWidth + outside, contentHeight + outside};
}

void FolderPopoverView::setTranslucentWindow(bool translucent) {
    context_.setTranslucentWindow(translucent);
    update();
}

FolderItemTile* FolderPopoverView::tileAt(int index) const {
    const auto it = tiles_.find(index);
    return it == tiles_.end() ? nullptr : it->second;
}

void FolderPopoverView::rebuild() {
    folderIcon_ = toQImage(state_.folderIcon());
    const auto& entries = state_.entries();
    const int count = static_cast<int>(std::min<std::size_t>(entries.size(), 1u << 30));
    setAccessibleName(FolderItemTile::displayName(state_.folderName()) +
                      QStringLiteral(" folder, ") + countText(state_) + QStringLiteral(" item") +
                      (count != 1 ? QStringLiteral("s") : QString()));

    for (auto& [index, tile] : tiles_)
        delete tile;
    tiles_.clear();
    columns_ = count == 0 ? 0 : std::max(1, std::min(kColumns, count));
    rows_ = count == 0 ? 0 : (count + columns_ - 1) / columns_;
    if (count == 0) {
        bodySize_ = kEmptySize;
        scroll_->hide();
    } else {
        const int width =
            columns_ * FolderItemTile::kWidth + (columns_ - 1) * kSpacing + 2 * kGridInset;
        const int gridHeight =
            rows_ * FolderItemTile::kHeight + (rows_ - 1) * kSpacing + 2 * kGridInset;
        bodySize_ = QSize(width, kRowPitch * std::min(rows_, kVisibleRows) + 2 * kGridInset);
        grid_->resize(width, gridHeight);
        scroll_->verticalScrollBar()->setValue(0);
        scroll_->show();
    }
    header_ = measureHeader();
    scroll_->setGeometry(body());
    buildVisibleTiles();
    updateGeometry();
    update();
}

void FolderPopoverView::buildVisibleTiles() {
    const auto& entries = state_.entries();
    if (entries.empty() || columns_ == 0) return;
    const int top = scroll_->verticalScrollBar()->value();
    const int height = std::max(scroll_->viewport()->height(), bodySize_.height());
    // One row beyond each edge, so a scroll never shows a gap before the next paint.
    const int firstRow = std::max(0, (top - kGridInset) / kRowPitch - 1);
    const int lastRow = std::min(rows_ - 1, (top + height) / kRowPitch + 1);
    const int first = firstRow * columns_;
    const int last = std::min(static_cast<int>(entries.size()) - 1, (lastRow + 1) * columns_ - 1);

    for (auto it = tiles_.begin(); it != tiles_.end();) {
        if (it->first < first || it->first > last) {
            it->second->deleteLater();
            it = tiles_.erase(it);
        } else {
            ++it;
        }
    }
    for (int index = first; index <= last; ++index) {
        if (tiles_.count(index)) continue;
        const FolderState::EntryRef& entry = entries[static_cast<std::size_t>(index)];
        auto* tile = new FolderItemTile(entry, context_, grid_);
        tile->onOpen = [this, url = entry->url] {
            if (state_.onOpen) state_.onOpen(url);
        };
        tile->move(kGridInset + (index % columns_) * kColumnPitch,
                   kGridInset + (index / columns_) * kRowPitch);
        tile->show();
        tiles_.emplace(index, tile);
    }
}

QSize FolderPopoverView::measureHeader() const {
    const QFontMetricsF name(context_.headlineFont());
    const QFontMetricsF count(context_.captionFont());
    const qreal nameWidth =
        std::min(name.horizontalAdvance(FolderItemTile::displayName(state_.folderName())),
                 static_cast<qreal>(kHeaderNameMaxWidth));
    const qreal capsuleWidth =
        std::ceil(count.horizontalAdvance(countText(state_))) + 2 * kCountPaddingX;
    const qreal capsuleHeight = count.height() + 2 * kCountPaddingY;
    qreal width = std::ceil(nameWidth) + kHeaderSpacing + capsuleWidth;
    qreal height = std::max(name.height(), capsuleHeight);
    if (!folderIcon_.isNull()) {
        width += kHeaderIconSide + kHeaderSpacing;
        height = std::max<qreal>(height, kHeaderIconSide);
    }
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height))};
}

QRect FolderPopoverView::card() const {
    return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QRect FolderPopoverView::body() const {
    const QRect content =
        card().adjusted(kContentInset, kContentInset, -kContentInset, -kContentInset);
    const int x = content.left() + (content.width() - bodySize_.width()) / 2;
    return {QPoint(x, content.top() + header_.height() + kSpacing), bodySize_};
}

void FolderPopoverView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    GlassStyle glass;
    glass.cornerRadius = kCardRadius;
    glass.opaque = context_.opaqueSurfaces();
    GlassPainter::paint(painter, QRectF(card()), glass, palette());

    const QRect content =
        card().adjusted(kContentInset, kContentInset, -kContentInset, -kContentInset);
    qreal x = content.left() + kHeaderInset;
    const qreal middle = content.top() + header_.height() / 2.0;
    if (!folderIcon_.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(
            QRectF(x, middle - kHeaderIconSide / 2.0, kHeaderIconSide, kHeaderIconSide),
            folderIcon_);
        painter.restore();
        x += kHeaderIconSide + kHeaderSpacing;
    }
    const QFontMetricsF nameMetrics(context_.headlineFont());
    const QString name = FolderItemTile::displayName(state_.folderName());
    const qreal nameWidth = std::ceil(
        std::min(nameMetrics.horizontalAdvance(name), static_cast<qreal>(kHeaderNameMaxWidth)));
    painter.setFont(context_.headlineFont());
    painter.setPen(FolderViewContext::primaryText(palette()));
    painter.drawText(QRectF(x, middle - nameMetrics.height() / 2, nameWidth, nameMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     nameMetrics.elidedText(name, Qt::ElideRight, nameWidth));
    x += nameWidth + kHeaderSpacing;

    const QFontMetricsF countMetrics(context_.captionFont());
    const QString count = countText(state_);
    const QRectF capsule(x, middle - (countMetrics.height() + 2 * kCountPaddingY) / 2,
                         std::ceil(countMetrics.horizontalAdvance(count)) + 2 * kCountPaddingX,
                         countMetrics.height() + 2 * kCountPaddingY);
    GlassStyle badge;
    badge.cornerRadius = capsule.height() / 2;
    badge.opaque = context_.opaqueSurfaces();
    badge.shadow = false;
    GlassPainter::paint(painter, capsule, badge, palette());
    painter.setFont(context_.captionFont());
    painter.setPen(FolderViewContext::secondaryText(palette()));
    painter.drawText(capsule, Qt::AlignCenter, count);

    if (state_.entries().empty()) {
        painter.setFont(context_.calloutFont());
        painter.drawText(QRectF(body()), Qt::AlignCenter, QStringLiteral("Empty folder"));
    }
}

void FolderPopoverView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setPointerInside(true);
}

void FolderPopoverView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setPointerInside(false);
}

void FolderPopoverView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scroll_->setGeometry(body());
    buildVisibleTiles();
}

void FolderPopoverView::setPointerInside(bool inside) {
    if (pointerInside_ == inside) return;
    pointerInside_ = inside;
    if (onPanelHoverChange) {
        const auto report = onPanelHoverChange;
        report(inside);
    }
}

}  // namespace vantorel

#include "widgets/FolderPopoverView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
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
    : PopoverView(context_, appearance, parent), state_(state), context_(appearance) {
    grid_ = new QWidget;
    scroll_ = addScrollArea(grid_);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { buildVisibleTiles(); });
    connect(&appearance, &Appearance::changed, this, [this] {
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
    header_ = measureTitleHeader(folderIcon_, FolderItemTile::displayName(state_.folderName()),
                                 countText(state_))
                  .toSize();
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

QRect FolderPopoverView::body() const {
    const QRect content = this->content();
    const int x = content.left() + (content.width() - bodySize_.width()) / 2;
    return {QPoint(x, content.top() + header_.height() + kSpacing), bodySize_};
}

void FolderPopoverView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintCard(painter, QRectF(card()), kCardRadius);
    paintTitleHeader(painter, content().left() + kHeaderInset,
                     content().top() + header_.height() / 2.0, folderIcon_,
                     FolderItemTile::displayName(state_.folderName()), countText(state_));
    if (state_.entries().empty()) {
        painter.setFont(context_.calloutFont());
        painter.drawText(QRectF(body()), Qt::AlignCenter, QStringLiteral("Empty folder"));
    }
}

void FolderPopoverView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scroll_->setGeometry(body());
    buildVisibleTiles();
}

}  // namespace vantorel

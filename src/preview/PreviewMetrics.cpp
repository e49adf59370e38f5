#include "preview/PreviewMetrics.h"

#include <algorithm>
#include <cmath>

namespace vantorel {
namespace {

double sane(double length) {
    return std::isfinite(length) && length > 0 ? length : 0;
}

// Length of `count` items of `item` with `gap` between them.
double run(int count, double item, double gap) {
    return count <= 0 ? 0 : count * item + (count - 1) * gap;
}

}  // namespace

double PreviewMetrics::scale(PreviewSize size) {
    switch (size) {
        case PreviewSize::small:
            return 0.82;
        case PreviewSize::medium:
            return 1.0;
        case PreviewSize::large:
            return 1.3;
    }
    return 1.0;
}

PreviewMetrics::PreviewMetrics(const Input& input)
    : input_(input), count_(std::max(input.cardCount, 0)), scale_(scale(input.size)) {
    switch (input_.layout) {
        case PreviewLayout::automatic:
            layOutRow();
            break;
        case PreviewLayout::grid:
            layOutGrid();
            break;
        case PreviewLayout::list:
            layOutList();
            break;
        case PreviewLayout::large:
            layOutLarge();
            break;
    }

    const Size header{sane(input_.header.width), sane(input_.header.height)};
    const double contentWidth = std::max(bodySize_.width, header.width);
    // An empty layout takes no room, and neither does the spacing before it.
    const double spacing = bodySize_.height > 0 ? kContentSpacing : 0;
    const double contentHeight = header.height + spacing + bodySize_.height;

    const double inset = kPanelMargin + kContentPadding;
    surface_ = Rect(kPanelMargin, kPanelMargin, contentWidth + 2 * kContentPadding,
                    contentHeight + 2 * kContentPadding);
    panel_ = {surface_.width() + 2 * kPanelMargin, surface_.height() + 2 * kPanelMargin};
    header_ = Rect(inset, inset, contentWidth, header.height);
    body_ = Rect(inset, inset + header.height + spacing, bodySize_.width, bodySize_.height);
}

void PreviewMetrics::layOutRow() {
    ruleSize_ = {scale_ * kBaseCard.width, scale_ * kBaseCard.height};
    itemSize_ = {ruleSize_.width, ruleSize_.height + kCardTitleBand};
    columns_ = std::max(count_, 1);
    rows_ = count_ > 0 ? 1 : 0;
    const int visible = std::clamp(count_, 1, kRowVisibleCards);
    bodyLimit_ = {run(visible, ruleSize_.width, kSpacing) + 2 * kLayoutPadding,
                  ruleSize_.height + kRowExtraHeight};
    content_ = {run(count_, ruleSize_.width, kSpacing) + 2 * kLayoutPadding, bodyLimit_.height};
    bodySize_ = {std::min(content_.width, bodyLimit_.width), bodyLimit_.height};
}

void PreviewMetrics::layOutGrid() {
    ruleSize_ = {scale_ * kBaseCard.width, scale_ * kBaseCard.height};
    itemSize_ = {ruleSize_.width, ruleSize_.height + kCardTitleBand};
    columns_ = std::clamp(count_, 1, kGridColumns);
    rows_ = (count_ + columns_ - 1) / columns_;
    bodyLimit_ = {run(columns_, ruleSize_.width, kSpacing) + 2 * kLayoutPadding,
                  (ruleSize_.height + kRowExtraHeight) * std::min(rows_, kGridVisibleRows) +
                      2 * kLayoutPadding};
    content_ = {bodyLimit_.width, run(rows_, itemSize_.height, kSpacing) + 2 * kLayoutPadding};
    bodySize_ = {bodyLimit_.width, std::min(content_.height, bodyLimit_.height)};
}

void PreviewMetrics::layOutList() {
    ruleSize_ = {scale_ * kListThumbnail.width, scale_ * kListThumbnail.height};
    itemSize_ = {kListWidth - 2 * kLayoutPadding, ruleSize_.height + 2 * kListRowPaddingY};
    columns_ = 1;
    rows_ = count_;
    bodyLimit_ = {kListWidth,
                  (ruleSize_.height + kListRowExtraHeight) * std::min(count_, kListVisibleRows) +
                      2 * kLayoutPadding};
    content_ = {kListWidth, run(count_, itemSize_.height, kListSpacing) + 2 * kLayoutPadding};
    bodySize_ = {kListWidth, std::min(content_.height, bodyLimit_.height)};
}

void PreviewMetrics::layOutLarge() {
    heroRule_ = {std::min(scale_ * kBaseCard.width * kHeroFactor, kHeroMax.width),
                 std::min(scale_ * kBaseCard.height * kHeroFactor, kHeroMax.height)};
    ruleSize_ = heroRule_;
    itemSize_ = {heroRule_.width, heroRule_.height + kCardTitleBand};
    columns_ = 1;
    rows_ = std::min(count_, 1);
    if (count_ == 0) {
        bodyLimit_ = bodySize_ = {};
        return;
    }
    hero_ = Rect(0, 0, itemSize_.width, itemSize_.height);
    double height = hero_.height();
    if (count_ >= 2) {
        stripContent_ = {run(count_, kStripThumbnail.width, kStripSpacing) + 2 * kLayoutPadding,
                         kStripThumbnail.height + 2 * kLayoutPadding};
        const double stripWidth = std::min(stripContent_.width, hero_.width());
        height += kLargeSpacing;
        strip_ = Rect((hero_.width() - stripWidth) / 2, height, stripWidth, stripContent_.height);
        height += strip_.height();
    }
    bodyLimit_ = bodySize_ = {hero_.width(), height};
}

Rect PreviewMetrics::itemFrame(int index) const {
    if (index < 0 || index >= count_) return {};
    switch (input_.layout) {
        case PreviewLayout::automatic: {
            // Centred in the row's height.
            const double y = (content_.height - itemSize_.height) / 2;
            return Rect(kLayoutPadding + index * (itemSize_.width + kSpacing), y, itemSize_.width,
                        itemSize_.height);
        }
        case PreviewLayout::grid: {
            const int column = index % columns_;
            const int row = index / columns_;
            return Rect(kLayoutPadding + column * (itemSize_.width + kSpacing),
                        kLayoutPadding + row * (itemSize_.height + kSpacing), itemSize_.width,
                        itemSize_.height);
        }
        case PreviewLayout::list:
            return Rect(kLayoutPadding, kLayoutPadding + index * (itemSize_.height + kListSpacing),
                        itemSize_.width, itemSize_.height);
        case PreviewLayout::large:
            return index == 0 ? hero_ : Rect();
    }
    return {};
}

std::pair<int, int> PreviewMetrics::visibleItems(const Rect& viewport) const {
    if (count_ == 0) return {0, 0};
    // Index range of items along one axis whose span [start + i·pitch, … + extent) meets
    // [from, to).
    const auto span = [](double from, double to, double start, double extent, double pitch,
                         int count) -> std::pair<int, int> {
        if (!(to > from) || !std::isfinite(from) || !std::isfinite(to)) return {0, 0};
        const double first = std::floor((from - start - extent) / pitch) + 1;
        const double last = std::ceil((to - start) / pitch);
        const int a = static_cast<int>(std::clamp(first, 0.0, static_cast<double>(count)));
        const int b = static_cast<int>(std::clamp(last, 0.0, static_cast<double>(count)));
        return {a, std::max(a, b)};
    };
    switch (input_.layout) {
        case PreviewLayout::automatic:
            return span(viewport.minX(), viewport.maxX(), kLayoutPadding, itemSize_.width,
                        itemSize_.width + kSpacing, count_);
        case PreviewLayout::grid: {
            const auto [firstRow, lastRow] =
                span(viewport.minY(), viewport.maxY(), kLayoutPadding, itemSize_.height,
                     itemSize_.height + kSpacing, rows_);
            return {std::min(firstRow * columns_, count_), std::min(lastRow * columns_, count_)};
        }
        case PreviewLayout::list:
            return span(viewport.minY(), viewport.maxY(), kLayoutPadding, itemSize_.height,
                        itemSize_.height + kListSpacing, count_);
        case PreviewLayout::large:
            return {0, std::min(count_, 1)};
    }
    return {0, 0};
}

Rect PreviewMetrics::stripButtonFrame(int index) const {
    if (input_.layout != PreviewLayout::large || count_ < 2 || index < 0 || index >= count_) {
        return {};
    }
    return Rect(kLayoutPadding + index * (kStripThumbnail.width + kStripSpacing), kLayoutPadding,
                kStripThumbnail.width, kStripThumbnail.height);
}

Rect PreviewMetrics::cardThumbnailFrame(Size card, double titleHeight) {
    const double width = std::max(card.width - 2 * kCardPadding, 0.0);
    const double height =
        std::max(card.height - 2 * kCardPadding - kCardSpacing - sane(titleHeight), 0.0);
    return Rect(kCardPadding, kCardPadding, width, height);
}

Rect PreviewMetrics::cardTitleFrame(Size card, double titleHeight) {
    const Rect thumbnail = cardThumbnailFrame(card, titleHeight);
    return Rect(kCardPadding, thumbnail.maxY() + kCardSpacing, thumbnail.width(),
                sane(titleHeight));
}

Rect PreviewMetrics::cardControlFrame(const Rect& thumbnail, int index) {
    // Top trailing: the leading corner is where a window keeps its own title-bar buttons.
    const double left = thumbnail.maxX() - kControlInset - 2 * kControlSide - kControlSpacing;
    return Rect(left + index * (kControlSide + kControlSpacing), thumbnail.minY() + kControlInset,
                kControlSide, kControlSide);
}

Rect PreviewMetrics::rowThumbnailFrame(Size row, Size thumbnail) {
    return Rect(kListRowPaddingX, (row.height - thumbnail.height) / 2, thumbnail.width,
                thumbnail.height);
}

Rect PreviewMetrics::rowControlFrame(Size row, int index) {
    // In the same order as on a card, the pair ending at the row's trailing padding.
    const double left = row.width - kListRowPaddingX - 2 * kControlSide - kControlSpacing +
                        index * (kControlSide + kControlSpacing);
    return Rect(left, (row.height - kControlSide) / 2, kControlSide, kControlSide);
}

Rect PreviewMetrics::rowTitleFrame(Size row, Size thumbnail, double titleHeight,
                                   bool controlsShown) {
    const double left = kListRowPaddingX + thumbnail.width + kListRowSpacing;
    double right = row.width - kListRowPaddingX;
    if (controlsShown) right = rowControlFrame(row, 0).minX() - kListRowSpacing;
    const double height = sane(titleHeight);
    return Rect(left, (row.height - height) / 2, std::max(right - left, 0.0), height);
}

}  // namespace vantorel

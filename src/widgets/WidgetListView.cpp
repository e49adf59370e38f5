#include "widgets/WidgetListView.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/SymbolTable.h"

namespace vantorel {

WidgetListView::WidgetListView(Appearance& appearance, const SymbolTable& symbols, QWidget* parent)
    : PopoverView(context_, appearance, parent), context_(appearance), symbols_(symbols) {
    list_ = new QWidget;
    scroll_ = addScrollArea(list_);
    scroll_->hide();
    connect(&appearance, &Appearance::changed, this, [this] {
        for (WidgetRow* row : rows_)
            row->update();
    });
}

WidgetListView::~WidgetListView() = default;

QColor WidgetListView::toQColor(const WidgetColor& color) {
    switch (color.system) {
        case WidgetColor::System::blue:
            return QColor(0, 122, 255);
        case WidgetColor::System::gray:
            return QColor(142, 142, 147);
        case WidgetColor::System::none:
            break;
    }
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

WidgetRow* WidgetListView::rowAt(int index) const {
    return index >= 0 && index < rowCount() ? rows_[static_cast<std::size_t>(index)] : nullptr;
}

int WidgetListView::headerHeight() const {
    const QFontMetricsF headline(context_.headlineFont());
    qreal height = headline.height();
    if (content_.badge) height = std::max(height, countBadgeSize(*content_.badge).height());
    return static_cast<int>(std::ceil(height));
}

int WidgetListView::emptyHeight() const {
    const QFontMetricsF callout(context_.calloutFont());
    return static_cast<int>(std::ceil(callout.height())) + 2 * kEmptyInsetY;
}

QSize WidgetListView::sizeHint() const {
    const int body = content_.rows.empty() ? emptyHeight() : listHeight_;
    return {kWidth, 2 * (kMargin + kContentInset) + headerHeight() + kSpacing + body};
}

QRect WidgetListView::body() const {
    const QRect inner = content();
    const int top = inner.top() + headerHeight() + kSpacing;
    return {inner.left(), top, inner.width(), content_.rows.empty() ? emptyHeight() : listHeight_};
}

void WidgetListView::setContent(Content content) {
    content_ = std::move(content);
    emptyText_ = content_.emptyText;
    // Set only on a change, as each is announced; the panel's window carries the name too.
    if (accessibleName() != content_.accessibleName) setAccessibleName(content_.accessibleName);
    if (QWidget* panel = window(); panel != this && panel->accessibleName() != accessibleName()) {
        panel->setAccessibleName(accessibleName());
    }

    for (WidgetRow* row : rows_)
        delete row;
    rows_.clear();
    const int width = kWidth - 2 * (kMargin + kContentInset) - 2 * kListInset;
    int y = 0;
    for (const Row& spec : content_.rows) {
        auto* row = new WidgetRow(context_, spec.paint, list_);
        row->setAccessibleName(spec.accessibleName);
        row->setGeometry(kListInset, y, width, spec.height);
        row->onClick = [this] {
            if (onRowClick) {
                const auto click = onRowClick;
                click();
            }
        };
        row->show();
        rows_.push_back(row);
        y += spec.height + kListSpacing;
    }
    const int contentHeight = rows_.empty() ? 0 : y - kListSpacing;
    list_->resize(width + 2 * kListInset, contentHeight);
    listHeight_ = rows_.empty()         ? 0
                  : content_.listHeight ? content_.listHeight(contentHeight)
                                        : contentHeight;
    scroll_->verticalScrollBar()->setValue(0);
    scroll_->setVisible(!rows_.empty());
    scroll_->setGeometry(body());
    updateGeometry();
    update();
}

void WidgetListView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintCard(painter, QRectF(card()), kCardRadius);

    const QRect inner = content();
    const QFontMetricsF headline(context_.headlineFont());
    const qreal middle = inner.top() + headerHeight() / 2.0;
    qreal x = inner.left() + kHeaderInset;
    const qreal symbolSide = std::round(headline.height());
    symbols_.draw(painter, QRectF(x, middle - symbolSide / 2, symbolSide, symbolSide),
                  content_.symbol, GlassPainter::accentColor(palette()));
    x += symbolSide + kHeaderSpacing;
    const qreal titleRoom =
        inner.right() - kHeaderInset - x -
        (content_.badge ? countBadgeSize(*content_.badge).width() + kHeaderSpacing : 0);
    const qreal titleWidth = std::min(std::ceil(headline.horizontalAdvance(content_.title)),
                                      std::max<qreal>(0, titleRoom));
    painter.setFont(context_.headlineFont());
    painter.setPen(PanelViewContext::primaryText(palette()));
    painter.drawText(QRectF(x, middle - headline.height() / 2, titleWidth, headline.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     headline.elidedText(content_.title, Qt::ElideRight, titleWidth));
    if (content_.badge)
        paintCountBadge(painter, x + titleWidth + kHeaderSpacing, middle, *content_.badge);

    if (content_.rows.empty()) {
        const QRectF line =
            QRectF(body()).adjusted(kHeaderInset, kEmptyInsetY, -kHeaderInset, -kEmptyInsetY);
        const QFontMetricsF callout(context_.calloutFont());
        const qreal side = std::round(callout.height());
        const QColor secondary = PanelViewContext::secondaryText(palette());
        symbols_.draw(painter, QRectF(line.left(), line.center().y() - side / 2, side, side),
                      QStringLiteral("checkmark.circle"), secondary);
        painter.setFont(context_.calloutFont());
        painter.setPen(secondary);
        painter.drawText(line.adjusted(side + kHeaderSpacing, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, content_.emptyText);
    }
}

void WidgetListView::resizeEvent(QResizeEvent* event) {
    PopoverView::resizeEvent(event);
    scroll_->setGeometry(body());
}

}  // namespace vantorel

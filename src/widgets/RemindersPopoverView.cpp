#include "widgets/RemindersPopoverView.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "platform/qt/SymbolTable.h"

namespace vantorel {

RemindersPopoverView::RemindersPopoverView(RemindersState& state, Appearance& appearance,
                                           const SymbolTable& symbols, QWidget* parent)
    : WidgetListView(appearance, symbols, parent), state_(state) {
    onRowClick = [this] {
        if (state_.onOpenReminders) state_.onOpenReminders();
    };
    subscription_ = state_.observe([this] { rebuild(); });
    rebuild();
}

int RemindersPopoverView::listHeightFor(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, kVisibleRows)) * kRowPitch + 8;
}

void RemindersPopoverView::rebuild() {
    const QFontMetricsF title(context().calloutFont());
    const QFontMetricsF caption(context().captionFont());
    const int textHeight = static_cast<int>(std::ceil(title.height() + 2 + caption.height()));
    const int rowHeight = std::max(kCircleSide, textHeight) + 2 * WidgetRow::kPaddingY;

    Content content;
    content.symbol = QStringLiteral("checklist");
    content.title = QStringLiteral("Reminders");
    const std::size_t count = state_.items().size();
    content.badge = QString::number(static_cast<qulonglong>(count));
    content.emptyText = QStringLiteral("Nothing due today");
    content.accessibleName = QStringLiteral("Reminders due today, ") + *content.badge +
                             QStringLiteral(" item") +
                             (count != 1 ? QStringLiteral("s") : QString());
    content.listHeight = [count](int) { return listHeightFor(count); };
    for (const RemindersState::ItemRef& item : state_.items()) {
        Row row;
        row.height = rowHeight;
        row.accessibleName = QString::fromStdString(item->title) + QStringLiteral(", ") +
                             QString::fromStdString(item->dueText);
        row.paint = [this, item](QPainter& painter, const QRectF& box) {
            const QFontMetricsF titleMetrics(context().calloutFont());
            const QFontMetricsF captionMetrics(context().captionFont());
            symbols().draw(
                painter,
                QRectF(box.left(), box.center().y() - kCircleSide / 2.0, kCircleSide, kCircleSide),
                QStringLiteral("circle"), toQColor(item->color));
            qreal x = box.left() + kCircleSide + kRowSpacing;
            const qreal top =
                box.center().y() - (titleMetrics.height() + 2 + captionMetrics.height()) / 2;
            if (item->isHighPriority) {
                const QFontMetricsF mark(context().caption2Font());
                const qreal side = std::round(mark.height());
                symbols().draw(painter,
                               QRectF(x, top + (titleMetrics.height() - side) / 2, side, side),
                               QStringLiteral("exclamationmark"), QColor(255, 149, 0));
                x += side + 2;
            }
            const qreal width = std::max<qreal>(0, box.right() - x);
            painter.setFont(context().calloutFont());
            painter.setPen(PanelViewContext::primaryText(palette()));
            painter.drawText(QRectF(x, top, width, titleMetrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             titleMetrics.elidedText(QString::fromStdString(item->title),
                                                     Qt::ElideRight, width));
            const qreal textX = box.left() + kCircleSide + kRowSpacing;
            QColor dueColor = PanelViewContext::secondaryText(palette());
            if (item->isOverdue) dueColor = QColor::fromRgbF(1.0f, 0.231f, 0.188f, 0.9f);
            painter.setFont(context().captionFont());
            painter.setPen(dueColor);
            painter.drawText(QRectF(textX, top + titleMetrics.height() + 2, box.right() - textX,
                                    captionMetrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             captionMetrics.elidedText(QString::fromStdString(item->dueText),
                                                       Qt::ElideRight, box.right() - textX));
        };
        content.rows.push_back(std::move(row));
    }
    setContent(std::move(content));
}

}  // namespace vantorel

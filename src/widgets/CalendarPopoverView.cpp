#include "widgets/CalendarPopoverView.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vantorel {

CalendarPopoverView::CalendarPopoverView(CalendarState& state, Appearance& appearance,
                                         const SymbolTable& symbols, QWidget* parent)
    : WidgetListView(appearance, symbols, parent), state_(state) {
    onRowClick = [this] {
        if (state_.onOpenCalendar) state_.onOpenCalendar();
    };
    subscription_ = state_.observe([this] { rebuild(); });
    rebuild();
}

void CalendarPopoverView::rebuild() {
    const QFontMetricsF title(context().calloutFont());
    const QFontMetricsF caption(context().captionFont());
    const int textHeight = static_cast<int>(std::ceil(title.height() + 2 + caption.height()));
    const int rowHeight = std::max(kBarHeight, textHeight) + 2 * WidgetRow::kPaddingY;

    Content content;
    content.symbol = QStringLiteral("calendar");
    content.title = QString::fromStdString(state_.dayLabel());
    content.emptyText = QStringLiteral("No events today");
    const std::size_t count = state_.events().size();
    content.accessibleName =
        QStringLiteral("Today's calendar, ") + QString::number(static_cast<qulonglong>(count)) +
        QStringLiteral(" event") + (count != 1 ? QStringLiteral("s") : QString());
    content.listHeight = [](int height) { return std::min(height, kMaxListHeight); };
    for (const CalendarState::EventRef& event : state_.events()) {
        Row row;
        row.height = rowHeight;
        row.accessibleName = QString::fromStdString(event->title) + QStringLiteral(", ") +
                             QString::fromStdString(event->timeText);
        row.paint = [this, event](QPainter& painter, const QRectF& box) {
            const QFontMetricsF titleMetrics(context().calloutFont());
            const QFontMetricsF captionMetrics(context().captionFont());
            painter.setPen(Qt::NoPen);
            painter.setBrush(toQColor(event->color));
            painter.drawRoundedRect(
                QRectF(box.left(), box.center().y() - kBarHeight / 2.0, kBarWidth, kBarHeight), 2,
                2);
            const qreal x = box.left() + kBarWidth + kBarGap;
            const qreal width = box.right() - x;
            const qreal top =
                box.center().y() - (titleMetrics.height() + 2 + captionMetrics.height()) / 2;
            const QString name = QString::fromStdString(event->title);
            painter.setFont(context().calloutFont());
            painter.setPen(PanelViewContext::primaryText(palette()));
            painter.drawText(QRectF(x, top, width, titleMetrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             titleMetrics.elidedText(name, Qt::ElideRight, width));
            const qreal second = top + titleMetrics.height() + 2;
            const QString time = QString::fromStdString(event->timeText);
            const qreal timeWidth =
                std::min(std::ceil(captionMetrics.horizontalAdvance(time)), width);
            painter.setFont(context().captionFont());
            painter.setPen(PanelViewContext::secondaryText(palette()));
            painter.drawText(QRectF(x, second, timeWidth, captionMetrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             captionMetrics.elidedText(time, Qt::ElideRight, timeWidth));
            if (event->location) {
                const qreal locationX = x + timeWidth + 6;
                const qreal room = std::max<qreal>(0, box.right() - locationX);
                painter.setPen(PanelViewContext::tertiaryText(palette()));
                painter.drawText(
                    QRectF(locationX, second, room, captionMetrics.height()),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    captionMetrics.elidedText(
                        QStringLiteral("· ") + QString::fromStdString(*event->location),
                        Qt::ElideRight, room));
            }
        };
        content.rows.push_back(std::move(row));
    }
    setContent(std::move(content));
}

}  // namespace vantorel

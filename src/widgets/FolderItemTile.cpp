#include "widgets/FolderItemTile.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include "platform/qt/ImageConversion.h"
#include "platform/qt/PanelViewContext.h"
#include "widgets/WidgetRow.h"

namespace vantorel {
namespace {

QTextOption nameOption() {
    QTextOption option(Qt::AlignHCenter | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

int lineCount(const QString& text, const QFont& font, qreal width) {
    QTextLayout layout(text, font);
    layout.setTextOption(nameOption());
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return lines;
}

}  // namespace

FolderItemTile::FolderItemTile(FolderState::EntryRef entry, const PanelViewContext& context,
                               QWidget* parent)
    : QAbstractButton(parent), entry_(std::move(entry)), context_(context) {
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_Hover, true);
    icon_ = toQImage(entry_->icon);
    const QString name = displayName(entry_->name);
    text_ = fittedName(name, context_.caption2Font(), kWidth - 2 * kInset);
    setAccessibleName(name);
    setAccessibleDescription(entry_->isDirectory ? QStringLiteral("Opens this folder")
                                                 : QStringLiteral("Opens this file"));
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onOpen) {
            const auto open = onOpen;
            open();
        }
    });
}

QString FolderItemTile::displayName(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

QString FolderItemTile::fittedName(const QString& name, const QFont& font, qreal width) {
    if (lineCount(name, font, width) <= 2) return name;
    // Shorten in the middle until the rest wraps into two lines.
    const QFontMetricsF metrics(font);
    for (qreal budget = width * 2; budget > width; budget -= metrics.averageCharWidth()) {
        const QString shortened = metrics.elidedText(name, Qt::ElideMiddle, budget);
        if (lineCount(shortened, font, width) <= 2) return shortened;
    }
    return metrics.elidedText(name, Qt::ElideMiddle, width);
}

void FolderItemTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    WidgetRow::paintInteractiveGlass(painter, QRectF(rect()), kRadius, context_.opaqueSurfaces(),
                                     isHovering_, palette());

    const QRectF inner = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
    const QRectF iconRect(inner.center().x() - kIconSide / 2.0, inner.top(), kIconSide, kIconSide);
    if (!icon_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(iconRect, icon_);
    }
    const QRectF textRect(inner.left(), iconRect.bottom() + kStackSpacing, inner.width(),
                          inner.bottom() - iconRect.bottom() - kStackSpacing);
    painter.setFont(context_.caption2Font());
    painter.setPen(PanelViewContext::primaryText(palette()));
    painter.drawText(textRect, text_, nameOption());
}

void FolderItemTile::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    isHovering_ = true;
    update();
}

void FolderItemTile::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    isHovering_ = false;
    update();
}

}  // namespace vantorel

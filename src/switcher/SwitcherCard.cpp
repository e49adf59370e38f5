#include "switcher/SwitcherCard.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QPainter>
#include <QTimerEvent>
#include <QVariantAnimation>

#include <cmath>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/ImageConversion.h"
#include "platform/qt/PanelViewContext.h"
#include "platform/qt/Spring.h"
#include "platform/qt/SymbolTable.h"
#include "preview/PreviewPainter.h"

namespace vantorel {
namespace {

const Spring kSelectionSpring(0.26, 0.74);
constexpr qreal kImageRadius = 10;
constexpr qreal kHighlightRadius = 16;
constexpr qreal kBadgeFont = 15;
constexpr qreal kBadgePadding = 5;
constexpr qreal kIconShare = 0.52;
constexpr qreal kNameIcon = 16;
constexpr qreal kNameSpacing = 5;

QFont caption2Font() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    return font;
}

// One element for the whole card: a button labelled with the application and the title, and
// selected while highlighted.
class SwitcherCardAccessible final : public QAccessibleWidget {
public:
    explicit SwitcherCardAccessible(SwitcherCard* card)
        : QAccessibleWidget(card, QAccessible::Button) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = static_cast<SwitcherCard*>(widget())->isSelected();
        return s;
    }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    if (auto* card = qobject_cast<SwitcherCard*>(object)) return new SwitcherCardAccessible(card);
    return nullptr;
}

void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace

SwitcherCard::SwitcherCard(Appearance& appearance, const SymbolTable& symbols, QSizeF imageSize,
                           QWidget* parent)
    : QWidget(parent), appearance_(appearance), symbols_(symbols), imageSize_(imageSize) {
    installAccessibleFactory();
    setFocusPolicy(Qt::NoFocus);
    scaleAnimation_ = new QVariantAnimation(this);
    scaleAnimation_->setStartValue(0.0);
    scaleAnimation_->setEndValue(1.0);
    scaleAnimation_->setDuration(kSelectionSpring.durationMs());
    connect(scaleAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        const double seconds = v.toDouble() * scaleAnimation_->duration() / 1000.0;
        setScale(scaleFrom_ + (scaleTo_ - scaleFrom_) * kSelectionSpring.progress(seconds));
    });
}

SwitcherCard::~SwitcherCard() = default;

QSizeF SwitcherCard::cardSize(QSizeF imageSize) {
    return {imageSize.width() + 2 * kPadding,
            kPadding + imageSize.height() + kSpacing + kNameRowHeight + kPadding};
}

void SwitcherCard::bind(const SwitcherState::Item& item, bool selected) {
    item_ = item;
    thumbnail_ = toQImage(item_.thumbnail);
    if (!thumbnail_.isNull()) thumbnail_.setDevicePixelRatio(2);
    icon_ = toQImage(item_.appIcon);
    setAccessibleName(QString::fromStdString(item_.appName) + QStringLiteral(": ") +
                      QString::fromStdString(item_.displayTitle()));
    // A card taken for another window starts from rest.
    scaleAnimation_->stop();
    selected_ = !selected;
    setSelected(selected);
    finishAnimations();
    updateProgressTimer();
    update();
}

void SwitcherCard::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);

    const qreal target = selected_ && !appearance_.reduceMotion() ? kSelectedScale : 1;
    scaleAnimation_->stop();
    if (appearance_.reduceMotion() || !isVisible()) {
        setScale(target);
    } else {
        scaleFrom_ = scale_;
        scaleTo_ = target;
        scaleAnimation_->start();
    }
    update();
}

void SwitcherCard::placeInSlot(const QRectF& slot) {
    // Room for the enlargement and the spring's overshoot beyond it.
    margin_ = std::ceil(std::max(slot.width(), slot.height()) * (kSelectedScale - 1) * 0.6) + 1;
    setGeometry(slot.adjusted(-margin_, -margin_, margin_, margin_).toAlignedRect());
}

void SwitcherCard::finishAnimations() {
    if (scaleAnimation_->state() == QAbstractAnimation::Running) {
        scaleAnimation_->setCurrentTime(scaleAnimation_->totalDuration());
    }
}

QRectF SwitcherCard::cardRect() const {
    return {QPointF(margin_, margin_), cardSize(imageSize_)};
}

void SwitcherCard::setScale(qreal scale) {
    if (qFuzzyCompare(scale_, scale)) return;
    scale_ = scale;
    update();
}

void SwitcherCard::updateProgressTimer() {
    if (isVisible() && showsProgress()) {
        if (!progressTimer_.isActive()) progressTimer_.start(kProgressTickMs, this);
    } else {
        progressTimer_.stop();
    }
}

void SwitcherCard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateProgressTimer();
}

void SwitcherCard::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateProgressTimer();
}

void SwitcherCard::timerEvent(QTimerEvent* event) {
    if (event->timerId() != progressTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    phase_ = (phase_ + 1) % PreviewPainter::kProgressSpokes;
    update();
}

void SwitcherCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QPalette& colors = palette();
    const QRectF card = cardRect();

    // Drawn at rest and scaled about the card's centre.
    const QPointF centre = card.center();
    painter.translate(centre);
    painter.scale(scale_, scale_);
    painter.translate(-centre);

    if (selected_) {
        const QPainterPath highlight = GlassPainter::shape(card, kHighlightRadius);
        QColor fill = GlassPainter::accentColor(colors);
        fill.setAlphaF(0.26f);
        painter.fillPath(highlight, fill);
        QColor border = GlassPainter::accentColor(colors);
        border.setAlphaF(0.85f);
        const qreal width = 1.5;
        painter.strokePath(
            GlassPainter::shape(card.adjusted(width / 2, width / 2, -width / 2, -width / 2),
                                kHighlightRadius - width / 2),
            QPen(border, width));
    }

    const QRectF image(card.left() + kPadding, card.top() + kPadding, imageSize_.width(),
                       imageSize_.height());
    const QPainterPath imageShape = GlassPainter::shape(image, kImageRadius);
    painter.fillPath(imageShape, QColor(255, 255, 255, qRound(255 * 0.06)));
    painter.save();
    painter.setClipPath(imageShape);
    if (!thumbnail_.isNull()) {
        // Aspect fill: the image covers the area and its overflow is cut.
        const QSizeF source = thumbnail_.deviceIndependentSize();
        const qreal factor =
            std::max(image.width() / source.width(), image.height() / source.height());
        const QSizeF drawn = source * factor;
        painter.drawImage(
            QRectF(image.center() - QPointF(drawn.width() / 2, drawn.height() / 2), drawn),
            thumbnail_);
    } else if (!icon_.isNull()) {
        const qreal side = image.height() * kIconShare;
        painter.setOpacity(item_.window.isMinimized ? 0.8 : 1.0);
        painter.drawImage(QRectF(image.center() - QPointF(side / 2, side / 2), QSizeF(side, side)),
                          icon_);
        painter.setOpacity(1);
    } else {
        PreviewPainter::paintProgress(painter, image.center(), 16, phase_,
                                      PanelViewContext::secondaryText(colors));
    }
    painter.restore();

    if (item_.window.isMinimized) {
        const QRectF badge(image.right() - kBadgePadding - kBadgeFont,
                           image.bottom() - kBadgePadding - kBadgeFont, kBadgeFont, kBadgeFont);
        // White showing through the secondary-coloured disc's minus.
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(badge.adjusted(3, 3, -3, -3));
        symbols_.draw(painter, badge, QStringLiteral("minus.circle.fill"), QColor(142, 142, 147));
    }

    const qreal border = 1;
    painter.strokePath(
        GlassPainter::shape(image.adjusted(border / 2, border / 2, -border / 2, -border / 2),
                            kImageRadius - border / 2),
        QPen(QColor(255, 255, 255, qRound(255 * (selected_ ? 0.22 : 0.08))), border));

    // The name row, centred under the image and no wider than it.
    const QFont font = caption2Font();
    const QFontMetricsF metrics(font);
    const qreal rowTop = image.bottom() + kSpacing;
    const qreal iconWidth = icon_.isNull() ? 0 : kNameIcon + kNameSpacing;
    const QString name = metrics.elidedText(QString::fromStdString(item_.appName), Qt::ElideRight,
                                            image.width() - iconWidth);
    const qreal rowWidth = iconWidth + metrics.horizontalAdvance(name);
    qreal x = image.center().x() - rowWidth / 2;
    if (!icon_.isNull()) {
        painter.drawImage(QRectF(x, rowTop, kNameIcon, kNameIcon), icon_);
        x += iconWidth;
    }
    painter.setFont(font);
    painter.setPen(selected_ ? PanelViewContext::primaryText(colors)
                             : PanelViewContext::secondaryText(colors));
    painter.drawText(QRectF(x, rowTop, rowWidth - iconWidth + 1, kNameRowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, name);
}

}  // namespace vantorel

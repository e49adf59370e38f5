#include "preview/WindowItemView.h"

#include <QAccessible>
#include <QHash>
#include <QMouseEvent>
#include <QVariantAnimation>

#include "platform/qt/ImageConversion.h"
#include "preview/HoverControlButton.h"
#include "preview/PreviewAccessible.h"
#include "preview/PreviewPainter.h"
#include "preview/PreviewViewContext.h"

namespace vantorel {
namespace {

const QString kCloseLabel = QStringLiteral("Close window");
const QString kMinimizeLabel = QStringLiteral("Minimize window");
const QString kRestoreLabel = QStringLiteral("Restore window");
const QString kActivateHint = QStringLiteral("Activates this window");

// Live frames of several windows land in one pass of the event loop: their wells are drawn
// again together, in one rectangle of the panel, so that each layer beneath is copied once, with
// a plain rectangle for its clip, rather than once per frame.
void updateTogether(QWidget* view, const QRect& rect) {
    static QHash<QWidget*, QRect> pending;
    QWidget* panel = view->window();
    QRect& area = pending[panel];
    if (area.isNull()) {
        QMetaObject::invokeMethod(
            panel,
            [panel] {
                panel->update(pending.value(panel));
                pending.remove(panel);
            },
            Qt::QueuedConnection);
    }
    area |= QRect(view->mapTo(panel, rect.topLeft()), rect.size());
}

}  // namespace

WindowItemView::WindowItemView(PreviewViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    PreviewAccessible::install();
    setFocusPolicy(Qt::NoFocus);
    setAccessibleDescription(kActivateHint);

    close_ = new HoverControlButton(context_, this);
    close_->setSymbol(QStringLiteral("xmark"), kCloseLabel);
    minimize_ = new HoverControlButton(context_, this);
    close_->hide();
    minimize_->hide();
    connect(close_, &QAbstractButton::clicked, this, [this] { requestClose(); });
    connect(minimize_, &QAbstractButton::clicked, this, [this] { requestMinimizeToggle(); });

    controlsFade_ = new QVariantAnimation(this);
    controlsFade_->setDuration(kControlsFadeMs);
    controlsFade_->setStartValue(0.0);
    controlsFade_->setEndValue(1.0);
    connect(controlsFade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        close_->setOpacity(value.toReal());
        minimize_->setOpacity(value.toReal());
    });
}

WindowItemView::~WindowItemView() = default;

void WindowItemView::bind(const PreviewState::Card& card, bool sameCard) {
    const bool wasActive = card_.isActive;
    // A new frame of the same window changes the picture alone: only its well is drawn again.
    const bool pictureOnly = sameCard && card.title == card_.title &&
                             card.isActive == card_.isActive &&
                             card.window.isMinimized == card_.window.isMinimized;
    card_ = card;
    title_ = QString::fromStdString(card_.title);
    thumbnail_ = toQImage(card_.thumbnail);
    if (!thumbnail_.isNull()) thumbnail_.setDevicePixelRatio(2);
    // Only on a change: a screen reader announces every name change, and images land often.
    if (accessibleName() != title_) setAccessibleName(title_);
    if (wasActive != card_.isActive) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    minimize_->setSymbol(card_.window.isMinimized
                             ? QStringLiteral("arrow.up.left.and.arrow.down.right")
                             : QStringLiteral("minus"),
                         minimizeActionName());
    if (!sameCard) {
        pressed_ = false;
        setHovering(false);
    }
    updateProgressTimer();
    if (pictureOnly) {
        updateTogether(this, thumbnailRect().toAlignedRect().adjusted(-1, -1, 1, 1));
    } else {
        update();
    }
}

void WindowItemView::placeInSlot(const QRectF& slot) {
    setGeometry(slot.toAlignedRect());
}

QString WindowItemView::minimizeActionName() const {
    return card_.window.isMinimized ? kRestoreLabel : kMinimizeLabel;
}

QString WindowItemView::minimizeActionDescription() const {
    return card_.window.isMinimized ? QStringLiteral("Restores this window")
                                    : QStringLiteral("Minimizes this window");
}

bool WindowItemView::isLive() const {
    return isVisible() && context_.state().isShown() && context_.state().showsWindow(card_.window);
}

// A copy of the window: the request may change the cards, and with them what this view shows.
void WindowItemView::activate() {
    if (isVisible()) context_.state().requestActivate(WindowInfo(card_.window));
}

void WindowItemView::requestClose() {
    if (isVisible()) context_.state().requestClose(WindowInfo(card_.window));
}

void WindowItemView::requestMinimizeToggle() {
    if (isVisible()) context_.state().requestMinimizeToggle(WindowInfo(card_.window));
}

void WindowItemView::finishAnimations() {
    if (controlsFade_->state() == QAbstractAnimation::Running) {
        controlsFade_->setCurrentTime(controlsFade_->totalDuration());
    }
}

bool WindowItemView::showsProgress() const {
    return thumbnail_.isNull() && !card_.window.isMinimized;
}

qreal WindowItemView::controlsOpacity() const {
    return close_->opacity();
}

void WindowItemView::setHovering(bool hovering) {
    if (hovering_ == hovering) return;
    hovering_ = hovering;
    updateControls();
    hoverChanged();
    update();
}

void WindowItemView::updateControls() {
    controlsFade_->stop();
    if (!hovering_) {
        // Gone at once: a control must not take a click after the pointer has left the card.
        close_->hide();
        minimize_->hide();
        return;
    }
    placeControls();
    close_->setOpacity(0);
    minimize_->setOpacity(0);
    close_->show();
    minimize_->show();
    close_->raise();
    minimize_->raise();
    controlsFade_->start();
}

void WindowItemView::updateProgressTimer() {
    if (isVisible() && showsProgress()) {
        if (!progressTimer_.isActive()) progressTimer_.start(kProgressTickMs, this);
    } else {
        progressTimer_.stop();
    }
}

void WindowItemView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setHovering(true);
}

void WindowItemView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pressed_ = false;
    setHovering(false);
}

void WindowItemView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !cardRect().contains(event->position())) {
        event->ignore();
        return;
    }
    pressed_ = true;
    event->accept();
}

void WindowItemView::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = std::exchange(pressed_, false);
    if (event->button() != Qt::LeftButton || !wasPressed ||
        !cardRect().contains(event->position())) {
        event->ignore();
        return;
    }
    event->accept();
    activate();
}

void WindowItemView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateProgressTimer();
}

void WindowItemView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateProgressTimer();
}

void WindowItemView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void WindowItemView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != progressTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    phase_ = (phase_ + 1) % PreviewPainter::kProgressSpokes;
    update(thumbnailRect().toAlignedRect().adjusted(-6, -6, 6, 6));
}

GlassStyle WindowItemView::surfaceStyle(qreal cornerRadius) const {
    const bool opaque = context().opaqueSurfaces();
    const bool active = card().isActive;
    GlassStyle glass;
    glass.cornerRadius = cornerRadius;
    glass.opaque = opaque;
    glass.shadow = false;
    QColor accent = GlassPainter::accentColor(palette());
    if (opaque) {
        glass.borderWidth = active ? 2 : 1;
        if (active) glass.borderColor = accent;
    } else if (active) {
        accent.setAlphaF(0.22f);
        glass.tint = accent;
    }
    return glass;
}

}  // namespace vantorel

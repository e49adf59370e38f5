#include "platform/qt/FloatingPanelWindow.h"

#include <QEasingCurve>
#include <QGuiApplication>
#include <QLayout>
#include <QPropertyAnimation>
#include <QRegion>
#include <QResizeEvent>

#include "platform/qt/Appearance.h"
#include "platform/qt/Compositing.h"
#include "platform/qt/GlassPainter.h"

namespace vantorel {
namespace {

QEasingCurve cubicBezier(qreal x1, qreal y1, qreal x2, qreal y2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return curve;
}

// The platform's named timing curves: ease-out for appearing, the default one for leaving.
const QEasingCurve& easeOut() {
    static const QEasingCurve curve = cubicBezier(0, 0, 0.58, 1);
    return curve;
}
const QEasingCurve& defaultTiming() {
    static const QEasingCurve curve = cubicBezier(0.25, 0.1, 0.25, 1);
    return curve;
}

Qt::WindowFlags panelFlags() {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus;
    // Under X11 the window manager would otherwise decide about workspaces, focus and the task
    // bar; a window it does not manage is on every workspace and in no list.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        flags |= Qt::X11BypassWindowManagerHint;
    }
    return flags;
}

}  // namespace

FloatingPanelWindow::FloatingPanelWindow(Appearance& appearance)
    : FloatingPanelWindow(appearance, translucentWindowsSupported()) {}

FloatingPanelWindow::FloatingPanelWindow(Appearance& appearance, bool translucent)
    : QWidget(nullptr, panelFlags()), appearance_(appearance), translucent_(translucent) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    if (translucent_) {
        setAttribute(Qt::WA_TranslucentBackground);
    } else {
        // Transparent pixels would come out black; the mask cuts them away and whatever the mask's
        // staircase edge lets through is the window colour, not black.
        setAutoFillBackground(true);
    }

    fade_ = new QPropertyAnimation(this, "windowOpacity", this);
    connect(fade_, &QAbstractAnimation::finished, this, [this] { fadeFinished(); });
}

FloatingPanelWindow::~FloatingPanelWindow() = default;

void FloatingPanelWindow::setView(QWidget* view) {
    if (view_ == view) return;
    delete view_.data();
    view_ = view;
    if (!view_) return;
    view_->setParent(this);
    applyGeometry();
    if (isVisible()) view_->show();
}

QSize FloatingPanelWindow::fitToView() {
    if (!view_) return size();
    view_->ensurePolished();
    if (QLayout* layout = view_->layout()) layout->activate();
    const QSize hint = view_->sizeHint();
    if (!hint.isValid() || hint.isEmpty()) return size();
    resize(hint);
    applyGeometry();
    return hint;
}

void FloatingPanelWindow::setSurfaceShape(const QMarginsF& margins, qreal cornerRadius) {
    surfaceMargins_ = margins;
    surfaceRadius_ = cornerRadius;
    applyGeometry();
}

bool FloatingPanelWindow::paintsOpaque() const {
    return !translucent_ || appearance_.reduceTransparency();
}

void FloatingPanelWindow::fadeIn() {
    if (isVisible() && !fadingOut_) return;
    const bool wasHidden = !isVisible();
    fadingOut_ = false;
    fade_->stop();

    if (appearance_.reduceMotion()) {
        setWindowOpacity(1);
        show();
        raise();
        return;
    }
    if (wasHidden) setWindowOpacity(0);
    show();
    raise();
    fade_->setDuration(kFadeInMs);
    fade_->setEasingCurve(easeOut());
    fade_->setStartValue(windowOpacity());
    fade_->setEndValue(1.0);
    fade_->start();
}

void FloatingPanelWindow::fadeOut() {
    if (!isVisible() || fadingOut_) return;
    fade_->stop();
    if (appearance_.reduceMotion()) {
        // Left at 0 like a finished fade, so the next fade-in starts from transparent either way.
        setWindowOpacity(0);
        hide();
        return;
    }
    fadingOut_ = true;
    fade_->setDuration(kFadeOutMs);
    fade_->setEasingCurve(defaultTiming());
    fade_->setStartValue(windowOpacity());
    fade_->setEndValue(0.0);
    fade_->start();
}

QAbstractAnimation* FloatingPanelWindow::fadeAnimation() const {
    return fade_;
}

void FloatingPanelWindow::fadeFinished() {
    if (!fadingOut_) return;
    fadingOut_ = false;
    hide();
}

void FloatingPanelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyGeometry();
}

void FloatingPanelWindow::applyGeometry() {
    if (view_) view_->setGeometry(rect());
    if (translucent_) return;
    const QRectF surface = QRectF(rect()).marginsRemoved(surfaceMargins_);
    const QPainterPath shape = GlassPainter::shape(surface, surfaceRadius_);
    if (shape.isEmpty()) {
        clearMask();
        return;
    }
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

}  // namespace vantorel

#include "platform/qt/FloatingPanelWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEasingCurve>
#include <QGuiApplication>
#include <QLayout>
#include <QPainter>
#include <QPropertyAnimation>
#include <QRegion>
#include <QResizeEvent>

#include <algorithm>
#include <vector>

#include "platform/qt/Appearance.h"
#include "platform/qt/Compositing.h"
#include "platform/qt/GlassBackdrop.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/X11Session.h"

namespace vantorel {
namespace {

// Every panel window alive, for keeping the levels in order.
std::vector<FloatingPanelWindow*>& allPanels() {
    static std::vector<FloatingPanelWindow*> panels;
    return panels;
}

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

// A window to assistive tools, not an anonymous filler: it is a top-level panel of its own.
QAccessibleInterface* accessibleFactory(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<FloatingPanelWindow*>(object)) {
        return new QAccessibleWidget(window, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

FloatingPanelWindow::FloatingPanelWindow(Appearance& appearance)
    : FloatingPanelWindow(appearance, translucentWindowsSupported()) {
    translucency_ = [] { return translucentWindowsSupported(); };
}

FloatingPanelWindow::FloatingPanelWindow(Appearance& appearance, bool translucent)
    : QWidget(nullptr, panelFlags()),
      appearance_(appearance),
      translucency_([translucent] { return translucent; }),
      translucent_(!translucent) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(&accessibleFactory);
        return true;
    }();
    (void)accessibleInstalled;
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setTranslucent(translucent);

    fade_ = new QPropertyAnimation(this, "windowOpacity", this);
    connect(fade_, &QAbstractAnimation::finished, this, [this] { fadeFinished(); });
    allPanels().push_back(this);
}

FloatingPanelWindow::~FloatingPanelWindow() {
    std::erase(allPanels(), this);
}

void FloatingPanelWindow::setView(QWidget* view) {
    if (view_ == view) return;
    delete view_.data();
    view_ = view;
    if (!view_) return;
    view_->setParent(this);
    // Assistive tools name the window after what it shows.
    if (accessibleName() != view_->accessibleName()) setAccessibleName(view_->accessibleName());
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

void FloatingPanelWindow::setTranslucencyCheck(std::function<bool()> check) {
    if (check) translucency_ = std::move(check);
}

void FloatingPanelWindow::setBackdrop(Backdrop backdrop) {
    backdrop_ = std::move(backdrop);
    blurredBackdrop_ = QImage();
    if (isVisible()) captureBackdrop();
    if (onSurfaceChange) onSurfaceChange();
}

bool FloatingPanelWindow::paintsOpaque() const {
    return appearance_.reduceTransparency() || (!translucent_ && !backdrop_);
}

void FloatingPanelWindow::setTranslucent(bool translucent) {
    if (translucent == translucent_) return;
    // The visual of a window is chosen when it is created: a new one is made at the next show.
    if (testAttribute(Qt::WA_WState_Created)) destroy();
    translucent_ = translucent;
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    if (!translucent) setAttribute(Qt::WA_NoSystemBackground, false);
    // Without translucency transparent pixels would come out black; the mask cuts them away and
    // whatever its staircase edge lets through is the window colour, not black.
    setAutoFillBackground(!translucent);
    if (translucent) clearMask();
    applyGeometry();
}

void FloatingPanelWindow::refreshSurface() {
    const bool wasTranslucent = translucent_;
    const bool blurred = blursBehind();
    setTranslucent(translucency_());
    // Our own backdrop is opaque under the glass: a compositor's blur would not show.
    compositorBlur_ = translucent_ && !backdrop_ && blurBehindOffered();
    if ((wasTranslucent != translucent_ || blurred != blursBehind()) && onSurfaceChange) {
        onSurfaceChange();
    }
}

QPainterPath FloatingPanelWindow::surfacePath() const {
    return GlassPainter::shape(QRectF(rect()).marginsRemoved(surfaceMargins_), surfaceRadius_);
}

void FloatingPanelWindow::captureBackdrop() {
    if (!backdrop_) return;
    blurredBackdrop_ = GlassBackdrop::blur(backdrop_(QRect(pos(), size())));
    update();
}

void FloatingPanelWindow::requestBlurBehind() {
    if (!translucent_ || backdrop_ || !X11Session::isActive()) return;
    X11Session::setBlurBehind(*this, QRegion(surfacePath().toFillPolygon().toPolygon()));
}

void FloatingPanelWindow::fadeIn() {
    if (isVisible() && !fadingOut_) return;
    const bool wasHidden = !isVisible();
    fadingOut_ = false;
    fade_->stop();

    if (wasHidden) {
        refreshSurface();
        setWindowOpacity(0);
    }
    show();
    raiseByLevel();
    if (wasHidden) {
        captureBackdrop();
        requestBlurBehind();
        announce();
    }
    fade_->setDuration(kFadeInMs);
    fade_->setEasingCurve(easeOut());
    fade_->setStartValue(windowOpacity());
    fade_->setEndValue(1.0);
    fade_->start();
}

void FloatingPanelWindow::fadeOut() {
    if (!isVisible() || fadingOut_) return;
    fade_->stop();
    fadingOut_ = true;
    fade_->setDuration(kFadeOutMs);
    fade_->setEasingCurve(defaultTiming());
    fade_->setStartValue(windowOpacity());
    fade_->setEndValue(0.0);
    fade_->start();
}

void FloatingPanelWindow::orderFront() {
    const bool wasHidden = !isVisible();
    fade_->stop();
    fadingOut_ = false;
    if (wasHidden) refreshSurface();
    setWindowOpacity(1);
    show();
    raiseByLevel();
    if (wasHidden) {
        captureBackdrop();
        requestBlurBehind();
        announce();
    }
}

void FloatingPanelWindow::orderOut() {
    fade_->stop();
    fadingOut_ = false;
    hide();
}

void FloatingPanelWindow::raiseByLevel() {
    raise();
    std::vector<FloatingPanelWindow*> above;
    for (FloatingPanelWindow* panel : allPanels()) {
        if (panel != this && panel->level_ > level_ && panel->isVisible()) above.push_back(panel);
    }
    std::stable_sort(above.begin(), above.end(),
                     [](const auto* a, const auto* b) { return a->level_ < b->level_; });
    for (FloatingPanelWindow* panel : above)
        panel->raise();
}

void FloatingPanelWindow::finishFade() {
    if (fade_->state() == QAbstractAnimation::Running) fade_->setCurrentTime(fade_->duration());
}

void FloatingPanelWindow::announce() {
    // The panel never takes focus, so no window activation tells a screen reader it is there.
    if (view_ && accessibleName() != view_->accessibleName())
        setAccessibleName(view_->accessibleName());
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
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
    if (isVisible()) {
        captureBackdrop();
        requestBlurBehind();
    }
}

void FloatingPanelWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // What lies beneath changed with the place.
    if (isVisible()) captureBackdrop();
}

void FloatingPanelWindow::paintEvent(QPaintEvent*) {
    if (blurredBackdrop_.isNull() || appearance_.reduceTransparency()) return;
    QPainter painter(this);
    GlassBackdrop::paint(painter, surfacePath(), blurredBackdrop_, QPointF(0, 0));
}

void FloatingPanelWindow::applyGeometry() {
    if (view_) view_->setGeometry(rect());
    if (translucent_) return;
    const QPainterPath shape = surfacePath();
    if (shape.isEmpty()) {
        clearMask();
        return;
    }
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

}  // namespace vantorel

// The core's headers before Qt's, as everywhere the two meet.
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

#include "app/playground/SimDesktopView.h"

#include <QAbstractEventDispatcher>
#include <QPainter>
#include <QTimer>

#include <cmath>

#include "app/playground/PointerFollower.h"
#include "app/playground/SimDesktopPainter.h"

namespace vantorel {
namespace {

constexpr int kMenuBarHeight = 25;

}  // namespace

SimDesktopView::SimDesktopView(SimDesktop& desktop, const SimWorld& world, QWidget* parent)
    : QWidget(parent),
      desktop_(desktop),
      painter_(std::make_unique<SimDesktopPainter>(desktop, world)),
      follower_(std::make_unique<PointerFollower>(desktop, *this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
    // The desktop changes only when the loop has run something: a look before it sleeps again
    // sees every change, and costs nothing while it sleeps.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                [this] { refreshIfChanged(); });
    }
}

SimDesktopView::~SimDesktopView() = default;

QSize SimDesktopView::sizeHint() const {
    const auto screens = desktop_.screens.screens();
    if (screens.empty()) return QSize(1440, 900);
    const Rect& frame = screens.front().frame;
    return QSize(static_cast<int>(std::lround(frame.width())),
                 static_cast<int>(std::lround(frame.height())));
}

double SimDesktopView::screenHeight() const {
    return desktop_.primaryHeight();
}

QPoint SimDesktopView::panelPosition(Point origin, QSize size) const {
    const QPointF topLeft = fromSimulated({origin.x, origin.y + size.height()});
    return mapToGlobal(QPoint(static_cast<int>(std::lround(topLeft.x())),
                              static_cast<int>(std::lround(topLeft.y()))));
}

Point SimDesktopView::toSimulated(QPointF viewPoint) const {
    return {viewPoint.x(), screenHeight() - viewPoint.y()};
}

QPointF SimDesktopView::fromSimulated(Point simulated) const {
    return {simulated.x, screenHeight() - simulated.y};
}

void SimDesktopView::setShowsPointer(bool shows) {
    showsPointer_ = shows;
    update();
}

void SimDesktopView::setMenuBarExtra(QWidget* extra) {
    extra_ = extra;
    if (!extra_) return;
    extra_->setParent(this);
    placeExtra();
    extra_->show();
}

void SimDesktopView::placeExtra() {
    if (!extra_) return;
    const QSize hint = extra_->sizeHint().boundedTo(QSize(200, kMenuBarHeight));
    extra_->setGeometry(width() - hint.width() - 12, (kMenuBarHeight - hint.height()) / 2,
                        hint.width(), hint.height());
}

void SimDesktopView::setPointerFollowsMouse(bool follows) {
    follower_->setEnabled(follows);
}

qreal SimDesktopView::menuBarEnd() const {
    return extra_ ? extra_->geometry().left() - 14 : width() - 16;
}

void SimDesktopView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeExtra();
}

void SimDesktopView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hidden or minimised, nothing is drawn: the composed layer can go.
    painter_->release();
}

void SimDesktopView::refreshIfChanged() {
    if (!isVisible() || window()->isMinimized()) return;
    std::string now = painter_->signature(showsPointer_);
    if (now == lastSignature_) return;
    lastSignature_ = std::move(now);
    update();
}

void SimDesktopView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // A picture waits for everything; the screen shows what is ready and comes back for more.
    QPalette glass = palette();
    glass.setColor(QPalette::Window, QColor(255, 255, 255));
    const bool pending = painter_->paint(p, size(), !takingPicture_, menuBarEnd(), glass);
    // In a picture the pointer goes over the panels, after them.
    if (showsPointer_ && !takingPicture_) {
        painter_->paintPointer(p, fromSimulated(desktop_.pointer.mouseLocation()));
    }
    if (pending) QTimer::singleShot(0, this, [this] { update(); });
}

QImage SimDesktopView::beneath(const QRect& global) {
    const QRect wanted(mapFromGlobal(global.topLeft()), global.size());
    const QRect shown = wanted.intersected(rect());
    const qreal ratio = devicePixelRatioF();
    QImage image(global.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    if (shown.isEmpty()) return image;
    QPainter p(&image);
    takingPicture_ = true;
    render(&p, shown.topLeft() - wanted.topLeft(), QRegion(shown));
    takingPicture_ = false;
    return image;
}

QImage SimDesktopView::picture(const std::vector<QWidget*>& panels) {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    takingPicture_ = true;
    render(&p);
    takingPicture_ = false;
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    for (QWidget* panel : panels) {
        if (!panel || !panel->isVisible()) continue;
        p.drawPixmap(panel->pos() - origin, panel->grab());
    }
    if (showsPointer_) {
        p.setRenderHint(QPainter::Antialiasing, true);
        painter_->paintPointer(p, fromSimulated(desktop_.pointer.mouseLocation()));
    }
    p.end();
    return image;
}

}  // namespace vantorel

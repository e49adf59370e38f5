#include "platform/qt/QtPanelSurface.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "platform/qt/FloatingPanelWindow.h"

namespace vantorel {

// Turns a view's enter and leave events into hover reports, once each way.
class HoverWatcher final : public QObject {
public:
    explicit HoverWatcher(std::function<void(bool)>& report) : report_(report) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Enter) set(true);
        if (event->type() == QEvent::Leave) set(false);
        return QObject::eventFilter(watched, event);
    }

private:
    void set(bool inside) {
        if (inside_ == inside) return;
        inside_ = inside;
        if (report_) {
            const auto report = report_;
            report(inside);
        }
    }

    std::function<void(bool)>& report_;
    bool inside_ = false;
};

namespace {

int clampedInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(std::round(value), -1e7, 1e7));
}

int clampedSide(double value) {
    if (!std::isfinite(value) || value <= 0) return 0;
    return static_cast<int>(std::min(std::ceil(value), static_cast<double>(QWIDGETSIZE_MAX)));
}

}  // namespace

QtPanelSurface::QtPanelSurface(std::unique_ptr<FloatingPanelWindow> window, QWidget* view,
                               HoverBinder bindHover)
    : window_(std::move(window)), view_(view) {
    window_->setView(view_);
    if (bindHover) {
        bindHover([this](bool inside) {
            if (hover_) hover_(inside);
        });
    } else if (view_) {
        watcher_ = std::make_unique<HoverWatcher>(hover_);
        view_->installEventFilter(watcher_.get());
    }
}

QtPanelSurface::~QtPanelSurface() {
    // The window (and the view in it) goes first: nothing may report into a half-destroyed
    // surface.
    hover_ = nullptr;
    window_.reset();
}

QPoint QtPanelSurface::toQtPosition(Point origin, QSize size, const QRect& primaryScreen) {
    const int x = primaryScreen.x() + clampedInt(origin.x);
    const int y = primaryScreen.y() + primaryScreen.height() - clampedInt(origin.y) - size.height();
    return {x, y};
}

Size QtPanelSurface::fittingSize() {
    if (!view_) return {};
    view_->ensurePolished();
    if (QLayout* layout = view_->layout()) layout->activate();
    const QSize hint = view_->sizeHint();
    if (!hint.isValid()) return {};
    return {static_cast<double>(hint.width()), static_cast<double>(hint.height())};
}

bool QtPanelSurface::isVisible() const {
    return window_->isVisible();
}

bool QtPanelSurface::isFadingOut() const {
    return window_->isFadingOut();
}

void QtPanelSurface::setContentSize(Size size) {
    window_->resize(clampedSide(size.width), clampedSide(size.height));
}

void QtPanelSurface::setFrameOrigin(Point origin) {
    if (placement_) {
        window_->move(placement_(origin, window_->size()));
        return;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    window_->move(toQtPosition(origin, window_->size(), primary ? primary->geometry() : QRect()));
}

void QtPanelSurface::fadeIn() {
    window_->fadeIn();
}

void QtPanelSurface::fadeOut() {
    window_->fadeOut();
}

void QtPanelSurface::orderFront() {
    window_->orderFront();
}

void QtPanelSurface::orderOut() {
    window_->orderOut();
}

void QtPanelSurface::setHoverHandler(std::function<void(bool)> handler) {
    hover_ = std::move(handler);
}

}  // namespace vantorel

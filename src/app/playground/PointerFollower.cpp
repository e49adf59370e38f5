// The core's headers before Qt's, as everywhere the two meet.
#include "platform/sim/SimDesktop.h"

#include "app/playground/PointerFollower.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>

namespace vantorel {

PointerFollower::PointerFollower(SimDesktop& desktop, QWidget& view)
    : desktop_(desktop), view_(view) {}

PointerFollower::~PointerFollower() {
    setEnabled(false);
}

void PointerFollower::setEnabled(bool enabled) {
    if (enabled == enabled_ || !qApp) return;
    enabled_ = enabled;
    // Every window's events, panels included, without a filter on each one as it comes.
    if (enabled) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

bool PointerFollower::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    const auto* widget = static_cast<QWidget*>(watched);
    const bool overOwn = widget->window() != view_.window();
    switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            follow(static_cast<QMouseEvent*>(event)->globalPosition(), overOwn);
            break;
        case QEvent::Enter:
            follow(static_cast<QEnterEvent*>(event)->globalPosition(), overOwn);
            break;
        case QEvent::Leave: {
            // Off one window: into another of ours (whose Enter follows), or off them all, where
            // only the cursor tells where it went. Read once, not followed further.
            if (!widget->isWindow()) break;
            const QPoint global = QCursor::pos();
            bool own = false;
            for (const QWidget* top : QApplication::topLevelWidgets()) {
                if (top->isVisible() && top->window() != view_.window() &&
                    top->frameGeometry().contains(global)) {
                    own = true;
                }
            }
            follow(QPointF(global), own);
            break;
        }
        default:
            break;
    }
    return false;
}

void PointerFollower::follow(QPointF global, bool overOwn) {
    // A move reaches each widget it passes up the tree; one report is enough.
    if (global == last_ && overOwn == lastOverOwn_) return;
    last_ = global;
    lastOverOwn_ = overOwn;
    const QPointF local = view_.mapFromGlobal(global);
    desktop_.pointer.moveTo({local.x(), desktop_.primaryHeight() - local.y()}, overOwn);
}

}  // namespace vantorel

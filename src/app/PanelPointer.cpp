#include "app/PanelPointer.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vantorel {
namespace {

QPoint globalPoint(Point at) {
    return {static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.y))};
}

}  // namespace

bool PanelPointer::route(Point at, const std::vector<QWidget*>& windows) {
    const QPoint global = globalPoint(at);
    QWidget* window = nullptr;
    for (QWidget* candidate : windows) {
        if (candidate && candidate->isVisible() && candidate->geometry().contains(global)) {
            window = candidate;
        }
    }
    std::vector<QPointer<QWidget>> chain;
    if (window) {
        QWidget* deepest = window->childAt(window->mapFromGlobal(global));
        for (QWidget* w = deepest ? deepest : window; w; w = w->parentWidget()) {
            chain.insert(chain.begin(), w);
            if (w == window) break;
        }
    }
    const auto contains = [](const std::vector<QPointer<QWidget>>& list, QWidget* w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    for (auto it = hovered_.rbegin(); it != hovered_.rend(); ++it) {
        if (*it && !contains(chain, *it)) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(*it, &leave);
        }
    }
    for (const auto& w : chain) {
        if (!w || contains(hovered_, w)) continue;
        const QPointF local = w->mapFromGlobal(QPointF(global));
        QEnterEvent enter(local, local, QPointF(global));
        QApplication::sendEvent(w, &enter);
    }
    hovered_ = std::move(chain);
    return window != nullptr;
}

void PanelPointer::click(Point at) {
    QPointer<QWidget> target = hovered_.empty() ? nullptr : hovered_.back();
    if (!target) return;
    const QPoint global = globalPoint(at);
    const QPointF local = target->mapFromGlobal(QPointF(global));
    QMouseEvent press(QEvent::MouseButtonPress, local, QPointF(global), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (!target) return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, QPointF(global), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void PanelPointer::scroll(Point at, int rows) {
    QPointer<QWidget> target = hovered_.empty() ? nullptr : hovered_.back();
    const QPoint global = globalPoint(at);
    // Qt hands a synthesised wheel event to its receiver only; the window system's travels up
    // to the first widget that takes it, so this one does too.
    for (QPointer<QWidget> w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        QWheelEvent wheel(w->mapFromGlobal(QPointF(global)), QPointF(global), QPoint(),
                          QPoint(0, -120 * rows), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(w, &wheel);
        if (wheel.isAccepted()) break;
    }
}

}  // namespace vantorel

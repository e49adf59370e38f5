#include "platform/qt/QtScreens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace vantorel {
namespace {

class NoMonitor final : public MonitorToken {};

// The primary screen's height flips y: Qt's origin is the top left, y downward.
double flipHeight() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().y() + primary->geometry().height() : 0;
}

Rect flipped(const QRect& r, double height) {
    return Rect(r.x(), height - r.y() - r.height(), r.width(), r.height());
}

ScreenInfo infoOf(const QScreen& screen, double height) {
    return {flipped(screen.geometry(), height), flipped(screen.availableGeometry(), height)};
}

}  // namespace

std::vector<ScreenInfo> QtScreens::screens() {
    std::vector<ScreenInfo> result;
    const double height = flipHeight();
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        result.push_back(infoOf(*primary, height));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) result.push_back(infoOf(*screen, height));
    return result;
}

std::optional<ScreenInfo> QtScreens::mainScreen() {
    // The screen the user works on is the one under the pointer.
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    return infoOf(*screen, flipHeight());
}

Point QtScreens::mouseLocation() {
    const QPoint p = QCursor::pos();
    return {static_cast<double>(p.x()), flipHeight() - p.y()};
}

std::unique_ptr<MonitorToken> QtScreens::addGlobalMonitor(EventMask, std::function<void()>) {
    return std::make_unique<NoMonitor>();
}

std::unique_ptr<MonitorToken> QtScreens::addLocalMonitor(EventMask, std::function<void()>) {
    return std::make_unique<NoMonitor>();
}

}  // namespace vantorel

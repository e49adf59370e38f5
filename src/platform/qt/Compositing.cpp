#include "platform/qt/Compositing.h"

#include <QGuiApplication>

#include "platform/qt/X11Session.h"

namespace vantorel {

bool translucentWindowsSupported() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return true;
    // Cannot ask: an opaque panel with square-cut corners beats black ones.
    if (!X11Session::isActive()) return false;
    return X11Session::selectionOwner("_NET_WM_CM_S") != 0;
}

bool blurBehindOffered() {
    return X11Session::rootHasProperty(kBlurBehindProperty);
}

}  // namespace vantorel

#pragma once

#include <QRegion>

#include <cstdint>
#include <string>

class QWidget;

namespace vantorel {

// The few questions asked of the X server directly, about the screen the program's display
// connection uses. Everywhere else (Wayland, offscreen) there is no X server to ask: the owner
// is none, no property is found and nothing is set.
class X11Session {
public:
    // Whether Qt runs on X11 here.
    static bool isActive();
    // The window that owns the selection `prefix` + the screen number (e.g. "_NET_WM_CM_S"),
    // or 0 when nobody does.
    static std::uint32_t selectionOwner(const std::string& prefix);
    // Whether the root window carries a property of that name: how a window manager announces
    // a feature it offers (KWin: "_KDE_NET_WM_BLUR_BEHIND_REGION").
    static bool rootHasProperty(const std::string& name);
    // Asks the compositor to blur what lies behind `region` of the top-level `window`; an empty
    // region withdraws the request.
    static void setBlurBehind(QWidget& window, const QRegion& region);
};

}  // namespace vantorel

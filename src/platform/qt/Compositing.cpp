#include "platform/qt/Compositing.h"

#include <QGuiApplication>

#if defined(VANTOREL_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#endif

namespace vantorel {
namespace {

#if defined(VANTOREL_HAVE_XCB) && QT_CONFIG(xcb)
bool x11CompositingManagerRuns(xcb_connection_t* connection) {
    int display = 0;
    int screen = 0;
    char* host = nullptr;
    // The selection is per screen; the screen is the one DISPLAY names, as Qt's connection uses.
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
    std::free(host);

    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.c_str());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    // only_if_exists: no atom means no manager ever claimed the selection.
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;

    const xcb_get_selection_owner_cookie_t ownerCookie =
        xcb_get_selection_owner(connection, atom->atom);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}
#endif

}  // namespace

bool translucentWindowsSupported() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return true;
#if defined(VANTOREL_HAVE_XCB) && QT_CONFIG(xcb)
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (xcb_connection_t* connection = x11->connection()) {
            return x11CompositingManagerRuns(connection);
        }
    }
#endif
    // Cannot ask: an opaque panel with square-cut corners beats black ones.
    return false;
}

}  // namespace vantorel

#include "platform/qt/X11Session.h"

#include <QGuiApplication>
#include <QWidget>

#include "platform/qt/Compositing.h"

#if defined(VANTOREL_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>
#endif

namespace vantorel {

#if defined(VANTOREL_HAVE_XCB) && QT_CONFIG(xcb)
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The screen DISPLAY names, as Qt's connection uses.
int screenNumber() {
    int display = 0;
    int screen = 0;
    char* host = nullptr;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
    std::free(host);
    return screen;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = screenNumber(); it.rem && i > 0; --i)
        xcb_screen_next(&it);
    return it.rem ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

// only_if_exists: an atom nobody ever interned names nothing anybody set.
xcb_atom_t atom(xcb_connection_t* c, const std::string& name, bool onlyIfExists) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            c, xcb_intern_atom(c, onlyIfExists, static_cast<uint16_t>(name.size()), name.c_str()),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

bool X11Session::isActive() {
    return connection() != nullptr;
}

std::uint32_t X11Session::selectionOwner(const std::string& prefix) {
    xcb_connection_t* c = connection();
    if (!c) return 0;
    const xcb_atom_t selection = atom(c, prefix + std::to_string(screenNumber()), true);
    if (selection == XCB_ATOM_NONE) return 0;
    Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr),
        &std::free);
    return owner ? owner->owner : 0;
}

bool X11Session::rootHasProperty(const std::string& name) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    const xcb_atom_t wanted = atom(c, name, true);
    const xcb_window_t root = rootWindow(c);
    if (wanted == XCB_ATOM_NONE || root == XCB_WINDOW_NONE) return false;
    Reply<xcb_list_properties_reply_t> list(
        xcb_list_properties_reply(c, xcb_list_properties(c, root), nullptr), &std::free);
    if (!list) return false;
    const xcb_atom_t* atoms = xcb_list_properties_atoms(list.get());
    const int count = xcb_list_properties_atoms_length(list.get());
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == wanted) return true;
    }
    return false;
}

void X11Session::setBlurBehind(QWidget& window, const QRegion& region) {
    xcb_connection_t* c = connection();
    if (!c || !window.isWindow()) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t property = atom(c, kBlurBehindProperty, false);
    if (property == XCB_ATOM_NONE) return;
    if (region.isEmpty()) {
        xcb_delete_property(c, id, property);
    } else {
        // x, y, width, height of each rectangle, in device pixels.
        const qreal ratio = window.devicePixelRatioF();
        std::vector<std::uint32_t> values;
        for (const QRect& r : region) {
            for (const int v : {r.x(), r.y(), r.width(), r.height()})
                values.push_back(static_cast<std::uint32_t>(std::max(0, qRound(v * ratio))));
        }
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, property, XCB_ATOM_CARDINAL, 32,
                            static_cast<uint32_t>(values.size()), values.data());
    }
    xcb_flush(c);
}

#else

bool X11Session::isActive() {
    return false;
}
std::uint32_t X11Session::selectionOwner(const std::string&) {
    return 0;
}
bool X11Session::rootHasProperty(const std::string&) {
    return false;
}
void X11Session::setBlurBehind(QWidget&, const QRegion&) {}

#endif

}  // namespace vantorel

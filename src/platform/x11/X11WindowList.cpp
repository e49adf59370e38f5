#include "platform/x11/X11WindowList.h"

#include <xcb/res.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "platform/x11/X11Properties.h"
#include "platform/x11/XcbConnection.h"
#include "platform/x11/XcbReply.h"

namespace vantorel {
namespace {

using PropertyReply = Reply<xcb_get_property_reply_t>;

constexpr std::uint32_t kLongLength = 1u << 16;  // in 32-bit units: names up to 256 KiB
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

xcb_get_property_cookie_t ask(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property,
                              xcb_atom_t type = XCB_GET_PROPERTY_TYPE_ANY) {
    return xcb_get_property(c, 0, w, property, type, 0, kLongLength);
}

PropertyReply answer(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    return PropertyReply(xcb_get_property_reply(c, cookie, nullptr));
}

std::optional<std::string_view> bytesOf(const PropertyReply& reply, int format = 8) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != format) return std::nullopt;
    return std::string_view(static_cast<const char*>(xcb_get_property_value(reply.get())),
                            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::span<const std::uint32_t> cardinalsOf(const PropertyReply& reply) {
    if (!reply || reply->format != 32) return {};
    return {static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4};
}

bool contains(std::span<const std::uint32_t> values, xcb_atom_t atom) {
    return atom != XCB_ATOM_NONE && std::find(values.begin(), values.end(), atom) != values.end();
}

struct Cookies {
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t extents, pid, utf8Name, name, wmClass, state, type, transient,
        wmState, desktop;
};

// A client that did not say its pid is asked of the server, which knows it for local clients.
void ownersByResource(xcb_connection_t* c, std::vector<X11Window>& windows) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present) return;
    std::vector<std::pair<X11Window*, xcb_res_query_client_ids_cookie_t>> asked;
    for (X11Window& window : windows) {
        if (window.pid > 0) continue;
        const xcb_res_client_id_spec_t spec{window.id, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        asked.emplace_back(&window, xcb_res_query_client_ids(c, 1, &spec));
    }
    for (const auto& [window, cookie] : asked) {
        Reply<xcb_res_query_client_ids_reply_t> reply(
            xcb_res_query_client_ids_reply(c, cookie, nullptr));
        if (!reply) continue;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
             xcb_res_client_id_value_next(&it)) {
            if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) ||
                xcb_res_client_id_value_value_length(it.data) != 1)
                continue;
            const std::uint32_t pid = *xcb_res_client_id_value_value(it.data);
            if (pid > 0 && pid <= 0x3FFFFFFF) window->pid = static_cast<ProcessId>(pid);
        }
    }
}

}  // namespace

xcb_window_t X11WindowList::activeWindow(XcbConnection& x) {
    auto& ewmh = x.ewmh();
    const auto reply =
        answer(x.get(), ask(x.get(), x.root(), ewmh._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW));
    const auto values = cardinalsOf(reply);
    return values.empty() ? xcb_window_t{XCB_NONE} : values.front();
}

std::vector<X11Window> X11WindowList::read(XcbConnection& x) {
    xcb_connection_t* c = x.get();
    auto& ewmh = x.ewmh();
    const xcb_window_t root = x.root();
    auto stackingCookie = ask(c, root, ewmh._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW);
    auto listCookie = ask(c, root, ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW);
    auto desktopCookie = ask(c, root, ewmh._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL);
    const auto stacking = answer(c, stackingCookie);
    const auto list = answer(c, listCookie);
    const auto currentDesktop = answer(c, desktopCookie);
    auto ids = cardinalsOf(stacking);
    // Bottom to top; a window manager without the stacking list still gives the mapping order.
    if (ids.empty()) ids = cardinalsOf(list);
    const auto desktops = cardinalsOf(currentDesktop);
    const std::optional<std::uint32_t> current =
        desktops.empty() ? std::nullopt : std::optional<std::uint32_t>(desktops.front());

    const xcb_atom_t wmStateAtom = x.atom("WM_STATE");
    std::vector<Cookies> cookies;
    cookies.reserve(ids.size());
    for (const xcb_window_t w : ids) {
        cookies.push_back(
            {xcb_get_window_attributes(c, w), xcb_get_geometry(c, w),
             xcb_translate_coordinates(c, w, root, 0, 0),
             ask(c, w, ewmh._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL),
             ask(c, w, ewmh._NET_WM_PID, XCB_ATOM_CARDINAL),
             ask(c, w, ewmh._NET_WM_NAME, ewmh.UTF8_STRING), ask(c, w, XCB_ATOM_WM_NAME),
             ask(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING),
             ask(c, w, ewmh._NET_WM_STATE, XCB_ATOM_ATOM),
             ask(c, w, ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM),
             ask(c, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW), ask(c, w, wmStateAtom),
             ask(c, w, ewmh._NET_WM_DESKTOP, XCB_ATOM_CARDINAL)});
    }

    std::vector<X11Window> windows;
    windows.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const Cookies& k = cookies[i];
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, k.attributes, nullptr));
        Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, k.geometry, nullptr));
        Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(c, k.origin, nullptr));
        const auto extents = answer(c, k.extents);
        const auto pid = answer(c, k.pid);
        const auto utf8Name = answer(c, k.utf8Name);
        const auto name = answer(c, k.name);
        const auto wmClass = answer(c, k.wmClass);
        const auto state = answer(c, k.state);
        const auto type = answer(c, k.type);
        const auto transient = answer(c, k.transient);
        const auto wmState = answer(c, k.wmState);
        const auto desktop = answer(c, k.desktop);
        // Gone between the list and the questions: nothing to show.
        if (!attributes || !geometry || !origin) continue;
        if (attributes->override_redirect) continue;

        X11Window window;
        window.id = ids[i];
        if (const auto values = cardinalsOf(pid);
            !values.empty() && values.front() > 0 && values.front() <= 0x3FFFFFFF)
            window.pid = static_cast<ProcessId>(values.front());
        window.name = X11Properties::windowName(bytesOf(utf8Name), bytesOf(name),
                                                name && name->type == XCB_ATOM_STRING);
        if (const auto bytes = bytesOf(wmClass)) {
            if (const auto parsed = X11Properties::windowClass(*bytes)) {
                window.instance = parsed->instance;
                window.className = parsed->className;
            }
        }
        Rect frame(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        if (const auto e = X11Properties::frameExtents(cardinalsOf(extents))) {
            frame = Rect(frame.minX() - static_cast<double>(e->left),
                         frame.minY() - static_cast<double>(e->top),
                         frame.width() + static_cast<double>(e->left + e->right),
                         frame.height() + static_cast<double>(e->top + e->bottom));
        }
        window.frame = frame;
        window.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;

        const auto states = cardinalsOf(state);
        const auto wmStateValues = cardinalsOf(wmState);
        window.minimized =
            contains(states, ewmh._NET_WM_STATE_HIDDEN) ||
            (!wmStateValues.empty() && wmStateValues.front() == XCB_ICCCM_WM_STATE_ICONIC);
        const bool skipped = contains(states, ewmh._NET_WM_STATE_SKIP_TASKBAR) ||
                             contains(states, ewmh._NET_WM_STATE_SKIP_PAGER);
        const auto types = cardinalsOf(type);
        // Without a type, a window for another is a dialog and any other a normal window.
        const bool hasTransient = !cardinalsOf(transient).empty();
        window.dialog = types.empty()
                            ? hasTransient
                            : !types.empty() && types.front() == ewmh._NET_WM_WINDOW_TYPE_DIALOG;
        const bool normal =
            types.empty() ? !hasTransient : types.front() == ewmh._NET_WM_WINDOW_TYPE_NORMAL;
        window.listed = (normal || window.dialog) && !skipped;
        if (const auto values = cardinalsOf(desktop); !values.empty() && current)
            window.onCurrentDesktop = values.front() == *current || values.front() == kAllDesktops;
        windows.push_back(std::move(window));
    }
    ownersByResource(c, windows);
    std::reverse(windows.begin(), windows.end());
    return windows;
}

}  // namespace vantorel

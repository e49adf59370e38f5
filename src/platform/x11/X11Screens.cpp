#include "platform/x11/X11Screens.h"

#include <xcb/randr.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/x11/XcbConnection.h"

namespace vantorel {
namespace {

class NoMonitor final : public MonitorToken {};

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The part of the monitor the work area covers; the whole monitor when the two do not meet (a
// stale or nonsensical work area must not hide a monitor).
Rect visiblePart(const Rect& frame, const std::optional<Rect>& area) {
    if (!area || !frame.intersects(*area)) return frame;
    const double x = std::max(frame.minX(), area->minX());
    const double y = std::max(frame.minY(), area->minY());
    return {x, y, std::min(frame.maxX(), area->maxX()) - x,
            std::min(frame.maxY(), area->maxY()) - y};
}

}  // namespace

X11Screens::X11Screens(XcbConnection& connection)
    : x_(connection), self_(std::make_shared<X11Screens*>(this)) {
    x_.addListener([weak = std::weak_ptr<X11Screens*>(self_)](const xcb_generic_event_t& event) {
        if (const auto self = weak.lock()) (*self)->handle(event);
    });
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(x_.get(), &xcb_randr_id);
    if (!extension || !extension->present) return;
    randrEvents_ = extension->first_event;
    xcb_randr_select_input(x_.get(), x_.root(),
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
    // Monitors came with RandR 1.5.
    Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(x_.get(), xcb_randr_query_version(x_.get(), 1, 5), nullptr),
        &std::free);
    randr_ = version && (version->major_version > 1 ||
                         (version->major_version == 1 && version->minor_version >= 5));
}

void X11Screens::handle(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (randrEvents_ != 0 && (type == randrEvents_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                              type == randrEvents_ + XCB_RANDR_NOTIFY)) {
        monitors_.reset();
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (e.window == x_.root() &&
            (e.atom == x_.ewmh()._NET_WORKAREA || e.atom == x_.ewmh()._NET_CURRENT_DESKTOP))
            monitors_.reset();
    }
}

const std::vector<X11Screens::Monitor>& X11Screens::monitors() {
    if (!monitors_) monitors_ = readMonitors();
    return *monitors_;
}

std::vector<X11Screens::Monitor> X11Screens::readMonitors() {
    xcb_connection_t* c = x_.get();
    // Every request first, then every reply: one round trip.
    const auto monitorsCookie =
        randr_ ? xcb_randr_get_monitors(c, x_.root(), 1) : xcb_randr_get_monitors_cookie_t{0};
    const auto desktopCookie = xcb_ewmh_get_current_desktop(&x_.ewmh(), x_.screenNumber());
    const auto areaCookie = xcb_ewmh_get_workarea(&x_.ewmh(), x_.screenNumber());

    std::uint32_t desktop = 0;
    if (!xcb_ewmh_get_current_desktop_reply(&x_.ewmh(), desktopCookie, &desktop, nullptr))
        desktop = 0;
    std::optional<Rect> area;
    xcb_ewmh_get_workarea_reply_t workarea{};
    if (xcb_ewmh_get_workarea_reply(&x_.ewmh(), areaCookie, &workarea, nullptr)) {
        if (workarea.workarea_len > 0) {
            const xcb_ewmh_geometry_t& g =
                workarea.workarea[desktop < workarea.workarea_len ? desktop : 0];
            if (g.width > 0 && g.height > 0) area = Rect(g.x, g.y, g.width, g.height);
        }
        xcb_ewmh_get_workarea_reply_wipe(&workarea);
    }

    std::vector<Monitor> result;
    if (randr_) {
        Reply<xcb_randr_get_monitors_reply_t> reply(
            xcb_randr_get_monitors_reply(c, monitorsCookie, nullptr), &std::free);
        if (reply) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t& m = *it.data;
                if (m.width == 0 || m.height == 0) continue;
                const Rect frame(m.x, m.y, m.width, m.height);
                const Monitor monitor{frame, visiblePart(frame, area)};
                if (m.primary) {
                    result.insert(result.begin(), monitor);
                } else {
                    result.push_back(monitor);
                }
            }
        }
    }
    if (result.empty()) {
        const xcb_screen_t& screen = x_.screen();
        const Rect frame(0, 0, screen.width_in_pixels, screen.height_in_pixels);
        result.push_back({frame, visiblePart(frame, area)});
    }
    return result;
}

double X11Screens::flipHeight(const std::vector<Monitor>& monitors) {
    return monitors.empty() ? 0 : monitors.front().frame.maxY();
}

ScreenInfo X11Screens::infoOf(const Monitor& monitor, double height) {
    const auto flipped = [height](const Rect& r) {
        return Rect(r.minX(), height - r.maxY(), r.width(), r.height());
    };
    return {flipped(monitor.frame), flipped(monitor.visible)};
}

std::optional<Point> X11Screens::pointer() {
    Reply<xcb_query_pointer_reply_t> reply(
        xcb_query_pointer_reply(x_.get(), xcb_query_pointer(x_.get(), x_.root()), nullptr),
        &std::free);
    // On another screen of the display the position means nothing here.
    if (!reply || !reply->same_screen) return std::nullopt;
    return Point{static_cast<double>(reply->root_x), static_cast<double>(reply->root_y)};
}

std::vector<ScreenInfo> X11Screens::screens() {
    const auto& all = monitors();
    const double height = flipHeight(all);
    std::vector<ScreenInfo> result;
    result.reserve(all.size());
    for (const Monitor& m : all)
        result.push_back(infoOf(m, height));
    return result;
}

std::optional<ScreenInfo> X11Screens::mainScreen() {
    // The monitor the user works on is the one under the pointer.
    const auto& all = monitors();
    const double height = flipHeight(all);
    if (const auto p = pointer()) {
        for (const Monitor& m : all)
            if (m.frame.contains(*p)) return infoOf(m, height);
    }
    return infoOf(all.front(), height);
}

Point X11Screens::mouseLocation() {
    const auto p = pointer();
    if (!p) return {};
    return {p->x, flipHeight(monitors()) - p->y};
}

std::unique_ptr<MonitorToken> X11Screens::addGlobalMonitor(EventMask, std::function<void()>) {
    return std::make_unique<NoMonitor>();
}

std::unique_ptr<MonitorToken> X11Screens::addLocalMonitor(EventMask, std::function<void()>) {
    return std::make_unique<NoMonitor>();
}

}  // namespace vantorel

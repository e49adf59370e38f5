#include "platform/x11/XcbConnection.h"

#include <poll.h>

#include <cstdlib>

#include "platform/x11/XcbReply.h"

namespace vantorel {
namespace {

xcb_timestamp_t timeOf(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
            return reinterpret_cast<const xcb_key_press_event_t&>(event).time;
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            return reinterpret_cast<const xcb_button_press_event_t&>(event).time;
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t&>(event).time;
        default:
            return XCB_CURRENT_TIME;
    }
}

}  // namespace

XcbConnection::XcbConnection(xcb_connection_t* connection, int screenNumber)
    : connection_(connection), screenNumber_(screenNumber) {}

XcbConnection::~XcbConnection() {
    if (ewmhReady_) xcb_ewmh_connection_wipe(&ewmh_);
    xcb_disconnect(connection_);
}

std::unique_ptr<XcbConnection> XcbConnection::open(const char* display, std::string* error) {
    int screenNumber = 0;
    xcb_connection_t* raw = xcb_connect(display, &screenNumber);
    std::unique_ptr<XcbConnection> self(new XcbConnection(raw, screenNumber));
    if (xcb_connection_has_error(raw)) {
        if (error) *error = "cannot reach the X server (is DISPLAY set?)";
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(raw));
    for (int i = 0; it.rem > 0 && i < screenNumber; ++i)
        xcb_screen_next(&it);
    if (it.rem == 0) {
        if (error) *error = "the X server has no screen " + std::to_string(screenNumber);
        return nullptr;
    }
    self->screen_ = it.data;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(raw, &self->ewmh_);
    if (!cookies || !xcb_ewmh_init_atoms_replies(&self->ewmh_, cookies, nullptr)) {
        if (error) *error = "the X server does not answer";
        return nullptr;
    }
    self->ewmhReady_ = true;

    // A window manager that follows the hints names a window of its own on the root, and that
    // window names itself.
    xcb_window_t check = XCB_NONE;
    xcb_window_t echo = XCB_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(
            &self->ewmh_, xcb_ewmh_get_supporting_wm_check(&self->ewmh_, self->root()), &check,
            nullptr) ||
        !xcb_ewmh_get_supporting_wm_check_reply(
            &self->ewmh_, xcb_ewmh_get_supporting_wm_check(&self->ewmh_, check), &echo, nullptr) ||
        check != echo) {
        if (error) *error = "no EWMH window manager runs on this X display";
        return nullptr;
    }
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(raw, self->root(), XCB_CW_EVENT_MASK, &mask);
    xcb_flush(raw);
    return self;
}

xcb_atom_t XcbConnection::atom(std::string_view name) {
    const std::string key(name);
    if (const auto it = atoms_.find(key); it != atoms_.end()) return it->second;
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(key.size()), key.data()),
        nullptr));
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    if (value != XCB_ATOM_NONE) atoms_.emplace(key, value);
    return value;
}

void XcbConnection::pump() {
    while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
        Reply<xcb_generic_event_t> event(raw);
        noteUserTime(timeOf(*event));
        // A listener may add listeners; index rather than iterate.
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            listeners_[i](*event);
    }
}

bool XcbConnection::waitAndPump(int timeoutMs) {
    // Events may already sit in the library's queue, read while it waited for a reply.
    if (xcb_generic_event_t* queued = xcb_poll_for_queued_event(connection_)) {
        Reply<xcb_generic_event_t> event(queued);
        noteUserTime(timeOf(*event));
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            listeners_[i](*event);
        pump();
        return true;
    }
    pollfd fd{fileDescriptor(), POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0) return false;
    pump();
    return true;
}

}  // namespace vantorel

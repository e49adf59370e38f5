#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantorel {

// A connection of our own to the X server, apart from the toolkit's, so that grabs, redirection
// and the events they bring stay out of the toolkit's event stream. Events are handed to the
// listeners whenever pump() runs: the application calls it when the socket becomes readable,
// tests after waiting on it.
class XcbConnection {
public:
    using Listener = std::function<void(const xcb_generic_event_t& event)>;

    // Null with the reason in error when there is no X server to reach, or when no window
    // manager following the extended window-manager hints runs on it.
    static std::unique_ptr<XcbConnection> open(const char* display, std::string* error);
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    xcb_ewmh_connection_t& ewmh() { return ewmh_; }
    int screenNumber() const { return screenNumber_; }
    xcb_screen_t& screen() const { return *screen_; }
    xcb_window_t root() const { return screen_->root; }
    int fileDescriptor() const { return xcb_get_file_descriptor(connection_); }

    // An atom by name, interned once and then remembered; 0 when the server does not answer.
    xcb_atom_t atom(std::string_view name);

    void addListener(Listener listener) { listeners_.push_back(std::move(listener)); }
    // Hands every event already read or readable without blocking to the listeners.
    void pump();
    // Waits at most timeoutMs for something to read, then pumps; false when nothing came.
    bool waitAndPump(int timeoutMs);

    // The server time of the latest key, button or property event seen: what requests made on
    // the user's behalf carry, so that focus-stealing prevention lets them through.
    xcb_timestamp_t lastUserTime() const { return lastUserTime_; }
    void noteUserTime(xcb_timestamp_t time) {
        if (time != XCB_CURRENT_TIME) lastUserTime_ = time;
    }

private:
    XcbConnection(xcb_connection_t* connection, int screenNumber);

    xcb_connection_t* connection_;
    int screenNumber_;
    xcb_screen_t* screen_ = nullptr;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    std::unordered_map<std::string, xcb_atom_t> atoms_;
    std::vector<Listener> listeners_;
    xcb_timestamp_t lastUserTime_ = XCB_CURRENT_TIME;
};

}  // namespace vantorel

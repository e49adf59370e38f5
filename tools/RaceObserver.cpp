// One round of the switcher race, seen from outside: sends Alt+Tab through XTest (or starts a
// command), then times on CLOCK_MONOTONIC, from just after the keys are flushed (or just before
// the command is spawned), the contender's window mapped (MapNotify of a root child, found by
// WM_CLASS) and its painting (DAMAGE on the root, which reports drawing in every child window
// when no compositor redirects them). Then it releases Alt (and sends Escape if the window stays)
// and waits for the window to go. Prints one line:
//   ok map=MS first=MS settled=MS later=N size=WxH
// where first is the first damage inside the window after its map, settled the last damage
// before 150 ms of quiet, later the number of damage events inside the window after the first
// frame; or "fail REASON". Exit status 0 when a window was measured.
//
// Usage: race_observer [--warm-up SECONDS] [--escape] CLASS [-- COMMAND ARGS...]
//   CLASS      a part of the contender's WM_CLASS (instance or class, any case)
//   --warm-up  send the keys again until the window shows, for at most SECONDS (a daemon that is
//              still starting has no grab yet); the round is then not a measure
//   --escape   close with Escape right after releasing Alt (a contender that does not commit on
//              the release)
//   -- COMMAND start this instead of sending Alt+Tab; it is closed with Escape and waited for
//   race_observer --probe   exits 0 when nobody holds Alt+Tab on the root, 1 when someone does
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr xcb_keysym_t kAltL = 0xffe9;
constexpr xcb_keysym_t kTab = 0xff09;
constexpr xcb_keysym_t kEscape = 0xff1b;
constexpr double kQuietMs = 150;
constexpr double kMapDeadlineMs = 3000;
constexpr double kPaintDeadlineMs = 2000;

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Map {
    double at;
    xcb_window_t window;
};
struct Damage {
    double at;
    xcb_rectangle_t area;
};

class Observer {
public:
    Observer() : c_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(c_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        symbols_ = xcb_key_symbols_alloc(c_);
    }
    ~Observer() {
        if (symbols_) xcb_key_symbols_free(symbols_);
        xcb_disconnect(c_);
    }
    bool connected() const { return symbols_ != nullptr; }

    bool altTabFree() {
        const xcb_keycode_t tab = code(kTab);
        const xcb_void_cookie_t grab = xcb_grab_key_checked(
            c_, 1, root_, XCB_MOD_MASK_1, tab, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(c_, grab);
        const bool free = error == nullptr;
        std::free(error);
        if (free) xcb_ungrab_key(c_, tab, root_, XCB_MOD_MASK_1);
        xcb_flush(c_);
        return free;
    }

    // Starts watching maps and damage; false when the server lacks DAMAGE.
    bool watch() {
        auto* version =
            xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr);
        if (!version) return false;
        std::free(version);
        damageBase_ = xcb_get_extension_data(c_, &xcb_damage_id)->first_event;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_damage_create(c_, xcb_generate_id(c_), root_, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(c_);
        return true;
    }

    // Lets the previous round's raising and repainting die down, at most for a few seconds.
    void settle() {
        const double deadline = nowMs() + 3000;
        while (nowMs() < deadline && readUntil(nowMs() + kQuietMs))
            ;
        maps_.clear();
        damages_.clear();
    }

    void key(xcb_keysym_t symbol, bool down) {
        xcb_test_fake_input(c_, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code(symbol),
                            XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    void flush() { xcb_flush(c_); }

    // Reads until the contender's window has mapped and its painting has been quiet for a while;
    // the window, or none after the deadline.
    xcb_window_t collect(double t0, const std::string& cls, double mapDeadlineMs) {
        xcb_window_t found = XCB_NONE;
        std::size_t checked = 0;
        const double mapDeadline = t0 + mapDeadlineMs;
        while (found == XCB_NONE && nowMs() < mapDeadline) {
            readUntil(std::min(mapDeadline, nowMs() + 20));
            // Asking for a class is a round trip: done between reads, so events that came
            // meanwhile keep the time they were read at less than a round trip late at most.
            for (; checked < maps_.size() && found == XCB_NONE; ++checked)
                if (belongsTo(maps_[checked].window, cls)) found = maps_[checked].window;
        }
        if (found == XCB_NONE) return XCB_NONE;
        const double paintDeadline = nowMs() + kPaintDeadlineMs;
        while (nowMs() < paintDeadline && readUntil(nowMs() + kQuietMs))
            ;
        return found;
    }

    void report(double t0, xcb_window_t window) {
        double mapAt = 0;
        for (const Map& m : maps_)
            if (m.window == window) {
                mapAt = m.at;
                break;
            }
        auto* g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
        const int x = g ? g->x : 0, y = g ? g->y : 0, w = g ? g->width : 0, h = g ? g->height : 0;
        std::free(g);
        double first = -1, last = -1;
        int later = 0;
        for (const Damage& d : damages_) {
            if (d.at < mapAt) continue;
            const bool inside = d.area.x < x + w && d.area.x + d.area.width > x &&
                                d.area.y < y + h && d.area.y + d.area.height > y;
            if (!inside) continue;
            if (first < 0) {
                first = d.at;
            } else if (d.at - first > 1) {
                // Rectangles of one flush arrive within a millisecond; later ones are new frames.
                ++later;
            }
            last = d.at;
        }
        if (first < 0) {
            std::printf("fail no-paint map=%.2f size=%dx%d\n", mapAt - t0, w, h);
            return;
        }
        std::printf("ok map=%.2f first=%.2f settled=%.2f later=%d size=%dx%d\n", mapAt - t0,
                    first - t0, last - t0, later, w, h);
    }

    // Waits for the window (or the root child holding it) to be unmapped or destroyed.
    bool waitGone(xcb_window_t window, double ms) {
        const double deadline = nowMs() + ms;
        gone_ = window;
        goneSeen_ = false;
        while (!goneSeen_ && nowMs() < deadline)
            readUntil(std::min(deadline, nowMs() + 20));
        gone_ = XCB_NONE;
        return goneSeen_;
    }

private:
    xcb_keycode_t code(xcb_keysym_t symbol) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols_, symbol);
        const xcb_keycode_t result = codes ? codes[0] : 0;
        std::free(codes);
        return result;
    }

    // Reads events until the deadline; false when none came.
    bool readUntil(double deadline) {
        bool any = false;
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
                any = true;
                take(*e, nowMs());
                std::free(e);
            }
            const double left = deadline - nowMs();
            if (left <= 0) return any;
            pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left) + 1) <= 0) return any;
        }
    }

    void take(const xcb_generic_event_t& e, double at) {
        const std::uint8_t type = e.response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const auto& m = reinterpret_cast<const xcb_map_notify_event_t&>(e);
            if (m.event == root_) maps_.push_back({at, m.window});
        } else if (type == XCB_UNMAP_NOTIFY) {
            if (reinterpret_cast<const xcb_unmap_notify_event_t&>(e).window == gone_)
                goneSeen_ = true;
        } else if (type == XCB_DESTROY_NOTIFY) {
            if (reinterpret_cast<const xcb_destroy_notify_event_t&>(e).window == gone_)
                goneSeen_ = true;
        } else if (type == damageBase_ + XCB_DAMAGE_NOTIFY) {
            damages_.push_back({at, reinterpret_cast<const xcb_damage_notify_event_t&>(e).area});
        }
    }

    bool classMatches(xcb_window_t window, const std::string& cls) {
        auto* p = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
            nullptr);
        std::string text =
            p ? std::string(static_cast<const char*>(xcb_get_property_value(p)),
                            static_cast<std::size_t>(xcb_get_property_value_length(p)))
              : std::string();
        std::free(p);
        std::replace(text.begin(), text.end(), '\0', ' ');
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char ch) { return std::tolower(ch); });
        return !text.empty() && text.find(cls) != std::string::npos;
    }

    // The window itself, or a client inside a window manager's frame.
    bool belongsTo(xcb_window_t window, const std::string& cls) {
        if (classMatches(window, cls)) return true;
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr);
        if (!tree) return false;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        bool found = false;
        for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
            found = classMatches(children[i], cls);
        std::free(tree);
        return found;
    }

    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    xcb_key_symbols_t* symbols_ = nullptr;
    std::uint8_t damageBase_ = 0;
    std::vector<Map> maps_;
    std::vector<Damage> damages_;
    xcb_window_t gone_ = XCB_NONE;
    bool goneSeen_ = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: race_observer [--warm-up SECONDS] [--escape] CLASS [-- COMMAND ...]\n"
                 "       race_observer --probe\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    double warmUpSeconds = 0;
    bool escape = false;
    std::string cls;
    std::vector<char*> command;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--probe") {
            Observer o;
            if (!o.connected()) return 2;
            return o.altTabFree() ? 0 : 1;
        }
        if (a == "--warm-up" && i + 1 < argc) {
            warmUpSeconds = std::atof(argv[++i]);
        } else if (a == "--escape") {
            escape = true;
        } else if (a == "--") {
            command.assign(argv + i + 1, argv + argc);
            break;
        } else if (cls.empty() && !a.empty() && a[0] != '-') {
            cls = a;
        } else {
            return usage();
        }
    }
    if (cls.empty()) return usage();
    std::transform(cls.begin(), cls.end(), cls.begin(),
                   [](unsigned char ch) { return std::tolower(ch); });
    command.push_back(nullptr);
    const bool spawned = command.size() > 1;

    Observer o;
    if (!o.connected()) {
        std::printf("fail no-display\n");
        return 1;
    }
    if (!o.watch()) {
        std::printf("fail no-damage\n");
        return 1;
    }
    o.settle();
    const double warmUpDeadline = nowMs() + warmUpSeconds * 1000;
    double t0 = 0;
    pid_t child = 0;
    xcb_window_t window = XCB_NONE;
    do {
        if (spawned) {
            t0 = nowMs();
            if (::posix_spawnp(&child, command[0], nullptr, nullptr, command.data(), environ) !=
                0) {
                std::printf("fail spawn\n");
                return 1;
            }
        } else {
            o.key(kAltL, true);
            o.key(kTab, true);
            o.key(kTab, false);
            o.flush();
            t0 = nowMs();
        }
        window = o.collect(t0, cls, warmUpSeconds > 0 ? 1000 : kMapDeadlineMs);
        if (window == XCB_NONE && !spawned) {
            o.key(kAltL, false);
            o.flush();
            o.settle();
        }
    } while (window == XCB_NONE && !spawned && nowMs() < warmUpDeadline);

    if (window == XCB_NONE) {
        std::printf("fail no-map\n");
    } else {
        o.report(t0, window);
    }
    if (!spawned) o.key(kAltL, false);
    if (escape || spawned) {
        o.key(kEscape, true);
        o.key(kEscape, false);
    }
    o.flush();
    bool gone = window == XCB_NONE || o.waitGone(window, 400);
    if (!gone) {
        o.key(kEscape, true);
        o.key(kEscape, false);
        o.flush();
        gone = o.waitGone(window, 2000);
    }
    if (child > 0) ::waitpid(child, nullptr, 0);
    if (!gone) std::fprintf(stderr, "race_observer: the window stayed after Escape\n");
    return window == XCB_NONE ? 1 : 0;
}

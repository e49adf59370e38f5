#pragma once

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/sim/SimDesktop.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11KeyEvents.h"
#include "platform/x11/X11SessionRig.h"

namespace vantorel {

// The X11 adapters over a real session, with the simulated desktop for every other port.
struct X11Rig {
    explicit X11Rig(X11SessionRig::Bindings bindings = X11SessionRig::Bindings::freeAltTab)
        : session(bindings) {
        if (!session.skipReason.empty()) return;
        desktop = std::make_unique<X11Desktop>(*session.connection, sim.scheduler, sim.logger);
        keys = std::make_unique<X11KeyEvents>(*session.connection, sim.logger);
    }

    PlatformPorts ports() {
        PlatformPorts p = sim.ports();
        return {*desktop,   *desktop,    p.screens,    p.pointer,
                p.defaults, p.files,     p.collation,  p.scheduler,
                p.logger,   *desktop,    *keys,        p.permissionServices,
                p.capture,  p.scripting, p.eventStore, p.userCalendar};
    }

    // Starts a client and waits until the window manager lists its window and makes it active.
    xcb_window_t open(const std::string& cls, const std::string& utf8,
                      const std::string& latin1 = "-", const std::string& color = "0x3366cc",
                      const std::string& flags = "") {
        const pid_t pid = session.client(cls, utf8, latin1, color, flags);
        lastPid = pid;
        xcb_window_t id = XCB_NONE;
        session.waitFor([&] {
            desktop->refresh();
            for (const auto& w : desktop->windows())
                if (w.pid == pid && w.viewable &&
                    X11WindowList::activeWindow(*session.connection) == w.id)
                    id = w.id;
            return id != XCB_NONE;
        });
        if (id == XCB_NONE) {
            std::fprintf(stderr, "client %d on %s active %u:", pid, session.display.c_str(),
                         X11WindowList::activeWindow(*session.connection));
            for (const auto& w : desktop->windows())
                std::fprintf(stderr, " %u/%d/%d", w.id, w.pid, w.viewable);
            std::fprintf(stderr, "\n");
        }
        return id;
    }
    const X11Window* find(xcb_window_t id) {
        desktop->refresh();
        const auto& all = desktop->windows();
        const auto it =
            std::find_if(all.begin(), all.end(), [&](const auto& w) { return w.id == id; });
        return it == all.end() ? nullptr : &*it;
    }
    bool activeIs(xcb_window_t id) {
        return session.waitFor(
            [&] { return X11WindowList::activeWindow(*session.connection) == id; });
    }

    // Keys as a user types them, through XTest on a connection of the user's own; sent at once.
    void type(std::initializer_list<std::pair<xcb_keysym_t, bool>> strokes) {
        xcb_connection_t* user = xcb_connect(session.display.c_str(), nullptr);
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(user);
        for (const auto& [symbol, down] : strokes) {
            xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, symbol);
            xcb_test_fake_input(user, down ? XCB_KEY_PRESS : XCB_KEY_RELEASE, codes ? *codes : 0,
                                XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            std::free(codes);
        }
        xcb_key_symbols_free(symbols);
        // A round trip: the keys are in the server before the user's connection goes.
        std::free(xcb_get_input_focus_reply(user, xcb_get_input_focus(user), nullptr));
        xcb_disconnect(user);
    }

    X11SessionRig session;
    pid_t lastPid = 0;  // the process of the latest client opened
    SimDesktop sim;
    std::unique_ptr<X11Desktop> desktop;
    std::unique_ptr<X11KeyEvents> keys;
};

inline constexpr xcb_keysym_t kAlt = 0xffe9;
inline constexpr xcb_keysym_t kTabKey = 0xff09;

}  // namespace vantorel

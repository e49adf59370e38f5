#pragma once

#include <xcb/xcb.h>

#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/ProcessId.h"

namespace vantorel {

class XcbConnection;

// One client window as the window manager lists it, read in one go.
struct X11Window {
    xcb_window_t id = XCB_NONE;
    // 0 when the client did not say.
    ProcessId pid = 0;
    std::string name;
    std::string instance;
    std::string className;
    // In root coordinates, the window manager's frame included.
    Rect frame;
    bool viewable = false;
    bool minimized = false;
    bool dialog = false;
    // A normal window or a dialog that asks to be listed among the user's windows.
    bool listed = false;
    // On the current desktop or on all of them.
    bool onCurrentDesktop = true;
};

// The managed client windows, front to back, with every per-window request sent before the first
// reply is awaited: one round trip for the lot.
class X11WindowList {
public:
    static std::vector<X11Window> read(XcbConnection& connection);
    // The active window named on the root; XCB_NONE when none is (or the answer is unreadable).
    static xcb_window_t activeWindow(XcbConnection& connection);
};

}  // namespace vantorel

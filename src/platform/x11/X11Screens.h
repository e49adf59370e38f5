#pragma once

#include <xcb/xcb.h>

#include <optional>
#include <vector>

#include "platform/Pointer.h"
#include "platform/Screens.h"

namespace vantorel {

class XcbConnection;

// The monitors as RandR describes them and the pointer, asked of the server at each call (the
// switcher asks as it opens, so a monitor plugged in since counts), in the ports' coordinates:
// origin at the bottom left of the primary monitor, y upward. The visible frame leaves out what
// the window manager's work area does. Without RandR the whole root window is one monitor. The
// pointer's monitors see nothing, as with the toolkit's screens. Main thread only.
class X11Screens final : public Screens, public Pointer {
public:
    // The connection outlives the screens.
    explicit X11Screens(XcbConnection& connection);

    std::vector<ScreenInfo> screens() override;
    std::optional<ScreenInfo> mainScreen() override;
    Point mouseLocation() override;
    std::unique_ptr<MonitorToken> addGlobalMonitor(EventMask mask,
                                                   std::function<void()> handler) override;
    std::unique_ptr<MonitorToken> addLocalMonitor(EventMask mask,
                                                  std::function<void()> handler) override;

private:
    // In the server's coordinates (origin top left, y downward), primary first.
    struct Monitor {
        Rect frame;
        Rect visible;
    };
    std::vector<Monitor> monitors();
    static double flipHeight(const std::vector<Monitor>& monitors);
    static ScreenInfo infoOf(const Monitor& monitor, double height);
    std::optional<Point> pointer();

    XcbConnection& x_;
    bool randr_ = false;
};

}  // namespace vantorel

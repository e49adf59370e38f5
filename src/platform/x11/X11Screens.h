#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Pointer.h"
#include "platform/Screens.h"

namespace vantorel {

class XcbConnection;

// The monitors as RandR describes them and the pointer, in the ports' coordinates: origin at the
// bottom left of the primary monitor, y upward. The visible frame leaves out what the window
// manager's work area does. Without RandR the whole root window is one monitor. The monitors are
// read once and again after each change the server announces (outputs, screen size, work area),
// so that opening a panel costs only the pointer's round trip; a monitor defined without outputs
// (xrandr --setmonitor … none) is announced by nothing and counts from the next change. The
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
    const std::vector<Monitor>& monitors();
    std::vector<Monitor> readMonitors();
    void handle(const xcb_generic_event_t& event);
    static double flipHeight(const std::vector<Monitor>& monitors);
    static ScreenInfo infoOf(const Monitor& monitor, double height);
    std::optional<Point> pointer();

    XcbConnection& x_;
    bool randr_ = false;
    std::uint8_t randrEvents_ = 0;
    std::optional<std::vector<Monitor>> monitors_;
    std::shared_ptr<X11Screens*> self_;
};

}  // namespace vantorel

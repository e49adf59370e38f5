#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/Image.h"
#include "platform/ProcessId.h"
#include "platform/qt/IconThemeFiles.h"
#include "platform/x11/DesktopEntries.h"
#include "platform/x11/X11WindowList.h"

namespace vantorel {

class XcbConnection;

// Who owns a window, as the user knows the application: the name and icon of its desktop entry
// (the icon from the icon theme), else the window's class and its own _NET_WM_ICON. Worked out
// once per process and kept until the process has no window left. Main thread only.
class X11Applications {
public:
    struct Identity {
        std::optional<std::string> name;
        ImageRef icon;
    };
    // The side of the icons read from the theme, and the size a window's own icon should reach.
    static constexpr int kIconSize = 128;

    X11Applications(XcbConnection& connection, DesktopEntries entries);

    // The identity of the window's owner, worked out now if it is new; the pid must be known.
    const Identity& of(const X11Window& window);
    // The identity worked out before; null for a process not met yet.
    const Identity* known(ProcessId pid) const;
    // Forgets the processes that are not among these.
    void keepOnly(const std::set<ProcessId>& pids);

private:
    ImageRef themeIcon(const std::string& icon);
    ImageRef windowIcon(xcb_window_t window);

    XcbConnection& x_;
    DesktopEntries entries_;
    std::map<ProcessId, Identity> byPid_;
    IconThemeFiles icons_;
    std::map<std::string, ImageRef> themeIcons_;
};

}  // namespace vantorel

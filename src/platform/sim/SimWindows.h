#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Geometry.h"
#include "platform/ProcessId.h"
#include "platform/sim/SimAXNode.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimWindowServer.h"
#include "platform/sim/SimWorkspace.h"

namespace vantorel {

// The desktop's name for a window: the number the window server knows it by.
using WindowId = WindowNumber;

// One application window as it is created; both views of it follow from this.
struct SimWindowSpec {
    std::string title;
    // Accessibility coordinates: top-left of the primary screen, y downward.
    Rect frame;
    // Empty: the window has no "AXSubrole" at all.
    std::string subrole = "AXStandardWindow";
    bool minimized = false;
    std::int64_t layer = 0;
    // False: the window is on another space, so the window server does not list it on screen.
    bool onScreen = true;
    // False: the window server does not know the window at all (some custom windows).
    bool hasWindowServerEntry = true;
    // Where the two views disagree: the window server's name and bounds for the window.
    std::optional<std::string> serverTitle;
    std::optional<Rect> serverBounds;
    // The colour its content is drawn in when captured.
    std::uint32_t color = 0xff808080u;
};

struct SimWindow {
    WindowId id = 0;
    ProcessId pid = 0;
    SimWindowSpec spec;
    std::shared_ptr<SimAXNode> node;
    // The close button of a standard window, the cancel button of a dialog; none otherwise.
    std::shared_ptr<SimAXNode> button;
};

// The windows of the simulated desktop's processes. Keeps an application's accessibility
// windows and the window server's list consistent the way the platform does: a minimised
// window, one on another space and every window of a hidden application have an accessibility
// window but no on-screen entry. Each node and entry stays reachable for planting faults.
class SimWindows {
public:
    SimWindows(SimAccessibility& accessibility, SimWorkspace& workspace, SimWindowServer& server)
        : accessibility_(accessibility), workspace_(workspace), server_(server) {}
    SimWindows(const SimWindows&) = delete;
    SimWindows& operator=(const SimWindows&) = delete;

    // Opens a window behind the application's others (so a list of specs reads front to back);
    // 0 when the process has no accessibility tree (it is not running).
    WindowId add(ProcessId pid, const SimWindowSpec& spec);
    // The window goes from both views; handles still held answer like those of a closed window.
    void close(WindowId id);
    // The process has gone with all its windows.
    void removeAll(ProcessId pid);

    // What the user does through the window's own controls or the Dock; also what an
    // "AXMinimized" write and the "AXRaise" action do.
    void setMinimized(WindowId id, bool minimized);
    void setOnScreen(WindowId id, bool onScreen);
    void raise(WindowId id);
    void setApplicationHidden(ProcessId pid, bool hidden);
    bool isApplicationHidden(ProcessId pid) const { return hidden_.count(pid) != 0; }

    const SimWindow* find(WindowId id) const;
    std::shared_ptr<SimAXNode> node(WindowId id) const;
    SimWindowServer::Record* entry(WindowId id) { return server_.record(id); }
    // The application's windows in its own order, front to back.
    std::vector<WindowId> of(ProcessId pid) const;
    std::size_t count() const { return windows_.size(); }

private:
    void publish(ProcessId pid);
    void sync(const SimWindow& window);
    AXError write(WindowId id, const std::string& attribute, const AXValue& value);

    SimAccessibility& accessibility_;
    SimWorkspace& workspace_;
    SimWindowServer& server_;
    std::map<WindowId, SimWindow> windows_;
    std::map<ProcessId, std::vector<WindowId>> order_;
    std::set<ProcessId> hidden_;
};

}  // namespace vantorel

#pragma once

#include <xcb/xcb.h>

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Accessibility.h"
#include "platform/Logger.h"
#include "platform/Scheduler.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"
#include "platform/x11/X11Applications.h"
#include "platform/x11/X11WindowList.h"

namespace vantorel {

class XcbConnection;

// The user's X11 windows behind the window-list, accessibility and workspace ports: each client
// window is an accessibility window, each process owning one a running application named after
// its window class, and the window manager's active window the frontmost application. The list
// is kept live from the root's and the clients' notifications and re-read once after a change,
// so that asking for it costs no round trip. Actions go to the window manager as client
// messages, stamped with the latest user event's time. Main thread only.
class X11Desktop final : public WindowServer, public Accessibility, public Workspace {
public:
    // The connection and the scheduler outlive the desktop. Applications are named after the
    // desktop entries of the user's and the system's data directories.
    X11Desktop(XcbConnection& connection, Scheduler& scheduler, Logger& logger);
    ~X11Desktop() override;

    // The windows as last read, re-reading first if something changed.
    const std::vector<X11Window>& windows();
    // Reads the list now.
    void refresh();

    // WindowServer
    std::optional<WindowServerArray> copyWindowInfo(Options options,
                                                    WindowNumber relativeToWindow) override;

    // Accessibility
    bool isProcessTrusted(bool prompt) override;
    AXElement createApplication(ProcessId pid) override;
    AXResult copyAttributeValue(const AXElement& element, std::string_view attribute) override;
    AXNamesResult copyAttributeNames(const AXElement& element) override;
    AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                              const AXValue& value) override;
    AXError performAction(const AXElement& element, std::string_view action) override;
    std::uint64_t hash(const AXElement& element) override;

    // Workspace
    std::vector<RunningApplication> runningApplications() override;
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    std::optional<RunningApplication> application(ProcessId pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(ProcessId pid) override;
    ImageRef iconForFile(std::string_view path) override;
    std::unique_ptr<NotificationToken> addActivationObserver(ActivationHandler handler) override;
    void removeObserver(NotificationToken& token) override;
    bool openURL(const Url& url) override;

    // Asks the window manager to activate the window (restoring it when minimised).
    void activateWindow(xcb_window_t window);
    void closeWindow(xcb_window_t window);
    void minimizeWindow(xcb_window_t window);

    // Where openURL goes; unset, nothing opens.
    std::function<bool(const Url&)> opener;

private:
    class Token;
    void handle(const xcb_generic_event_t& event);
    void markChanged();
    // Notes whether the window bypasses the manager; true when it does.
    bool bypassed(xcb_window_t window, bool overrideRedirect);
    const X11Window* find(xcb_window_t window);
    AXElement windowElement(xcb_window_t window);
    std::optional<RunningApplication> applicationOf(const X11Window& window) const;

    XcbConnection& x_;
    Scheduler& scheduler_;
    Log log_;
    std::vector<X11Window> windows_;
    std::unordered_map<xcb_window_t, std::size_t> index_;
    std::unordered_set<xcb_window_t> watched_;
    std::unordered_set<xcb_window_t> bypassing_;
    bool stale_ = true;
    bool refreshPosted_ = false;
    std::map<xcb_window_t, AXElement> elements_;
    std::map<xcb_window_t, AXElement> closeButtons_;
    std::map<ProcessId, AXElement> applications_;
    xcb_window_t lastActive_ = XCB_NONE;
    ProcessId ownPid_;
    std::map<Token*, ActivationHandler> observers_;
    X11Applications identities_;
    std::shared_ptr<X11Desktop*> self_;
};

}  // namespace vantorel

#pragma once

#include <chrono>
#include <string_view>

#include "dock/AXReader.h"
#include "platform/AXValue.h"
#include "platform/KeyEvents.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "platform/Scheduler.h"
#include "windows/WindowInfo.h"

namespace vantorel {

class Workspace;

// What a user can do to a window from a card: bring it forward, close it, minimise or restore
// it. Accessibility failures are not reported back: whatever the platform did shows at the next
// listing of the windows. Holds no state; main thread only.
class WindowActions {
public:
    static constexpr KeyCode kEscapeKeyCode = 53;
    // Gives the application activated by a close time to take keyboard focus before the Escape.
    static constexpr Duration kEscapeDelay = std::chrono::milliseconds(150);

    explicit WindowActions(const PlatformPorts& ports);

    // Restores the window first when it is minimised, then brings its application and the
    // window itself to the front.
    void activate(const WindowInfo& window) const;
    // Presses the close button, else the cancel button, else activates the application and
    // sends it Escape a moment later. Returns at once.
    void close(const WindowInfo& window) const;
    // Sends the request even when the window is already in that state.
    void setMinimized(const WindowInfo& window, bool minimized) const;

private:
    // Presses the button the attribute names. readError receives the read's error code, which
    // is success when a value came back, whether or not it was a button.
    bool press(const AXElement& window, std::string_view attribute, AXError& readError) const;
    void activateOwner(const WindowInfo& window) const;
    std::string attributeNames(const AXElement& window) const;

    Accessibility* ax_;
    Workspace* workspace_;
    Scheduler* scheduler_;
    KeyEvents* keyEvents_;
    AXReader reader_;
    Log log_;
};

}  // namespace vantorel

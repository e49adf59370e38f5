#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/EventTap.h"
#include "platform/KeyEvents.h"
#include "platform/Logger.h"
#include "platform/PlatformPorts.h"
#include "platform/Scheduler.h"
#include "switcher/AppActivationTracker.h"
#include "switcher/SwitcherPanel.h"
#include "windows/WindowActions.h"
#include "windows/WindowService.h"

namespace vantorel {

class ThumbnailService;

// The Option-Tab switcher across every window of every application. A keyboard tap sees the
// session's keys before any application: Option+Tab opens the panel of all windows, most
// recently active application first; further Tabs, Shift+Tab and the arrows move the
// highlight; releasing Option (or Return) brings the highlighted window forward, Escape closes
// without. While open it swallows every key press. Main thread only.
class WindowSwitcher {
public:
    static constexpr KeyCode kTab = 48;
    static constexpr KeyCode kReturn = 36;
    static constexpr KeyCode kKeypadEnter = 76;
    static constexpr KeyCode kEscape = 53;
    static constexpr KeyCode kLeftArrow = 123;
    static constexpr KeyCode kRightArrow = 124;
    // Key-down and modifier changes; key-ups reach the applications untouched.
    static constexpr EventTypeMask kEventsOfInterest =
        eventMaskBit(kEventTypeKeyDown) | eventMaskBit(kEventTypeFlagsChanged);

    // The ports and the capture service outlive the switcher.
    WindowSwitcher(const PlatformPorts& ports, ThumbnailService& thumbnails,
                   const SwitcherPanel::SurfaceFactory& makeSurface);
    ~WindowSwitcher();
    WindowSwitcher(const WindowSwitcher&) = delete;
    WindowSwitcher& operator=(const WindowSwitcher&) = delete;

    // Installs and enables the tap and starts the activation order; nothing when armed. Without
    // Accessibility the tap cannot be made: logged, and the next start tries again.
    void start();
    // Removes the tap and stops the activation order; closes the panel if it is open.
    void stop();
    bool isArmed() const { return eventTap_ != nullptr; }
    bool isOpen() const { return isOpen_; }

    // The key logic, called from the tap with what it read of the event: true to swallow it.
    bool handleEvent(EventType type, std::int64_t keyCode, EventFlags flags);

    SwitcherPanel& panel() { return panel_; }
    const AppActivationTracker& activation() const { return activation_; }

private:
    void open(bool forward);
    void step(bool forward);
    void commit();
    void cancel();
    void close();
    void captureThumbnails(const std::vector<SwitcherState::Item>& items);

    ThumbnailService& thumbnails_;
    WindowService windowService_;
    WindowActions actions_;
    SwitcherPanel panel_;
    AppActivationTracker activation_;
    std::unique_ptr<EventTap> eventTap_;
    std::unique_ptr<RunLoopSource> runLoopSource_;
    bool isOpen_ = false;
    std::vector<TaskHandle> captureTasks_;
    // The previous opening's images, released once the panel has closed.
    std::vector<ImageRef> retired_;
    KeyEvents& keyEvents_;
    Workspace& workspace_;
    Scheduler& scheduler_;
    Log log_;
    // The tap callback and the capture tasks hold this weakly and do nothing once it is gone.
    std::shared_ptr<WindowSwitcher*> self_;
};

}  // namespace vantorel
